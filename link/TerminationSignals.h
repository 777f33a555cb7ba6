#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace veldo {

// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal: the handler only writes the signal
// number into a pipe, which the event loop reads. One instance per process.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    bool isWatching() const { return m_notifier != nullptr; }

signals:
    void received(int signalNumber);

private:
    void readPipe();

    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace veldo
