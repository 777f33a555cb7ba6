// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/BackgroundJob.h"

#include <QThread>

#include <utility>

namespace veldo {

BackgroundJob::BackgroundJob(QObject *parent)
    : QObject(parent)
{
}

BackgroundJob::~BackgroundJob()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void BackgroundJob::start(Step work, Step followUp)
{
    if (m_thread)
        m_next = Request{std::move(work), std::move(followUp)};
    else
        run({std::move(work), std::move(followUp)});
}

void BackgroundJob::cancel()
{
    m_followUp = nullptr;
    m_next.reset();
}

void BackgroundJob::run(Request request)
{
    m_followUp = std::move(request.followUp);
    m_thread = QThread::create(std::move(request.work));
    connect(m_thread, &QThread::finished, this, [this] {
        m_thread->deleteLater();
        m_thread = nullptr;
        const Step followUp = std::exchange(m_followUp, nullptr);
        if (m_next)
            run(*std::exchange(m_next, std::nullopt));
        else if (followUp)
            followUp();
    });
    m_thread->start();
}

} // namespace veldo
