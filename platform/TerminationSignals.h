#pragma once
// SIGTERM, SIGINT and SIGHUP turned into a Qt signal on the event loop, so that a
// calling program or the terminal can end the program through its normal
// closing path (which still writes the handshake file).

#include <QObject>

#include <vector>

class QSocketNotifier;

namespace kova {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers for SIGTERM, SIGINT and SIGHUP (SIGHUP not when
    // it is ignored, as nohup starts a program); one instance at a time.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // "SIGTERM", "SIGINT" or "SIGHUP".
    static const char* name(int signalNumber);

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignal();
    QSocketNotifier* notifier_ = nullptr;
    std::vector<int> installed_;
};

} // namespace kova
