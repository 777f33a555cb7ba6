// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/SwitchConfig.h"

#include <QFrame>

#include <array>

class QButtonGroup;
class QRadioButton;

namespace veldo {

// The four type buttons of one output (Frame3): one exclusive group, Toggle, Pulse, Master,
// Slave from left to right. Tab stops only at the selected button; the arrow keys move the
// selection within the group.
class TypeGroup : public QFrame {
    Q_OBJECT
public:
    TypeGroup(int output, QWidget *parent = nullptr);

    OutputType type() const;
    void setType(OutputType type);

    // The button of a type; its slot is the type's value, its index 4 * output + slot.
    QRadioButton *button(OutputType type) const { return m_buttons.at(std::size_t(type)); }

    // Whether every caption fits where its button shows (the rightmost is cut by the frame).
    bool captionsFit() const;
    // Lays the buttons out left to right, each as wide as its caption needs, the spare width
    // spread evenly among them.
    void spreadButtons();

signals:
    // The user chose a type, by a click or an arrow key; setType does not count.
    void typeChosen();

private:
    void updateTabStop();

    std::array<QRadioButton *, kTypeCount> m_buttons{};
    QButtonGroup *m_group = nullptr;
};

} // namespace veldo
