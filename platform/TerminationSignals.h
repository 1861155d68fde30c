#pragma once
// SIGTERM and SIGINT turned into a Qt signal on the event loop, so that a
// calling program or the terminal can end the program through its normal
// closing path (which still writes the handshake file).

#include <QObject>

class QSocketNotifier;

namespace kova {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers for SIGTERM and SIGINT; one instance at a time.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignal();
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace kova
