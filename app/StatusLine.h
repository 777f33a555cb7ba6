// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QLabel;

namespace veldo {

// The line below the outputs, in one of three states: the copyright while nothing goes on,
// the waiting text blinking while an exchange runs, or a note that stays until what it is
// about is over or the next exchange starts. The labels only show the state.
class StatusLine {
public:
    enum class Note { PortLost,
                      DownloadNotKept,
                      RemotePort }; // connecting to it, or why it could not be reached

    StatusLine(QLabel *idle, QLabel *message);

    // One tick of a waiting exchange: the text shown and hidden in turn. True at the first tick.
    bool blink(const QString &waitingText);
    // The exchange has ended: the copyright again, unless a note came meanwhile.
    void endWaiting();
    // detail, where given, is the note's tooltip.
    void showNote(Note note, const QString &text, const QString &detail = {});
    // Ends the note shown if it is this one.
    void endNote(Note note);

private:
    enum class State { Idle,
                       Waiting,
                       Noting };

    void render();

    QLabel *m_idle;
    QLabel *m_message;
    State m_state = State::Idle;
    Note m_note = Note::PortLost;
    bool m_blinkOn = false;
};

} // namespace veldo
