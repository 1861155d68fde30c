#include "app/Principal.h"

#include "app/UserControl1.h"
#include "app/frmAbout.h"
#include "editors/KeypadBlock.h"
#include "pages/PageForm.h"
#include "link/ISerialPort.h"
#include "platform/AppFolder.h"
#include "platform/HandshakeFile.h"
#include "platform/StderrLine.h"
#include "platform/Ui.h"
#include "text/NumberText.h"
#include "text/VbNumbers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace kova {

namespace {

QString labelled(const char* label, std::int64_t n)
{
    return QString::fromLatin1(label) + QString::fromStdString(signedText(n));
}

struct MenuItem {
    const char* name;     // control name
    const char* caption;  // caption with its mnemonic
    const char* shortcut; // "" when none
};

} // namespace

class Principal::CommandRun {
public:
    explicit CommandRun(Principal& window) : window_(window), runs_(!window.commandRunning())
    {
        if (!runs_) return;
        window_.commandRunning_ = true;
        window_.busyChanged();
    }
    ~CommandRun()
    {
        if (!runs_) return;
        window_.commandRunning_ = false;
        window_.busyChanged();
    }
    CommandRun(const CommandRun&) = delete;
    CommandRun& operator=(const CommandRun&) = delete;
    explicit operator bool() const { return runs_; }

private:
    Principal& window_;
    const bool runs_;
};

Principal::Principal(AppState& state, MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), st_(state), svc_(std::move(services))
{
    setObjectName(QStringLiteral("Principal"));
    buildMenus();
    buildToolBar();
    buildStatusBar();
    for (QAction* a : commands_) available_.push_back(a->isEnabled());

    // The status panel keeps its design size, centred in the window: its
    // lamps sit at fixed places on its drawing, so it is never stretched.
    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("Area_Panel"));
    auto* layout = new QGridLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    UserControl11_ = new UserControl1(area);
    UserControl11_->setObjectName(QStringLiteral("UserControl11"));
    UserControl11_->setFixedSize(UserControl11_->sizeHint());
    layout->addWidget(UserControl11_, 0, 0, Qt::AlignCenter);
    setCentralWidget(area);
    // The panel at its design size; the status bar needs a little more width.
    resize(sizeHint().expandedTo(QSize(760, 0)));

    // A box open anywhere counts as a command under way.
    connect(&OpenBoxes::instance(), &OpenBoxes::changed, this, &Principal::busyChanged);

    if (svc_.attach) svc_.attach(*this);
    Form_Load();
}

Principal::~Principal() = default;

const std::array<Principal::PageCommand, 9> Principal::kPageCommands = {{
    {"Set_page2", "SETPAGE2"},
    {"MnuPhProtec", "SETPAGE3"},
    {"MnuGndProtec", "SETPAGE13"},
    {"MnuVoltProtec", "SETPAGE14"},
    {"mnuFreqProtec", "SETPAGE15"},
    {"mnuPowerProtec", "SETPAGE16"},
    {"mnuOutputRel", "SETPAGE17"},
    {"mnuInputs", "SETPAGE4"},
    {"mnu_Event", "SETPAGE9"},
}};

const std::array<Principal::PageCommand, 5> Principal::kValueCommands = {{
    {"AV_page1", "AVPAGE1"},
    {"mnuPowerData", "AVPAGE2"},
    {"MnuDemandData", "AVPAGE6"},
    {"AV_page2", "AVPAGE3"},
    {"AV_page3", "AVPAGE5"},
}};

void Principal::buildMenus()
{
    QMenuBar* bar = menuBar();
    auto add = [this](QMenu* menu, const MenuItem& item, bool enabled) {
        QAction* a = menu->addAction(QString::fromLatin1(item.caption));
        a->setObjectName(QString::fromLatin1(item.name));
        if (*item.shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
        a->setEnabled(enabled);
        commands_.push_back(a);
        return a;
    };
    auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    QMenu* archivo = bar->addMenu(QStringLiteral("&File"));
    archivo->setObjectName(QStringLiteral("Archivo"));
    connect(add(archivo, {"Nuevo", "&New", "Ctrl+N"}, true), &QAction::triggered, this,
            &Principal::Nuevo_Click);
    separator(archivo, "sss");
    connect(add(archivo, {"Load_s", "&Load", "Ctrl+L"}, true), &QAction::triggered, this,
            &Principal::Load_s_Click);
    connect(add(archivo, {"Save_s", "&Save", "Ctrl+S"}, true), &QAction::triggered, this,
            &Principal::Save_s_Click);
    connect(add(archivo, {"Send", "Send SetPoints To &Relay", ""}, bool(svc_.sendSetpoints)),
            &QAction::triggered, this, &Principal::Send_Click);
    QMenu* imprimir = archivo->addMenu(QStringLiteral("Print"));
    imprimir->setObjectName(QStringLiteral("Imprimir"));
    imprimir->menuAction()->setObjectName(QStringLiteral("Imprimir"));
    connect(add(imprimir, {"P_Setpoints", "&SetPoints", ""}, bool(svc_.printSetpoints)), &QAction::triggered, this,
            &Principal::P_Setpoints_Click);
    connect(add(imprimir, {"P_Actual", "Actual &Values", ""}, bool(svc_.printActualValues)),
            &QAction::triggered, this, &Principal::P_Actual_Click);
    connect(add(imprimir, {"P_Events", "&Events", ""}, bool(svc_.printEvents)), &QAction::triggered, this,
            &Principal::P_Events_Click);
    separator(archivo, "aaa");
    connect(add(archivo, {"Salida", "&Exit", ""}, true), &QAction::triggered, this,
            &Principal::Salida_Click);

    // A setpoint page command is enabled once its form is in the program;
    // the other pages are shown disabled until they exist.
    QMenu* setPoints = bar->addMenu(QStringLiteral("&SetPoints"));
    setPoints->setObjectName(QStringLiteral("SetPoints"));
    static const MenuItem pages[] = {
        {"Set_page2", "S&ystem Setup", ""},
        {"MnuPhProtec", "&Phase Protections ", ""},
        {"MnuGndProtec", "&Ground Protections", ""},
        {"MnuVoltProtec", "&Voltage Protections", ""},
        {"mnuFreqProtec", "Fre&quency Protections", ""},
        {"mnuPowerProtec", "Power Protections", ""},
        {"mnuOutputRel", "&Output Relays", ""},
        {"mnuInputs", "&Digital Inputs", ""},
        {"mnu_Event", "E&vent Recorder", ""},
        {"mnuDateTime", "&Date and Time System", ""},
    };
    for (const auto& item : pages) {
        QAction* a = add(setPoints, item, false);
        for (const PageCommand& c : kPageCommands)
            if (qstrcmp(c.name, item.name) == 0 && svc_.openSetpointPage && pageFormExists(c.form)) {
                a->setEnabled(true);
                const QString form = QString::fromLatin1(c.form);
                connect(a, &QAction::triggered, this, [this, form] { abrirPagina(form); });
            }
    }
    if (QAction* a = command(QStringLiteral("mnuDateTime")); a && svc_.openClockPage) {
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, &Principal::mnuDateTime_Click);
    }
    separator(setPoints, "sep");
    connect(add(setPoints, {"Reset_Relay", "&Reset Relay", ""}, true), &QAction::triggered, this,
            &Principal::Reset_Relay_Click);

    QMenu* actual = bar->addMenu(QStringLiteral("Actual &Values"));
    actual->setObjectName(QStringLiteral("Actual_Values"));
    static const MenuItem values[] = {
        {"AV_page1", "&Metering Data", ""},
        {"mnuPowerData", "&Power and Energy Data", ""},
        {"MnuDemandData", "&Demand Data", ""},
        {"AV_page2", "Maintenance Data", ""},
        {"AV_page3", "Last &Trip Data", ""},
        {"AV_page4", "&Events", ""},
    };
    for (const auto& item : values) add(actual, item, false);
    // A value page command is enabled once its form is in the program.
    for (const PageCommand& c : kValueCommands) {
        QAction* a = command(QString::fromLatin1(c.name));
        a->setEnabled(svc_.openValuePage && pageFormExists(c.form));
        const QString form = QString::fromLatin1(c.form);
        connect(a, &QAction::triggered, this, [this, form] { openValuePage(form); });
    }
    QAction* events = command(QStringLiteral("AV_page4"));
    events->setEnabled(bool(svc_.openEventsPage));
    connect(events, &QAction::triggered, this, &Principal::AV_page4_Click);

    setup_ = bar->addMenu(QStringLiteral("S&etup"));
    setup_->setObjectName(QStringLiteral("Setup"));
    setup_->menuAction()->setObjectName(QStringLiteral("Setup"));
    connect(add(setup_, {"Comunica", "&Communication", "F5"}, bool(svc_.openCommunication)),
            &QAction::triggered, this, &Principal::Comunica_Click);
    connect(add(setup_, {"RELAY_P", "Relay &Properties", ""}, bool(svc_.openProperties)),
            &QAction::triggered, this, &Principal::RELAY_P_Click);

    about_ = bar->addAction(QStringLiteral("&About"));
    about_->setObjectName(QStringLiteral("About"));
    commands_.push_back(about_);
    connect(about_, &QAction::triggered, this, &Principal::About_Click);
}

void Principal::buildToolBar()
{
    Toolbar1_ = addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1_->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1_->setMovable(false);
    struct Button {
        const char* text;
        QStyle::StandardPixmap icon;
    };
    static const Button buttons[] = {
        {"Open File", QStyle::SP_DialogOpenButton},
        {"Save File", QStyle::SP_DialogSaveButton},
        {"Print File", QStyle::SP_FileDialogDetailedView},
        {"All Actual Values", QStyle::SP_FileDialogContentsView},
        {"Store", QStyle::SP_DriveHDIcon},
        {"Help", QStyle::SP_DialogHelpButton},
    };
    int index = 1;
    for (const auto& b : buttons) {
        QAction* a = Toolbar1_->addAction(style()->standardIcon(b.icon), QString::fromLatin1(b.text));
        a->setObjectName(QStringLiteral("Toolbar1_%1").arg(index));
        commands_.push_back(a);
        connect(a, &QAction::triggered, this, [this, index] { Toolbar1_ButtonClick(index); });
        ++index;
    }
    // Button 4 "All Actual Values" opens the metering page.
    command(QStringLiteral("Toolbar1_4"))->setEnabled(command(QStringLiteral("AV_page1"))->isEnabled());
}

void Principal::buildStatusBar()
{
    QStatusBar* sb = statusBar();
    sb->setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < 6; ++i) {
        panels_[i] = new QLabel(sb);
        panels_[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        sb->addPermanentWidget(panels_[i], i == 5 ? 1 : 0);
    }
    // Design content, replaced by the window's load.
    panels_[2]->setText(QStringLiteral("COM: 4"));
    panels_[4]->setText(QStringLiteral("Address: 255"));
}

void Principal::setPanel(int index, const QString& text)
{
    // Panel 6 is set at every status refresh: drawn again only on a change.
    if (index < 1 || index > 6 || panels_[index - 1]->text() == text) return;
    panels_[index - 1]->setText(text);
    fitStatusBar();
}

void Principal::fitStatusBar()
{
    for (int i = 0; i < 6; ++i)
        panels_[i]->setMinimumWidth(std::max(i < 2 ? 40 : 120, panels_[i]->minimumSizeHint().width()));
    // The main window's own layout keeps only its centre's width; the status
    // bar tells its width once it is shown (it lays its panels out then).
    if (!statusBar()->isVisible()) return;
    const int centre = layout() ? layout()->minimumSize().width() : 0;
    setMinimumWidth(std::max(centre, statusBar()->minimumSizeHint().width()));
}

void Principal::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    fitStatusBar();
}

QString Principal::panelText(int index) const
{
    return index >= 1 && index <= 6 ? panels_[index - 1]->text() : QString();
}

void Principal::ponerEstadoRele(const std::array<std::uint8_t, 11>& banderas)
{
    for (int k = 0; k < UserControl1::Lamparas; ++k)
        UserControl11_->ponerBandera(k, banderas[static_cast<std::size_t>(k)]);
}

void Principal::mostrarEstadoRele() { UserControl11_->Actualizar(); }

void Principal::mostrarFueraDeLinea()
{
    UserControl11_->Desactivar();
    setEnabled(true);
    st_.Habilita_Reset = true;
}

bool Principal::commandRunning() const
{
    return commandRunning_ || st_.Grabando_Setpoints || OpenBoxes::instance().count() > 0 || storeUnderWay();
}

bool Principal::storeUnderWay() const { return svc_.storeUnderWay && svc_.storeUnderWay(); }

void Principal::busyChanged()
{
    heldByStore_ = storeUnderWay();
    const bool busy = heldByStore_ || commandRunning();
    if (busy == busyShown_) return;
    busyShown_ = busy;
    for (std::size_t i = 0; i < commands_.size(); ++i) commands_[i]->setEnabled(available_[i] && !busy);
}

void Principal::storeMayHaveEnded()
{
    // Looked at once the link has finished handling what it told.
    if (heldByStore_) QMetaObject::invokeMethod(this, &Principal::busyChanged, Qt::QueuedConnection);
}

QAction* Principal::setupMenu() const { return setup_->menuAction(); }
QAction* Principal::aboutMenu() const { return about_; }

QAction* Principal::command(const QString& name) const
{
    const auto all = findChildren<QAction*>(name);
    return all.isEmpty() ? nullptr : all.first();
}

int Principal::runModal(QDialog& window)
{
    int result = window.exec();
    Form_Activate();
    return result;
}

void Principal::Form_Load()
{
    st_.link.Comunicando = false;
    st_.Modo_Modem = false;
    if (!st_.Modo_Linea_Comandos) {
        st_.Puerto_Com = 1;
        st_.Direccion_Rele = 1;
        st_.Velocidad = 9600;
        if (svc_.readSetpointFile) svc_.readSetpointFile(st_.defaultSetpointFile());
    }
    st_.Imprimiendo = false;
    keypadBlock().Calc_Tipo = 1;
    if (svc_.setFirmwareRele) svc_.setFirmwareRele(QStringLiteral("1.01"));
    setPanel(5, labelled("Address: ", st_.Direccion_Rele));
    setPanel(4, labelled("Baud Rate: ", st_.Velocidad));
    setPanel(3, labelled("COM: ", st_.Puerto_Com));
    setPanel(6, QStringLiteral("Not Communicating...."));
    setEnabled(true);
    setWindowTitle(kMainCaption);
}

void Principal::Form_Activate()
{
    if (st_.Handshake_Activo && !unloaded_) writeHandshake(handshakeFilePath(), 1);
}

void Principal::Form_Unload()
{
    if (unloaded_) return;
    closePortWithZero();
    if (st_.Handshake_Activo) writeHandshake(handshakeFilePath(), 2);
    unloaded_ = true;
    endProgram();
}

void Principal::closeEvent(QCloseEvent* event)
{
    // In either mode, a close asked while a send, a STORE, a command or a
    // box is under way is refused, as Exit is then: ending part way would
    // leave the relay with part of the writes, untold. A termination signal
    // still ends the program (and says what the relay holds).
    if (!unloaded_ && !closingWithoutQuestion_ && commandRunning()) {
        event->ignore();
        return;
    }
    if (!unloaded_ && !st_.Modo_Linea_Comandos && !closingWithoutQuestion_) {
        if (ui().msgBox(QStringLiteral(" Are You Sure ?"), MsgButtons::YesNo, MsgIcon::Question,
                        kMainCaption) != MsgAnswer::Yes) {
            event->ignore();
            return;
        }
    }
    event->accept();
    Form_Unload();
}

void Principal::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
}

void Principal::closePortWithZero()
{
    if (!MSComm1_) return;
    try {
        if (MSComm1_->portOpen()) {
            MSComm1_->output({0x00});
            MSComm1_->setPortOpen(false);
        }
    } catch (const SerialPortError& e) {
        writeStderrLine(std::string("kova: closing the serial port: ") + e.what());
    }
}

void Principal::endProgram()
{
    if (svc_.endProgram) svc_.endProgram();
    else QCoreApplication::quit();
}

void Principal::terminateBySignal()
{
    closingWithoutQuestion_ = true;
    Form_Unload();
    close();
}

void Principal::Salida_Click()
{
    const CommandRun run(*this);
    if (!run) return;
    if (ui().msgBox(QStringLiteral(" Are You Sure ?"), MsgButtons::YesNo, MsgIcon::Question,
                    kMainCaption) != MsgAnswer::Yes)
        return;
    Form_Unload();
    close();
}

void Principal::Reset_Relay_Click()
{
    const CommandRun run(*this);
    if (!run) return;
    if (!st_.link.Comunicando) {
        ui().msgBox(QStringLiteral("Only Communication Mode "), MsgButtons::OKOnly,
                    MsgIcon::Information, kAppTitle);
    } else if (st_.Habilita_Reset) {
        if (ui().msgBox(QStringLiteral("Are you sure?"), MsgButtons::YesNoDefaultNo, MsgIcon::Question,
                        QStringLiteral("KOVA Reset")) == MsgAnswer::Yes &&
            svc_.queueRequest)
            svc_.queueRequest(0, 11);
    }
    setEnabled(true);
}

void Principal::Nuevo_Click()
{
    const CommandRun run(*this);
    if (!run) return;
    st_.link.Comunicando = false;
    if (svc_.readSetpointFile) svc_.readSetpointFile(st_.defaultSetpointFile());
}

void Principal::Load_s_Click()
{
    const CommandRun run(*this);
    if (!run) return;
    if (svc_.openSetpoints) svc_.openSetpoints();
    if (svc_.setEngineVersion && svc_.firmwareRele) svc_.setEngineVersion(svc_.firmwareRele());
}

void Principal::Save_s_Click()
{
    const CommandRun run(*this);
    if (!run) return;
    if (svc_.engineVersion && svc_.setFirmwareRele) svc_.setFirmwareRele(svc_.engineVersion());
    if (svc_.saveSetpoints) svc_.saveSetpoints();
}

void Principal::About_Click()
{
    const CommandRun run(*this);
    if (!run) return;
    frmAbout about(this);
    runModal(about);
}

void Principal::abrirPagina(const QString& form)
{
    const CommandRun run(*this);
    if (!run) return;
    if (svc_.openSetpointPage) svc_.openSetpointPage(form);
}

void Principal::openValuePage(const QString& form)
{
    const CommandRun run(*this);
    if (run) openValuePageNow(form);
}

void Principal::openValuePageNow(const QString& form)
{
    if (svc_.openValuePage && pageFormExists(form.toStdString())) svc_.openValuePage(form);
}

void Principal::Comunica_Click()
{
    const CommandRun run(*this);
    if (!run) return;
    if (svc_.openCommunication) svc_.openCommunication();
}

void Principal::Send_Click()
{
    const CommandRun run(*this);
    if (!run) return;
    if (svc_.sendSetpoints) svc_.sendSetpoints();
}

void Principal::RELAY_P_Click()
{
    const CommandRun run(*this);
    if (!run) return;
    if (svc_.openProperties) svc_.openProperties();
}

void Principal::mnuDateTime_Click()
{
    const CommandRun run(*this);
    if (!run) return;
    if (svc_.openClockPage) svc_.openClockPage();
}

void Principal::AV_page4_Click()
{
    const CommandRun run(*this);
    if (!run) return;
    if (svc_.openEventsPage) svc_.openEventsPage();
}

void Principal::P_Actual_Click()
{
    const CommandRun run(*this);
    if (!run) return;
    if (svc_.printActualValues) svc_.printActualValues();
}

void Principal::P_Events_Click()
{
    const CommandRun run(*this);
    if (!run) return;
    if (svc_.printEvents) svc_.printEvents();
}

void Principal::P_Setpoints_Click()
{
    const CommandRun run(*this);
    if (!run) return;
    if (svc_.printSetpoints) svc_.printSetpoints();
}

void Principal::Toolbar1_ButtonClick(int index)
{
    const CommandRun run(*this);
    if (!run) return;
    switch (index) {
    case 1:
        if (svc_.openSetpoints) svc_.openSetpoints();
        break;
    case 2:
        if (svc_.saveSetpoints) svc_.saveSetpoints();
        break;
    case 4:
        openValuePageNow(QStringLiteral("AVPAGE1"));
        break;
    default:
        // 3 "Print File", 5 "Store" and 6 "Help" have no action.
        break;
    }
}

} // namespace kova
