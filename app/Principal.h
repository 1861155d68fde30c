#pragma once
// The program's main window: menus, tool bar, status panels, the exit
// question, the file commands, Reset Relay and the handshake file of a
// calling program.

#include "app/AppState.h"

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QToolBar;

namespace kova {

class ISerialPort;
class Principal;
class UserControl1;

// What the main window calls outside itself. Each member may be empty while
// its service is not wired; the command then does only its own part.
struct MainWindowServices {
    // Setpoint files: read one file by path; the open and save dialogs with
    // their reads and writes.
    std::function<void(const QString& path)> readSetpointFile;
    std::function<void()> openSetpoints;
    std::function<void()> saveSetpoints;
    // Firmware text of the setpoint data (Firmware_Rele).
    std::function<QString()> firmwareRele;
    std::function<void(const QString&)> setFirmwareRele;
    // The link engine's firmware version text.
    std::function<QString()> engineVersion;
    std::function<void(const QString&)> setEngineVersion;
    // Shows the connection window modally; the command is disabled without it.
    std::function<void()> openCommunication;
    // Opens a value page by its form name ("AVPAGE1") and returns when it
    // has closed; the Actual Values page commands are disabled without it.
    std::function<void(const QString& form)> openValuePage;
    // Sends a setpoint file to a relay; the command is disabled without it.
    std::function<void()> sendSetpoints;
    // Shows the relay properties window modally; disabled without it.
    std::function<void()> openProperties;
    // Shows the clock page modally; disabled without it.
    std::function<void()> openClockPage;
    // Shows the events page modally; the command is disabled without it.
    std::function<void()> openEventsPage;
    // Queues a request code on a request queue (0 one-shot, 1 page reads, 3 cyclic).
    std::function<void(int queue, int code)> queueRequest;
    // Opens a setpoint page by its form name and returns when it has closed;
    // the page commands are disabled without it.
    std::function<void(const QString& form)> openSetpointPage;
    // File > Print: the actual values, the events and the setpoints; each
    // entry is disabled without its command.
    std::function<void()> printActualValues;
    std::function<void()> printEvents;
    std::function<void()> printSetpoints;
    // Called once the window exists, before its load runs, so services can
    // reach its panels and caption.
    std::function<void(Principal&)> attach;
    // Ends the program (the event loop); QCoreApplication::quit when empty.
    std::function<void()> endProgram;
    // While a setpoint send, a STORE or a modem programming runs: what runs
    // and what the relay (or the modem) now holds of it ("while sending
    // setpoints to the relay: The relay confirmed ..."); empty otherwise. Told on stderr when a termination
    // signal ends the program.
    std::function<QString()> writeUnderWay;
    // A STORE of setpoints or of the clock is under way: its writes wait or
    // run (also after its page has closed).
    std::function<bool()> storeUnderWay;
};

class Principal : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs its load (defaults, Default.KOVA2 outside
    // command-line mode, panels, caption).
    Principal(AppState& state, MainWindowServices services, QWidget* parent = nullptr);
    ~Principal() override;

    // The serial port of the link (not owned); may stay null.
    void setSerialPort(ISerialPort* port) { MSComm1_ = port; }
    ISerialPort* serialPort() const { return MSComm1_; }

    // Status bar panel 1..6. Each panel is at least as wide as its text and
    // the window never narrower than its status bar, so no text is cut.
    void setPanel(int index, const QString& text);
    QString panelText(int index) const;

    // The relay status panel.
    UserControl1* UserControl11() const { return UserControl11_; }

    // The link's status refresh: the relay's eleven status flags into the
    // status panel's properties (panel order), the panel's redraw, and the
    // link found offline (every lamp off, window enabled, reset allowed).
    void ponerEstadoRele(const std::array<std::uint8_t, 11>& banderas);
    void mostrarEstadoRele();
    void mostrarFueraDeLinea();

    // Top menus hidden in command-line mode.
    QAction* setupMenu() const;
    QAction* aboutMenu() const;
    // A menu command or tool-bar button by its control name ("Nuevo", "Load_s", ...).
    QAction* command(const QString& name) const;

    // Shows a window opened from this one modally; when it closes, the main
    // window counts as activated again.
    int runModal(QDialog& window);

    // The window's handlers, callable as the menus and buttons call them.
    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    void Nuevo_Click();
    void Load_s_Click();
    void Save_s_Click();
    void Salida_Click();
    void Reset_Relay_Click();
    void About_Click();
    void Comunica_Click();
    void Send_Click();
    void RELAY_P_Click();
    void mnuDateTime_Click();
    void AV_page4_Click();
    void P_Actual_Click();
    void P_Events_Click();
    void P_Setpoints_Click();
    void Toolbar1_ButtonClick(int index);
    // An Actual Values command that opens a value page (e.g. AV_page1_Click).
    void openValuePage(const QString& form);
    // A SetPoints menu command that opens a setpoint page (e.g. Set_page2_Click).
    void abrirPagina(const QString& form);

    // The SetPoints menu commands that open setpoint pages, by control name,
    // and the form each one opens.
    struct PageCommand {
        const char* name;
        const char* form;
    };
    static const std::array<PageCommand, 9> kPageCommands;
    // The Actual Values commands that open value pages.
    static const std::array<PageCommand, 5> kValueCommands;

    // SIGTERM/SIGINT/SIGHUP: the unload path without the exit question.
    void terminateBySignal();

    bool unloaded() const { return unloaded_; }

    // True while a command of the window runs: its page or window is open,
    // its print, file dialog or box is under way. Meanwhile every command
    // handler returns at once, however it is reached (menu, tool bar,
    // shortcut, an accessibility action or a direct call), so that no second
    // page opens over the first, and the close box is refused. A box raised
    // outside any command (the link lost while idle, the end of a send)
    // counts as one while it is open. A send of a setpoint file, and a STORE
    // whose writes wait or run (also after its page closed), count as
    // running until they end: no command may load, save or print over them.
    bool commandRunning() const;
    // Told wherever work starts or ends (a command, a box, a send): every
    // command action and tool-bar button is disabled while commandRunning(),
    // and enabled again, if it can run at all, once it is over.
    void busyChanged();
    // Told by the link at the end of each request, of the link and of a
    // STORE: while a STORE holds the commands (it goes on after its page
    // closed), the hold is looked at again once the link has handled it.
    // Nothing is looked at while no STORE holds them.
    void storeMayHaveEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool storeUnderWay() const;
    // Marks a command as running for its lifetime; false (and nothing
    // marked) when another one already runs.
    class CommandRun;
    void openValuePageNow(const QString& form);

    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void fitStatusBar();
    // Writes one byte 0 to an open port and closes it.
    void closePortWithZero();
    void endProgram();

    AppState& st_;
    MainWindowServices svc_;
    ISerialPort* MSComm1_ = nullptr;
    QLabel* panels_[6] = {};
    QMenu* setup_ = nullptr;
    QAction* about_ = nullptr;
    QToolBar* Toolbar1_ = nullptr;
    UserControl1* UserControl11_ = nullptr;
    bool unloaded_ = false;
    bool closingWithoutQuestion_ = false;
    // Every menu command and tool-bar button, and whether each can run at
    // all (its service and form exist), as the menus were built.
    std::vector<QAction*> commands_;
    std::vector<bool> available_;
    bool commandRunning_ = false;
    // The commands are shown disabled; a STORE was under way when last told.
    bool busyShown_ = false;
    bool heldByStore_ = false;
};

} // namespace kova
