// SPDX-License-Identifier: GPL-3.0-or-later
#include "GensioLoop.h"

#include <gensio/gensio.h>

#include <csignal>
#include <memory>

#include <pthread.h>

namespace veldo {

namespace {

// gensio wakes its waiting thread with this signal when another thread hands it work.
constexpr int kWakeSignal = GENSIO_DEF_WAKE_SIG;

void ignoreWake(int)
{
}

// The wake signal needs a handler, or its default action ends the program; one installed by
// someone else is left alone.
void installWakeHandler()
{
    struct sigaction current {};
    ::sigaction(kWakeSignal, nullptr, &current);
    if (current.sa_handler != SIG_DFL && current.sa_handler != SIG_IGN)
        return;
    struct sigaction action {};
    action.sa_handler = ignoreWake;
    sigemptyset(&action.sa_mask);
    ::sigaction(kWakeSignal, &action, nullptr);
}

// gensio reports through the log what it also returns as errors: nothing is printed.
void discardLog(gensio_os_funcs *, gensio_log_levels, const char *, va_list)
{
}

} // namespace

GensioLoop *GensioLoop::instance()
{
    static const std::unique_ptr<GensioLoop> loop = [] {
        std::unique_ptr<GensioLoop> started(new GensioLoop);
        return started->start() ? std::move(started) : nullptr;
    }();
    return loop.get();
}

bool GensioLoop::start()
{
    installWakeHandler();
    if (gensio_default_os_hnd(kWakeSignal, &m_os) != 0)
        return false;
    gensio_os_funcs_set_vlog(m_os, discardLog);
    m_waiter = gensio_os_funcs_alloc_waiter(m_os);
    if (!m_waiter)
        return false;
    m_thread = std::thread([this] { run(); });
    std::unique_lock lock(m_mutex);
    m_started.wait(lock, [this] { return m_ready; });
    return true;
}

GensioLoop::~GensioLoop()
{
    if (m_thread.joinable()) {
        post([this] { m_stopping = true; });
        m_thread.join();
    }
    if (m_waiter)
        gensio_os_funcs_free_waiter(m_os, m_waiter);
}

void GensioLoop::post(std::function<void()> task)
{
    {
        const std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    gensio_os_funcs_wake(m_os, m_waiter);
}

void GensioLoop::run()
{
    // Only this thread waits in gensio, so only here must the wake signal be blocked (gensio
    // lets it through while it waits); a broken connection must not raise SIGPIPE either.
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, kWakeSignal);
    sigaddset(&blocked, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
    {
        const std::lock_guard lock(m_mutex);
        m_ready = true;
    }
    m_started.notify_all();
    while (!m_stopping) {
        gensio_os_funcs_wait(m_os, m_waiter, 1, nullptr);
        std::vector<std::function<void()>> tasks;
        {
            const std::lock_guard lock(m_mutex);
            tasks.swap(m_tasks);
        }
        for (const auto &task : tasks)
            task();
    }
}

} // namespace veldo
