#pragma once

#include <QString>

namespace veldo {

// The port list as the port discovery sees it: items of a text and a value.
// The window adapts its drop-down list to this; tests use a plain list.
class PortList {
public:
    virtual ~PortList() = default;
    virtual void clear() = 0;
    virtual int count() const = 0;
    virtual void addItem(const QString &text, int value, const QString &toolTip) = 0;
    virtual int value(int index) const = 0;
    virtual int currentIndex() const = 0; // -1 when nothing is selected
    virtual void setCurrentIndex(int index) = 0;
};

} // namespace veldo
