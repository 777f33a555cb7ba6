// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lines/NetworkFailure.h"
#include "lines/RemotePortAddress.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>

struct gensio;
struct sergensio;

namespace veldo {

class GensioLoop;

// One RFC 2217 connection, driven on the gensio loop's thread: the connect, the line settings,
// the bytes both ways and the end. Its public calls may come from any thread; they hand the work
// to the loop. What happens is told through the notifier, on the loop's thread, until detach().
class RemoteConnection : public std::enable_shared_from_this<RemoteConnection> {
public:
    enum class Event { Connected,
                       Arrived,
                       Broke };
    using Notifier = std::function<void(Event, NetworkFailure, const QString &detail)>;

    // Unread bytes beyond this stay with the server: reading stops until they are taken.
    static constexpr qsizetype kInputCap = 64 * 1024;

    static std::shared_ptr<RemoteConnection> create(GensioLoop &loop, RemotePortAddress address, Notifier notifier);

    void connect();
    void send(const QByteArray &bytes);
    // Drops the unread bytes and asks the server to purge its buffers.
    void purge();
    // Everything received and not yet taken.
    QByteArray take();
    // No notification after this returns; the connection closes and frees itself.
    void close();

    RemoteConnection(GensioLoop &loop, RemotePortAddress address, Notifier notifier);
    ~RemoteConnection();

private:
    static int onEvent(gensio *io, void *self, int event, int err, unsigned char *buf, unsigned long *buflen, const char *const *auxdata);
    static void onOpened(gensio *io, int err, void *self);
    static void onSetting(sergensio *sio, int err, unsigned int value, void *self);
    static void onClosed(gensio *io, void *self);

    void startOnLoop();
    void askForLineSettings();
    int received(int err, const unsigned char *buf, unsigned long *buflen);
    int checkCertificate(int err, const char *const *auxdata);
    void writeOut();
    void resumeReading();
    void fail(NetworkFailure failure, const QString &detail);
    void notify(Event event, NetworkFailure failure = NetworkFailure::None, const QString &detail = {});
    void shutDown();
    NetworkFailure classifyOpenError(int err) const;

    GensioLoop &m_loop;
    const RemotePortAddress m_address;

    // The loop's thread only.
    gensio *m_io = nullptr;
    std::shared_ptr<RemoteConnection> m_self; // keeps this alive while gensio holds it
    QByteArray m_outbox;
    int m_settingsPending = 0;
    bool m_connected = false;
    bool m_ended = false;
    bool m_closing = false;
    QString m_certificateProblem;
    bool m_nameMismatch = false;

    // Shared with the owner's thread.
    mutable std::mutex m_mutex;
    Notifier m_notifier;
    QByteArray m_inbox;
    bool m_readPaused = false;
};

} // namespace veldo
