// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CodeEdit.h"

#include "config/SwitchConfig.h"

#include <QKeyEvent>

namespace veldo {

CodeEdit::CodeEdit(int index, QWidget *parent)
    : QLineEdit(kZeroCode, parent)
    , m_index(index)
{
    setMaxLength(kCodeLength);
    setObjectName(QStringLiteral("Data1_%1").arg(index));
}

bool CodeEdit::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Not accepting the override lets the window's shortcut have the key.
        if ((key->matches(QKeySequence::Undo) && !isUndoAvailable())
            || (key->matches(QKeySequence::Redo) && !isRedoAvailable()))
            return false;
    }
    return QLineEdit::event(event);
}

} // namespace veldo
