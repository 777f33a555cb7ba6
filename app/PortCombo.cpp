// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PortCombo.h"

namespace veldo {

namespace {

// The device and, for a USB adapter, its description, maker and serial number; for a port on
// another machine, where it is.
QString portToolTip(const PortFacts &port)
{
    if (port.isRemote())
        return PortCombo::tr("A port on %1, reached over the network").arg(port.remote);
    QStringList lines{port.device};
    if (port.usb) {
        for (const QString &detail : {port.usb->description, port.usb->manufacturer, port.usb->serialNumber}) {
            if (!detail.isEmpty())
                lines << detail;
        }
    }
    return lines.join(u'\n');
}

} // namespace

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

void PortCombo::showPorts(const PortScan &ports, int selected, const QString &whyNone)
{
    clear();
    for (const PortFacts &port : ports) {
        if (!port.usable())
            continue;
        addItem(QStringLiteral("Com%1:").arg(port.number), port.number);
        setItemData(count() - 1, portToolTip(port), Qt::ToolTipRole);
    }
    setCurrentIndex(findData(selected));
    setToolTip(count() == 0 ? whyNone : QString());
}

} // namespace veldo
