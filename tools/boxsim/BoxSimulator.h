// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BoxOptions.h"
#include "LinePace.h"
#include "PortLink.h"
#include "PseudoTerminal.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <optional>

namespace veldo {

enum class BoxRequest { Download,
                        Upload };

// The switch box on a pseudo-terminal, driven by the event loop of its thread.
// It answers the request byte 171 with its image and takes an image led by 170, answering
// 6 when its checksum holds (and storing it) or 21 when not. Bytes that start neither are
// dropped; an image that stops arriving for resyncGapMs is dropped, so the next request
// is read afresh. Unless fast, a request is taken when it would have passed the line and
// every byte sent back passes at the line's rate, as on a real 9600-baud link.
class BoxSimulator : public QObject {
    Q_OBJECT
public:
    explicit BoxSimulator(BoxOptions options = {}, QObject *parent = nullptr);

    bool isOpen() const { return m_pty.isOpen(); }
    // The device to open, e.g. /dev/pts/3.
    QString slavePath() const { return m_pty.slavePath(); }
    SwitchConfig config() const { return m_options.config; }
    void setConfig(const SwitchConfig &config) { m_options.config = config; }

    // Makes the device appear as Com N through the ports folder; undone on destruction.
    // The link stays when the device is unplugged, as it would for a real adapter.
    LinkResult linkAsPort(int port, const QString &portsFolder);
    QString linkPath() const { return m_link.path(); }
    QString borrowedLink() const { return m_link.borrowed(); }
    bool removeLink() { return m_link.remove(); }

    // The device vanishes: whoever has it open sees a hang-up; nothing more is answered.
    void unplug();

signals:
    void requestReceived(veldo::BoxRequest request);
    // The whole answer has been written; empty when the box stays silent.
    void requestServed(veldo::BoxRequest request, const QByteArray &answer);
    void answerFailed(veldo::BoxRequest request);
    void configReceived(const veldo::SwitchConfig &config);
    void bytesDropped(const QByteArray &bytes);
    void unplugged();

private:
    struct PendingAnswer {
        std::optional<BoxRequest> request; // none for an echo
        QByteArray bytes;
        qsizetype sent = 0;
    };

    void readIncoming();
    void take(std::uint8_t byte);
    void reportDropped();
    void serveDownload();
    void serveUpload();
    void answer(BoxRequest request, const QByteArray &bytes);
    void echo(const QByteArray &bytes);
    void queueAnswer(std::optional<BoxRequest> request, const QByteArray &bytes);
    void sendNextPiece();
    void dropIncomplete();

    BoxOptions m_options;
    PseudoTerminal m_pty;
    QSocketNotifier m_readNotifier{QSocketNotifier::Read}; // after m_pty: gone before its descriptor
    PortLink m_link;
    QByteArray m_image;   // an upload image being collected
    QByteArray m_dropped; // bytes that started nothing, not yet reported
    QTimer m_resyncTimer;
    QList<PendingAnswer> m_outbox;
    QTimer m_pieceTimer;       // the next piece, or the next byte the line lets pass
    qsizetype m_pieceLeft = 0; // of the piece being sent
    LinePace m_receiveLine;
    LinePace m_sendLine;
    int m_arrivalMs = 0; // until the bytes being read would have passed the line
};

} // namespace veldo
