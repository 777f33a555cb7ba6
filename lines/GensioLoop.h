// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

struct gensio_os_funcs;
struct gensio_waiter;

namespace veldo {

// The one thread on which the program makes every gensio call. gensio runs its callbacks on
// whichever thread waits in its OS handler; with a single such thread, owned here, nothing of
// gensio ever runs on a window's thread (not even the name lookup that gensio does while it
// sets a connection up), no Qt object is touched from inside gensio, and the other threads only
// hand work over. A QThread would bring a Qt event loop of its own, which cannot wait on gensio's
// descriptors; gensio's loop is the one this thread must run.
class GensioLoop {
public:
    // Started on first use, ended when the program ends; null when gensio could not start.
    static GensioLoop *instance();

    gensio_os_funcs *os() const { return m_os; }
    // Runs task on the loop's thread, after the tasks posted before it; from any thread.
    void post(std::function<void()> task);

    GensioLoop(const GensioLoop &) = delete;
    GensioLoop &operator=(const GensioLoop &) = delete;
    ~GensioLoop();

private:
    GensioLoop() = default;
    bool start();
    void run();

    gensio_os_funcs *m_os = nullptr;
    gensio_waiter *m_waiter = nullptr;
    std::mutex m_mutex;
    std::condition_variable m_started;
    bool m_ready = false;
    std::vector<std::function<void()>> m_tasks;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace veldo
