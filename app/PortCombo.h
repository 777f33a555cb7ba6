#pragma once

#include "link/PortList.h"

#include <QComboBox>

namespace veldo {

// The port list: a drop-down list that says when the user opens it, before it shows.
class PortCombo : public QComboBox, public PortList {
    Q_OBJECT
public:
    explicit PortCombo(QWidget *parent = nullptr);

    void showPopup() override;

    // PortList
    void clear() override { QComboBox::clear(); }
    int count() const override { return QComboBox::count(); }
    void addItem(const QString &text, int value, const QString &toolTip) override;
    int value(int index) const override { return itemData(index).toInt(); }
    int currentIndex() const override { return QComboBox::currentIndex(); }
    void setCurrentIndex(int index) override { QComboBox::setCurrentIndex(index); }

signals:
    void dropDown();
};

} // namespace veldo
