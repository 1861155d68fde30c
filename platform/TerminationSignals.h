#pragma once
// SIGTERM, SIGINT and SIGHUP turned into a Qt signal on the event loop, so that a
// calling program or the terminal can end the program through its normal
// closing path (which still writes the handshake file).

#include <QObject>

#include <csignal>
#include <utility>
#include <vector>

class QSocketNotifier;

namespace kova {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers for SIGTERM, SIGINT and SIGHUP; one instance at
    // a time. A signal ignored at start stays ignored: nohup ignores SIGHUP,
    // a non-interactive shell SIGINT for its background jobs.
    explicit TerminationSignals(QObject* parent = nullptr);
    // Gives each signal handled its action from before.
    ~TerminationSignals() override;

    // "SIGTERM", "SIGINT" or "SIGHUP".
    static const char* name(int signalNumber);

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignal();
    QSocketNotifier* notifier_ = nullptr;
    // Each signal handled, with its action from before.
    std::vector<std::pair<int, struct sigaction>> installed_;
};

} // namespace kova
