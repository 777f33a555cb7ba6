// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StatusLine.h"

#include <QLabel>

namespace veldo {

StatusLine::StatusLine(QLabel *idle, QLabel *message)
    : m_idle(idle)
    , m_message(message)
{
    render();
}

bool StatusLine::blink(const QString &waitingText)
{
    const bool first = m_state != State::Waiting;
    m_blinkOn = first || !m_blinkOn;
    m_state = State::Waiting;
    m_message->setText(waitingText);
    m_message->setToolTip(QString());
    render();
    return first;
}

void StatusLine::endWaiting()
{
    if (m_state == State::Waiting)
        m_state = State::Idle;
    render();
}

void StatusLine::showNote(Note note, const QString &text, const QString &detail)
{
    m_state = State::Noting;
    m_note = note;
    m_message->setText(text);
    m_message->setToolTip(detail);
    render();
}

void StatusLine::endNote(Note note)
{
    if (m_state == State::Noting && m_note == note)
        m_state = State::Idle;
    render();
}

void StatusLine::render()
{
    m_idle->setVisible(m_state == State::Idle);
    m_message->setVisible(m_state == State::Noting || (m_state == State::Waiting && m_blinkOn));
}

} // namespace veldo
