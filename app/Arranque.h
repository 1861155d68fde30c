#pragma once
// Program start-up: reads the command line, shows the splash or enters
// command-line mode, and shows the main window.

#include "app/AppState.h"
#include "app/CommandLine.h"
#include "app/Principal.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

namespace kova {

class frmSplash;
class TerminationSignals;

class Arranque : public QObject {
    Q_OBJECT
public:
    struct Options {
        int splashMs = 3000;
        // Handle SIGTERM, SIGINT and SIGHUP (one start-up per process may do so).
        bool catchTerminationSignals = true;
    };

    // Detail line of "Invalid command line": the form a calling program must use.
    static const QString kExpectedCommandLine;

    Arranque();
    explicit Arranque(Options options);
    ~Arranque() override;

    // Services of the main window (files, engine, queue); set before Main.
    void setServices(MainWindowServices services) { services_ = std::move(services); }
    // The connection window's load and connect, run in command-line mode.
    void setConnectAtStart(std::function<void()> connect) { connectAtStart_ = std::move(connect); }

    // Runs the start-up with the program's arguments (after its name) and
    // returns when the main window is shown (or the program already ended).
    void Main(const QStringList& arguments);

    AppState& state() { return state_; }
    Principal* principal() const { return principal_.get(); }
    const CommandLine& commandLine() const { return commandLine_; }
    // True once the main window's unload has run.
    bool ended() const { return ended_; }

private:
    void onTerminationSignal(int signalNumber);

    Options options_;
    AppState state_;
    CommandLine commandLine_;
    MainWindowServices services_;
    std::function<void()> connectAtStart_;
    std::unique_ptr<Principal> principal_;
    std::unique_ptr<frmSplash> splash_;
    std::unique_ptr<TerminationSignals> signals_;
    bool terminationPending_ = false;
    bool ended_ = false;
};

} // namespace kova
