#pragma once

#include "link/PortList.h"

#include <QList>
#include <QString>

namespace veldo {

// The port list as a plain list of items, for tests without a window.
class VectorPortList : public PortList {
public:
    struct Item {
        QString text;
        int value = 0;
        QString toolTip;
    };

    void clear() override
    {
        items.clear();
        current = -1;
    }
    int count() const override { return int(items.size()); }
    void addItem(const QString &text, int value, const QString &toolTip) override
    {
        items.append({text, value, toolTip});
    }
    int value(int index) const override { return items.at(index).value; }
    int currentIndex() const override { return current; }
    void setCurrentIndex(int index) override { current = index; }

    QStringList texts() const
    {
        QStringList result;
        for (const Item &item : items)
            result << item.text;
        return result;
    }

    QList<Item> items;
    int current = -1;
};

} // namespace veldo
