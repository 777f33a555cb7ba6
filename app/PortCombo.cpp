#include "app/PortCombo.h"

namespace veldo {

PortCombo::PortCombo(QWidget *parent)
    : QComboBox(parent)
{
    setObjectName(QStringLiteral("ComboCommPort"));
    setEditable(false);
}

void PortCombo::showPopup()
{
    emit dropDown();
    QComboBox::showPopup();
}

void PortCombo::addItem(const QString &text, int value, const QString &toolTip)
{
    QComboBox::addItem(text, value);
    setItemData(QComboBox::count() - 1, toolTip, Qt::ToolTipRole);
}

} // namespace veldo
