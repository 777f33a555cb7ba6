// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoxSimulator.h"

#include "protocol/DeviceImage.h"

#include <algorithm>
#include <utility>

namespace veldo {

BoxSimulator::BoxSimulator(BoxOptions options, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_receiveLine(m_options.fast ? std::chrono::nanoseconds(0) : kLineByteTime)
    , m_sendLine(m_options.fast ? std::chrono::nanoseconds(0) : kLineByteTime)
{
    m_resyncTimer.setSingleShot(true);
    m_resyncTimer.setInterval(m_options.resyncGapMs);
    connect(&m_resyncTimer, &QTimer::timeout, this, &BoxSimulator::dropIncomplete);
    m_pieceTimer.setSingleShot(true);
    m_pieceTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_pieceTimer, &QTimer::timeout, this, &BoxSimulator::sendNextPiece);
    if (!m_pty.isOpen())
        return;
    m_readNotifier.setSocket(m_pty.masterFd());
    m_readNotifier.setEnabled(true);
    connect(&m_readNotifier, &QSocketNotifier::activated, this, &BoxSimulator::readIncoming);
}

LinkResult BoxSimulator::linkAsPort(int port, const QString &portsFolder)
{
    if (!isOpen())
        return {false, QStringLiteral("no pseudo-terminal to link")};
    return m_link.make(portsFolder, port, slavePath());
}

void BoxSimulator::unplug()
{
    if (!isOpen())
        return;
    m_readNotifier.setEnabled(false); // may be emitting right now: disabled, not destroyed
    m_resyncTimer.stop();
    m_pieceTimer.stop();
    m_outbox.clear();
    m_pieceLeft = 0;
    m_image.clear();
    m_dropped.clear();
    m_pty.close();
    emit unplugged();
}

void BoxSimulator::readIncoming()
{
    const QByteArray bytes = m_pty.readAvailable();
    m_arrivalMs = m_receiveLine.book(bytes.size());
    if (m_options.echo && !bytes.isEmpty())
        echo(bytes);
    for (const char byte : bytes) {
        take(std::uint8_t(byte));
        if (!isOpen())
            return;
    }
    reportDropped();
    if (m_image.isEmpty())
        m_resyncTimer.stop();
    else
        m_resyncTimer.start();
}

void BoxSimulator::take(std::uint8_t byte)
{
    if (!m_image.isEmpty() || byte == kUploadLeadByte) {
        m_image.append(char(byte));
        if (m_image.size() == kDeviceImageSize)
            serveUpload();
    } else if (byte == kDownloadRequest) {
        serveDownload();
    } else {
        m_dropped.append(char(byte));
    }
}

void BoxSimulator::reportDropped()
{
    if (!m_dropped.isEmpty())
        emit bytesDropped(std::exchange(m_dropped, {}));
}

void BoxSimulator::serveDownload()
{
    reportDropped();
    emit requestReceived(BoxRequest::Download);
    if (m_options.unplugOnRequest)
        return unplug();
    DeviceImage image = EncodeDeviceImage(m_options.config);
    image[0] = char(m_options.downloadLeadByte);
    if (m_options.wrongChecksum)
        image[kChecksumOffset] = char(~DeviceImageChecksum(image));
    answer(BoxRequest::Download, image);
}

void BoxSimulator::serveUpload()
{
    const DeviceImage image = std::exchange(m_image, {});
    reportDropped();
    emit requestReceived(BoxRequest::Upload);
    if (m_options.unplugOnRequest)
        return unplug();
    if (m_options.silent)
        return answer(BoxRequest::Upload, {});
    const bool accepted = !m_options.alwaysNak && deviceImageChecksumHolds(image);
    if (accepted && !m_options.forgetful) {
        m_options.config = DecodeDeviceImage(image);
        emit configReceived(m_options.config);
    }
    QByteArray verdict(1, char(accepted ? kAcknowledge : kNegativeAcknowledge));
    if (m_options.strayByte)
        verdict.prepend(char(kStrayByte));
    answer(BoxRequest::Upload, verdict);
}

void BoxSimulator::answer(BoxRequest request, const QByteArray &bytes)
{
    // The request is complete once its last byte has passed the line.
    const int delayMs = m_options.answerDelayMs + m_arrivalMs;
    if (m_options.silent || bytes.isEmpty()) {
        emit requestServed(request, {});
    } else if (delayMs > 0) {
        QTimer::singleShot(delayMs, Qt::PreciseTimer, this, [this, request, bytes] { queueAnswer(request, bytes); });
    } else {
        queueAnswer(request, bytes);
    }
}

void BoxSimulator::echo(const QByteArray &bytes)
{
    // Returned at once unless the line paces it; then it goes before any later answer.
    if (m_options.fast)
        m_pty.write(bytes);
    else
        queueAnswer(std::nullopt, bytes);
}

void BoxSimulator::queueAnswer(std::optional<BoxRequest> request, const QByteArray &bytes)
{
    if (!isOpen())
        return;
    m_outbox.append({request, bytes});
    if (!m_pieceTimer.isActive())
        sendNextPiece();
}

void BoxSimulator::sendNextPiece()
{
    while (!m_outbox.isEmpty()) {
        PendingAnswer &pending = m_outbox.first();
        if (m_pieceLeft == 0) {
            m_sendLine.wake(); // a pause or an idle line banks no time
            const qsizetype left = pending.bytes.size() - pending.sent;
            m_pieceLeft = pending.request && m_options.chunkSize > 0 ? std::min<qsizetype>(m_options.chunkSize, left) : left;
        }
        const qsizetype size = m_sendLine.take(m_pieceLeft);
        if (size == 0)
            return m_pieceTimer.start(m_sendLine.msUntilNext());
        if (!m_pty.write(pending.bytes.mid(pending.sent, size))) {
            m_pieceLeft = 0;
            if (const std::optional<BoxRequest> request = m_outbox.takeFirst().request)
                emit answerFailed(*request);
            continue;
        }
        pending.sent += size;
        m_pieceLeft -= size;
        if (m_pieceLeft > 0)
            continue;
        if (pending.sent == pending.bytes.size()) {
            const PendingAnswer done = m_outbox.takeFirst();
            if (done.request)
                emit requestServed(*done.request, done.bytes);
        }
        if (m_options.chunkSize > 0 && !m_outbox.isEmpty())
            return m_pieceTimer.start(m_options.chunkPauseMs);
    }
}

void BoxSimulator::dropIncomplete()
{
    emit bytesDropped(std::exchange(m_image, {}));
}

} // namespace veldo
