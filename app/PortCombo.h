// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "box/BoxSession.h"

#include <QComboBox>

namespace veldo {

// The port list: a drop-down list of the usable ports that says when the user opens it,
// before it shows.
class PortCombo : public QComboBox {
    Q_OBJECT
public:
    explicit PortCombo(QWidget *parent = nullptr);

    void showPopup() override;

    // Lists the usable ports as "ComN:", each with its device or HOST:PORT as tooltip, and selects
    // `selected`; with none usable, the tooltip says why.
    void showPorts(const PortScan &ports, int selected, const QString &whyNone);
    int selectedPort() const { return currentData().toInt(); }

signals:
    void dropDown();
};

} // namespace veldo
