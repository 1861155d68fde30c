#include "app/Arranque.h"

#include "app/frmSplash.h"
#include "platform/AppFolder.h"
#include "platform/StderrLine.h"
#include "platform/TerminationSignals.h"
#include "platform/Ui.h"
#include "platform/Waits.h"

#include "text/DateText.h"

#include <QCoreApplication>
#include <QLocale>

#include <csignal>

namespace kova {

const QString Arranque::kExpectedCommandLine = QString::fromStdString(expectedCommandLine());

Arranque::Arranque() : Arranque(Options{}) {}

Arranque::Arranque(Options options) : options_(options) {}

Arranque::~Arranque()
{
    if (terminationPending_) resetProgramEnding();
}

// A calling program that gives up must always be able to end the program:
// any open box or modal window closes as by Escape (so the code that opened
// it goes on with its leaving answer), later boxes answer at once, and the
// main window's unload runs: port closed, handshake file 2. A send or STORE
// cut short leaves a line on stderr saying what the relay holds of it; a
// modem programming, what the modem got.
void Arranque::onTerminationSignal(int signalNumber)
{
    if (services_.writeUnderWay) {
        const QString under = services_.writeUnderWay();
        if (!under.isEmpty())
            writeStderrLine(std::string("kova: ended by ") + TerminationSignals::name(signalNumber) + " " +
                            under.toStdString());
    }
    terminationPending_ = true;
    endModalWindows();
    if (principal_ && principal_->isVisible()) principal_->terminateBySignal();
    // Otherwise the start-up is still running: it ends through the unload
    // as soon as the box or wait it is in returns.
}

void Arranque::Main(const QStringList& arguments)
{
    if (options_.catchTerminationSignals) {
        signals_ = std::make_unique<TerminationSignals>();
        connect(signals_.get(), &TerminationSignals::terminationRequested, this,
                &Arranque::onTerminationSignal);
    }

    // The link's CRC and block tables are built at compile time; nothing to fill here.
    // Dates in files and on pages follow the system's short-date order.
    setTextLocale(TextLocale{safeShortDatePattern(
        QLocale::system().dateFormat(QLocale::ShortFormat).toStdString())});
    state_.Ruta_App = programFolder();
    state_.link.Comunicando = false;
    state_.Modo_Modem = false;

    // The shell has already split the line at blanks; join the words back
    // with single blanks.
    commandLine_ = parseCommandLine(arguments.join(QLatin1Char(' ')).toStdString());

    MainWindowServices services = services_;
    auto end = services.endProgram;
    services.endProgram = [this, end] {
        ended_ = true;
        // Every event loop ends, also a modal window's still unwinding.
        if (end) end();
        else QCoreApplication::exit(0);
    };

    if (commandLine_.kind == CommandLine::Kind::Valid) {
        state_.Modo_Linea_Comandos = true;
        state_.Habilita_Reset = true;
        state_.Handshake_Activo = true;
        state_.Velocidad = commandLine_.Velocidad;
        state_.Puerto_Com = commandLine_.Puerto_Com;
        state_.Direccion_Rele = commandLine_.Direccion_Rele;
        principal_ = std::make_unique<Principal>(state_, services);
        principal_->setupMenu()->setVisible(false);
        principal_->aboutMenu()->setVisible(false);
        if (connectAtStart_) connectAtStart_();
    } else {
        if (commandLine_.kind != CommandLine::Kind::Empty) {
            // A calling program named a relay we cannot use: say so, start
            // as without a command line, but still answer the caller.
            const QString line = arguments.join(QLatin1Char(' '));
            writeStderrLine("kova: invalid command line \"" + line.toStdString() + "\"; " +
                            kExpectedCommandLine.toStdString());
            ui().msgBoxDetail(QStringLiteral("Invalid command line"), MsgButtons::OKOnly,
                              MsgIcon::Critical, kAppTitle, kExpectedCommandLine);
            state_.Handshake_Activo = true;
        }
        state_.Modo_Linea_Comandos = false;
        state_.Habilita_Reset = true;
        if (!terminationPending_) {
            splash_ = std::make_unique<frmSplash>();
            splash_->show();
            splash_->repaint();
            // Painted and kept on screen with the event loop running; input
            // is held back until the main window is up. A termination signal
            // ends the wait.
            runEventsFor(options_.splashMs, true, [this] { return terminationPending_; });
        }
        principal_ = std::make_unique<Principal>(state_, services);
        principal_->aboutMenu()->setVisible(true);
    }

    if (splash_) {
        splash_->close();
        splash_.reset();
    }
    if (terminationPending_) {
        principal_->terminateBySignal();
        return;
    }
    principal_->setEnabled(true);
    principal_->show();
    principal_->Form_Activate();
}

} // namespace kova
