#include "app/CodeEdit.h"

#include "config/SwitchConfig.h"

#include <QFocusEvent>

namespace veldo {

CodeEdit::CodeEdit(int index, QWidget *parent)
    : QLineEdit(kZeroCode, parent)
    , m_index(index)
{
    setMaxLength(kCodeLength);
    setObjectName(QStringLiteral("Data1_%1").arg(index));
}

void CodeEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
        emit lostFocus(m_index);
}

} // namespace veldo
