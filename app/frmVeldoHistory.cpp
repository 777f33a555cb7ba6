// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo over whole configurations, the keyboard shortcuts, and the commit of code
// fields in edit: a field the user changed is normalised as soon as the window's focus is
// anywhere else, whatever moved it, so that no command ever reads a half-typed code.
#include "app/frmVeldo.h"

#include "app/CodeEdit.h"

#include <QShortcut>
#include <QWindow>

namespace veldo {

void frmVeldo::buildShortcuts()
{
    struct Binding {
        QList<QKeySequence> keys;
        void (frmVeldo::*command)();
    };
    const Binding bindings[] = {
        {{QKeySequence(Qt::CTRL | Qt::Key_O)}, &frmVeldo::Open_Click},
        {{QKeySequence(Qt::CTRL | Qt::Key_S)}, &frmVeldo::Save_Click},
        {{QKeySequence(Qt::CTRL | Qt::Key_Z)}, &frmVeldo::undo},
        {{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}, &frmVeldo::redo},
    };
    for (const Binding &binding : bindings) {
        auto *shortcut = new QShortcut(this);
        shortcut->setKeys(binding.keys);
        // The field in edit keeps the focus: commit it as a click on a button would have.
        connect(shortcut, &QShortcut::activated, this, [this, command = binding.command] {
            commitEdits();
            (this->*command)();
        });
    }
}

void frmVeldo::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The window's focus widget, not the application's: a click into an inactive window moves
    // it before (or without) the window becoming active, and its command runs all the same.
    if (!m_focusWatch)
        m_focusWatch = connect(windowHandle(), &QWindow::focusObjectChanged, this, &frmVeldo::focusMoved);
}

void frmVeldo::focusMoved(QObject *focus)
{
    commitEdits(focus);
}

// Normalises every field the user changed, except the one still being edited, and makes the
// result a step of the history.
void frmVeldo::commitEdits(const QObject *stillEditing)
{
    for (CodeEdit *field : m_data1) {
        if (field != stillEditing && field->isModified())
            Data1_LostFocus(field->index());
    }
    m_history.record(configuration());
}

// Clear All, Open and Download: the configuration shown before stays one undo away.
void frmVeldo::replaceConfiguration(const SwitchConfig &config)
{
    commitEdits();
    showConfiguration(config);
    m_history.record(configuration());
}

void frmVeldo::undo()
{
    if (const std::optional<SwitchConfig> config = m_history.undo())
        showConfiguration(*config);
}

void frmVeldo::redo()
{
    if (const std::optional<SwitchConfig> config = m_history.redo())
        showConfiguration(*config);
}

} // namespace veldo
