// SPDX-License-Identifier: GPL-3.0-or-later
#include "RemoteConnection.h"

#include "lines/GensioLoop.h"
#include "lines/PeerCertificate.h"

#include <gensio/gensio.h>
#include <gensio/sergensio.h>

#include <openssl/x509.h>

#include <array>

namespace veldo {

namespace {

constexpr unsigned int kBaudRate = 9600;
constexpr unsigned int kDataBits = 8;
constexpr unsigned int kStopBits = 1;
constexpr gensiods kCertificateSpace = 64 * 1024;

// The trust store OpenSSL was built to use, as a folder of hashed certificates (the trailing
// slash tells gensio it is one), unless the address names a CA file of its own.
QByteArray trustedAuthorities(const RemotePortAddress &address)
{
    return address.caFile.isEmpty() ? QByteArray(X509_get_default_cert_dir()) + '/' : address.caFile.toLocal8Bit();
}

// The gensio stack: telnet with the COM-PORT option over TCP, with TLS between them when asked.
// The address parser has refused every character that would mean something in this string.
QByteArray connectString(const RemotePortAddress &address)
{
    QByteArray stack = "telnet(rfc2217),";
    if (address.tls)
        stack += "ssl(CA=" + trustedAuthorities(address) + "),";
    return stack + "tcp," + address.host.toLatin1() + ',' + QByteArray::number(address.port);
}

QString errorText(int err)
{
    return QString::fromUtf8(gensio_err_to_str(err));
}

bool isNameError(int err)
{
    return err == GE_NOTFOUND || err == GE_UNKNOWN_NAME_ERROR || err == GE_NAME_ERROR || err == GE_NAME_SERVER_FAILURE || err == GE_NAME_INVALID
        || err == GE_NAME_NET_NOT_UP;
}

bool isCertificateError(int err)
{
    return err == GE_CERTNOTFOUND || err == GE_CERTINVALID || err == GE_CERTEXPIRED || err == GE_CERTREVOKED || err == GE_NOCERT || err == GE_KEYINVALID
        || err == GE_AUTHREJECT;
}

} // namespace

std::shared_ptr<RemoteConnection> RemoteConnection::create(GensioLoop &loop, RemotePortAddress address, Notifier notifier)
{
    return std::make_shared<RemoteConnection>(loop, std::move(address), std::move(notifier));
}

RemoteConnection::RemoteConnection(GensioLoop &loop, RemotePortAddress address, Notifier notifier)
    : m_loop(loop)
    , m_address(std::move(address))
    , m_notifier(std::move(notifier))
{
}

RemoteConnection::~RemoteConnection() = default;

void RemoteConnection::connect()
{
    m_loop.post([self = shared_from_this()] { self->startOnLoop(); });
}

void RemoteConnection::send(const QByteArray &bytes)
{
    m_loop.post([self = shared_from_this(), bytes] {
        self->m_outbox += bytes;
        self->writeOut();
    });
}

void RemoteConnection::purge()
{
    {
        const std::lock_guard lock(m_mutex);
        m_inbox.clear();
    }
    m_loop.post([self = shared_from_this()] {
        if (!self->m_connected || self->m_ended)
            return;
        sergensio_flush(gensio_to_sergensio(self->m_io), SERGENSIO_FLUSH_RCV_XMIT_BUFFERS);
        self->resumeReading();
    });
}

void RemoteConnection::resumeReading()
{
    {
        const std::lock_guard lock(m_mutex);
        if (!m_readPaused || !m_io || m_ended)
            return;
        m_readPaused = false;
    }
    // Outside the lock: gensio may deliver what it holds before this returns.
    gensio_set_read_callback_enable(m_io, true);
}

QByteArray RemoteConnection::take()
{
    const std::lock_guard lock(m_mutex);
    if (m_readPaused)
        m_loop.post([self = shared_from_this()] { self->resumeReading(); });
    return std::exchange(m_inbox, {});
}

void RemoteConnection::close()
{
    {
        const std::lock_guard lock(m_mutex);
        m_notifier = nullptr;
    }
    m_loop.post([self = shared_from_this()] {
        self->m_ended = true;
        self->shutDown();
    });
}

void RemoteConnection::startOnLoop()
{
    if (m_ended)
        return;
    // The name is looked up here, on the loop's thread: gensio resolves it while it builds the stack.
    const int err = str_to_gensio(connectString(m_address).constData(), m_loop.os(), onEvent, this, &m_io);
    if (err) {
        m_io = nullptr;
        fail(isNameError(err) ? NetworkFailure::UnknownHost : NetworkFailure::Other, errorText(err));
        return;
    }
    m_self = shared_from_this();
    const int openErr = gensio_open(m_io, onOpened, this);
    if (openErr)
        fail(classifyOpenError(openErr), errorText(openErr));
}

NetworkFailure RemoteConnection::classifyOpenError(int err) const
{
    if (m_nameMismatch)
        return NetworkFailure::NameMismatch;
    if (!m_certificateProblem.isEmpty() || isCertificateError(err))
        return NetworkFailure::NotTrusted;
    if (err == GE_CONNREFUSE)
        return NetworkFailure::Refused;
    if (err == GE_TIMEDOUT)
        return NetworkFailure::TimedOut;
    if (isNameError(err))
        return NetworkFailure::UnknownHost;
    // ser2net turns a connection away (with "Port already in use", which gensio may not pass on
    // before the close) when another holds the port.
    if (err == GE_REMCLOSE)
        return NetworkFailure::PortInUse;
    return NetworkFailure::Other;
}

void RemoteConnection::onOpened(gensio *, int err, void *self)
{
    auto *connection = static_cast<RemoteConnection *>(self);
    if (connection->m_ended)
        return;
    if (err) {
        const QString detail = connection->m_certificateProblem.isEmpty() ? errorText(err) : connection->m_certificateProblem;
        connection->fail(connection->classifyOpenError(err), detail);
        return;
    }
    gensio_set_read_callback_enable(connection->m_io, true);
    connection->askForLineSettings();
}

void RemoteConnection::askForLineSettings()
{
    sergensio *serial = gensio_to_sergensio(m_io);
    if (!serial) {
        fail(NetworkFailure::NoSerialControl, {});
        return;
    }
    // Each answer comes back through onSetting; the line is usable once all have come.
    using Request = int (*)(sergensio *, unsigned int, sergensio_done, void *);
    const std::array<std::pair<Request, unsigned int>, 5> requests{{
        {sergensio_baud, kBaudRate},
        {sergensio_datasize, kDataBits},
        {sergensio_parity, SERGENSIO_PARITY_NONE},
        {sergensio_stopbits, kStopBits},
        {sergensio_flowcontrol, SERGENSIO_FLOWCONTROL_NONE},
    }};
    for (const auto &[request, value] : requests) {
        const int err = request(serial, value, onSetting, this);
        if (err) {
            fail(NetworkFailure::NoSerialControl, errorText(err));
            return;
        }
        ++m_settingsPending;
    }
}

void RemoteConnection::onSetting(sergensio *, int err, unsigned int, void *self)
{
    auto *connection = static_cast<RemoteConnection *>(self);
    if (connection->m_ended)
        return;
    if (err) {
        connection->fail(err == GE_REMCLOSE ? connection->classifyOpenError(err) : NetworkFailure::NoSerialControl, errorText(err));
        return;
    }
    if (--connection->m_settingsPending == 0) {
        connection->m_connected = true;
        // Whatever came before (a banner) is the server's, not the box's.
        connection->purge();
        connection->notify(Event::Connected);
        connection->writeOut();
    }
}

int RemoteConnection::onEvent(gensio *, void *self, int event, int err, unsigned char *buf, gensiods *buflen, const char *const *auxdata)
{
    auto *connection = static_cast<RemoteConnection *>(self);
    switch (event) {
    case GENSIO_EVENT_READ: return connection->received(err, buf, buflen);
    case GENSIO_EVENT_WRITE_READY: connection->writeOut(); return 0;
    case GENSIO_EVENT_POSTCERT_VERIFY: return connection->checkCertificate(err, auxdata);
    default: return GE_NOTSUP;
    }
}

int RemoteConnection::received(int err, const unsigned char *buf, gensiods *buflen)
{
    if (m_ended) {
        gensio_set_read_callback_enable(m_io, false);
        return 0;
    }
    if (err) {
        if (m_connected)
            fail(NetworkFailure::Lost, err == GE_REMCLOSE ? QString() : errorText(err));
        else
            fail(classifyOpenError(err), errorText(err));
        return 0;
    }
    bool wasEmpty = false;
    {
        const std::lock_guard lock(m_mutex);
        wasEmpty = m_inbox.isEmpty();
        const gensiods room = gensiods(kInputCap - m_inbox.size());
        *buflen = std::min(*buflen, room);
        m_inbox.append(reinterpret_cast<const char *>(buf), qsizetype(*buflen));
        if (m_inbox.size() >= kInputCap) {
            m_readPaused = true;
            gensio_set_read_callback_enable(m_io, false);
        }
    }
    // Bytes before the line settings are answered are the server's words, not the box's.
    if (wasEmpty && *buflen > 0 && m_connected)
        notify(Event::Arrived);
    return 0;
}

int RemoteConnection::checkCertificate(int err, const char *const *auxdata)
{
    if (err) {
        m_certificateProblem = auxdata && auxdata[0] ? QString::fromUtf8(auxdata[0]) : errorText(err);
        return GE_NOTSUP; // gensio refuses the connection as it would without us
    }
    QByteArray pem(qsizetype(kCertificateSpace), '\0');
    gensiods length = kCertificateSpace;
    if (gensio_control(m_io, GENSIO_CONTROL_DEPTH_FIRST, GENSIO_CONTROL_GET, GENSIO_CONTROL_CERT, pem.data(), &length) != 0 || length >= kCertificateSpace
        || !certificateNamesHost(pem.left(qsizetype(length)), m_address.host)) {
        m_nameMismatch = true;
        return GE_AUTHREJECT;
    }
    return GE_NOTSUP;
}

void RemoteConnection::writeOut()
{
    if (!m_connected || m_ended || m_outbox.isEmpty())
        return;
    gensiods written = 0;
    const int err = gensio_write(m_io, &written, m_outbox.constData(), gensiods(m_outbox.size()), nullptr);
    if (err) {
        fail(NetworkFailure::Lost, errorText(err));
        return;
    }
    m_outbox.remove(0, qsizetype(written));
    gensio_set_write_callback_enable(m_io, !m_outbox.isEmpty());
}

void RemoteConnection::fail(NetworkFailure failure, const QString &detail)
{
    if (m_ended)
        return;
    m_ended = true;
    notify(Event::Broke, failure, detail);
    shutDown();
}

void RemoteConnection::notify(Event event, NetworkFailure failure, const QString &detail)
{
    const std::lock_guard lock(m_mutex);
    if (m_notifier)
        m_notifier(event, failure, detail);
}

void RemoteConnection::shutDown()
{
    if (!m_io || m_closing)
        return;
    m_closing = true;
    if (gensio_close(m_io, onClosed, this) != 0)
        onClosed(m_io, this);
}

void RemoteConnection::onClosed(gensio *, void *self)
{
    auto *connection = static_cast<RemoteConnection *>(self);
    // Freed from the loop, outside gensio's own callback.
    connection->m_loop.post([connection] {
        gensio_free(connection->m_io);
        connection->m_io = nullptr;
        const std::shared_ptr<RemoteConnection> last = std::move(connection->m_self);
    });
}

} // namespace veldo
