// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>
#include <optional>

class QThread;

namespace veldo {

// Runs a piece of work on a thread of its own and then its follow-up on this object's thread,
// so that a slow look through the system never holds up the caller's. One runs at a time: a
// request while one runs waits for it to end, replacing any request that already waits, and
// the follow-up of the one overtaken is dropped, its result being stale by then. Destroyed,
// it waits for the running work and drops every follow-up.
class BackgroundJob : public QObject {
    Q_OBJECT
public:
    using Step = std::function<void()>;

    explicit BackgroundJob(QObject *parent = nullptr);
    ~BackgroundJob() override;

    void start(Step work, Step followUp);
    // Drops the follow-up of the running work and the request that waits, if any.
    void cancel();
    // Whether work runs now.
    bool busy() const { return m_thread != nullptr; }
    // Whether a follow-up is still to come.
    bool pending() const { return m_followUp || m_next; }

private:
    struct Request {
        Step work;
        Step followUp;
    };
    void run(Request request);

    QThread *m_thread = nullptr;
    Step m_followUp;
    std::optional<Request> m_next;
};

} // namespace veldo
