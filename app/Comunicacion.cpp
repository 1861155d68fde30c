#include "app/Comunicacion.h"

#include "app/AppContext.h"
#include "app/CommandLine.h"
#include "app/FixedTextBox.h"
#include "app/Principal.h"
#include "editors/EditorWidgets.h"
#include "editors/SpokenName.h"
#include "link/RegisterImages.h"
#include "pages/EqualWidths.h"
#include "pages/PagePlacement.h"
#include "platform/ComPortDevice.h"
#include "platform/EnterPress.h"
#include "platform/Ui.h"
#include "text/NumberText.h"
#include "text/VbNumbers.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kova {

const QString Comunicacion::kStablished = QStringLiteral("Communication Stablished");
const QString Comunicacion::kNotStablished = QStringLiteral("Communication Not Stablished");

namespace {

// The telephone number is kept as a fixed 20-character text.
constexpr int kLargoTelefono = 20;

QString labelled(const char* label, std::int64_t n)
{
    return QString::fromLatin1(label) + QString::fromStdString(signedText(n));
}

QLabel* label(QWidget* parent, const char* name, const char* text)
{
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

// A label that names `control` for a screen reader as it does on screen.
QLabel* caption(QWidget* parent, const char* name, const char* text, QWidget& control)
{
    QLabel* l = label(parent, name, text);
    nameByCaption(*l, control);
    return l;
}

QComboBox* list(QWidget* parent, const char* name, const QStringList& items)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->addItems(items);
    c->setCurrentIndex(-1);
    return c;
}

QGroupBox* frame(QWidget* parent, const char* name, const char* caption)
{
    auto* g = new QGroupBox(QString::fromLatin1(caption), parent);
    g->setObjectName(QString::fromLatin1(name));
    return g;
}

QRadioButton* option(QWidget* parent, const QString& name, const char* text)
{
    auto* r = new QRadioButton(QString::fromLatin1(text), parent);
    r->setObjectName(name);
    return r;
}

QStringList baudItems()
{
    QStringList items;
    for (std::int32_t baud : kVelocidades)
        items << QString::number(baud);
    return items;
}

} // namespace

Comunicacion::Comunicacion(AppState& state, AppContext& context, Principal& principal, QWidget* parent)
    : QDialog(parent), st_(state), ctx_(context), principal_(principal),
      modem_(state, modemPort_, context.MSComm1(),
             [this] { return connecting_ || ctx_.linkLoop().conectando(); })
{
    setObjectName(QStringLiteral("Comunicacion"));
    setWindowTitle(QStringLiteral("COMMUNICATION CONTROL"));
    build();
    TmrStateCom_.setInterval(3000);
    connect(&TmrStateCom_, &QTimer::timeout, this, &Comunicacion::TmrStateCom_Timer);
    ctx_.setOpenCommunication(this);
}

Comunicacion::~Comunicacion() = default;

void Comunicacion::build()
{
    // Computer Settings
    auto* Frame1 = frame(this, "Frame1", "Computer Settings");
    Byte_UnR1_ = new Byte_UnRWidget(Frame1);
    Byte_UnR1_->setObjectName(QStringLiteral("Byte_UnR1"));
    Byte_UnR& addr = Byte_UnR1_->model();
    addr.setTitulo("Slave Address:");
    addr.setMin(1);
    addr.setMax(247);
    addr.setSmallChange(1);
    addr.setPaso(*Decimal4::fromInt(1));
    addr.setFormato("##0");
    addr.setMedida("");
    Combo1_ = list(Frame1, "Combo1", {"COM 1", "COM 2", "COM 3", "COM 4", "COM 5", "COM 6", "COM 7", "COM 8"});
    // Which device each COM number is, on each item and on the whole list.
    QStringList devices;
    for (int i = 0; i < Combo1_->count(); ++i) {
        const QString device = QString::fromStdString(comPortDescription(i + 1));
        Combo1_->setItemData(i, device, Qt::ToolTipRole);
        devices << Combo1_->itemText(i) + QStringLiteral(": ") + device;
    }
    Combo1_->setToolTip(devices.join(QLatin1Char('\n')));
    Combo2_ = list(Frame1, "Combo2", baudItems());
    Combo5_ = list(Frame1, "Combo5", baudItems() + QStringList{"38400", "57600"});
    auto* g1 = new QGridLayout(Frame1);
    g1->addWidget(caption(Frame1, "Label1", "Slave Address:", *Byte_UnR1_), 0, 0);
    g1->addWidget(Byte_UnR1_, 0, 1, Qt::AlignLeft);
    g1->addWidget(caption(Frame1, "Label2", "Communication Port:", *Combo1_), 1, 0);
    g1->addWidget(Combo1_, 1, 1, Qt::AlignLeft);
    g1->addWidget(caption(Frame1, "Label3", "Baud Rate:", *Combo2_), 2, 0);
    g1->addWidget(Combo2_, 2, 1, Qt::AlignLeft);
    g1->addWidget(caption(Frame1, "Label9", "Com 2 Baud Rate:", *Combo5_), 3, 0);
    g1->addWidget(Combo5_, 3, 1, Qt::AlignLeft);
    g1->setColumnStretch(2, 1);
    // The fields are as wide as their widest text, however wide the window.
    auto* settingsWidths = new EqualWidths(this);
    for (QWidget* w : std::initializer_list<QWidget*>{Byte_UnR1_, Combo1_, Combo2_, Combo5_})
        settingsWidths->add(w);
    settingsWidths->watch();

    // Communication Type
    auto* Frame3 = frame(this, "Frame3", "Communication Type");
    auto* group1 = new QButtonGroup(this);
    Option1_[0] = option(Frame3, QStringLiteral("Option1_0"), "");
    Option1_[1] = option(Frame3, QStringLiteral("Option1_1"), "");
    group1->addButton(Option1_[0], 0);
    group1->addButton(Option1_[1], 1);
    // The choice follows the checked button however it got checked: a click,
    // the arrow keys or a screen reader's toggle, which checks without a click.
    connect(group1, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) Option1_Click(id);
    });
    Text1_ = new QLineEdit(Frame3);
    Text1_->setObjectName(QStringLiteral("Text1"));
    cajaDeLargoFijo(*Text1_, kLargoTelefono);
    connect(Text1_, &QLineEdit::textChanged, this, &Comunicacion::Text1_Change);
    auto* Frame5 = frame(Frame3, "Frame5", "Modem String");
    auto* o30 = option(Frame5, QStringLiteral("Option3_0"), "Default String");
    auto* o31 = option(Frame5, QStringLiteral("Option3_1"), "Personal String");
    o30->setChecked(true);
    auto* v5 = new QVBoxLayout(Frame5);
    v5->addWidget(o30);
    v5->addWidget(o31);
    auto optionRow = [](QRadioButton* button, QLabel* text) {
        auto* row = new QHBoxLayout;
        row->addWidget(button);
        row->addWidget(text);
        row->addStretch(1);
        return row;
    };
    auto* g3 = new QGridLayout(Frame3);
    g3->addLayout(optionRow(Option1_[0], caption(Frame3, "Label10", "Modem", *Option1_[0])), 0, 0);
    g3->addLayout(optionRow(Option1_[1], caption(Frame3, "Label11", "RS485/422", *Option1_[1])), 1, 0);
    g3->addWidget(caption(Frame3, "Label12", "Telephone Number", *Text1_), 2, 0);
    g3->addWidget(Text1_, 3, 0, Qt::AlignLeft);
    g3->addWidget(Frame5, 0, 1, 4, 1);

    // Remote Modem Programing
    auto* Frame4 = frame(this, "Frame4", "Remote Modem Programing");
    auto* o20 = option(Frame4, QStringLiteral("Option2_0"), "Default String");
    auto* o21 = option(Frame4, QStringLiteral("Option2_1"), "Personal String");
    o20->setChecked(true);
    Option2_[0] = o20;
    Option2_[1] = o21;
    Combo4_ = list(Frame4, "Combo4", {"COM1", "COM2", "COM3", "COM4"});
    Combo3_ = list(Frame4, "Combo3", baudItems());
    auto* Modem = new QPushButton(QStringLiteral("OK"), Frame4);
    Modem->setObjectName(QStringLiteral("Modem"));
    // Read apart from the window's own "OK", which keeps the settings.
    Modem->setAccessibleName(QStringLiteral("OK, program the modem"));
    pressOnEnter(*Modem);
    connect(Modem, &QPushButton::clicked, this, &Comunicacion::Modem_Click);
    auto* g4 = new QGridLayout(Frame4);
    g4->addWidget(o20, 0, 0);
    g4->addWidget(o21, 1, 0);
    g4->addWidget(caption(Frame4, "Label8", "Modem Location:", *Combo4_), 0, 1);
    g4->addWidget(Combo4_, 0, 2, Qt::AlignLeft);
    g4->addWidget(caption(Frame4, "Label7", "Baud Rate:", *Combo3_), 1, 1);
    g4->addWidget(Combo3_, 1, 2, Qt::AlignLeft);
    g4->addWidget(Modem, 2, 2, Qt::AlignLeft);
    g4->setColumnStretch(3, 1);
    auto* modemWidths = new EqualWidths(this);
    for (QWidget* w : std::initializer_list<QWidget*>{Combo4_, Combo3_, Modem})
        modemWidths->add(w);
    modemWidths->watch();

    // Communication Control
    auto* Frame2 = frame(this, "Frame2", "Communication Control");
    auto* Command1 = new QPushButton(QStringLiteral("ON"), Frame2);
    Command1->setObjectName(QStringLiteral("Command1"));
    pressOnEnter(*Command1);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    auto* Command2 = new QPushButton(QStringLiteral("OFF"), Frame2);
    Command2->setObjectName(QStringLiteral("Command2"));
    pressOnEnter(*Command2);
    connect(Command2, &QPushButton::clicked, this, &Comunicacion::Command2_Click);
    Label6_ = label(Frame2, "Label6", "Label6");
    auto* g2 = new QGridLayout(Frame2);
    g2->addWidget(label(Frame2, "Label5", "Communicate:"), 0, 0);
    g2->addWidget(Command1, 0, 1, Qt::AlignLeft);
    g2->addWidget(Command2, 0, 2, Qt::AlignLeft);
    g2->addWidget(label(Frame2, "Label4", "Status:"), 1, 0);
    g2->addWidget(Label6_, 1, 1, 1, 2);
    g2->setColumnStretch(3, 1);

    Botones_ = new QFrame(this);
    Botones_->setObjectName(QStringLiteral("Botones"));
    auto* Okey = new QPushButton(QStringLiteral("OK"), Botones_);
    Okey->setObjectName(QStringLiteral("Okey"));
    pressOnEnter(*Okey);
    connect(Okey, &QPushButton::clicked, this, &Comunicacion::Okey_Click);
    Cancelar_ = new QPushButton(QStringLiteral("Cancel"), Botones_);
    Cancelar_->setObjectName(QStringLiteral("Cancelar"));
    pressOnEnter(*Cancelar_);
    connect(Cancelar_, &QPushButton::clicked, this, &Comunicacion::Cancelar_Click);
    auto* hb = new QHBoxLayout(Botones_);
    hb->addStretch(1);
    hb->addWidget(Okey);
    hb->addWidget(Cancelar_);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Frame1, 0, 0);
    grid->addWidget(Frame3, 0, 1);
    grid->addWidget(Frame2, 1, 0);
    grid->addWidget(Frame4, 1, 1);
    grid->addWidget(Botones_, 2, 0, 1, 2);
}

QRadioButton* Comunicacion::Option1(int index) const
{
    return index == 0 || index == 1 ? Option1_[index] : nullptr;
}

void Comunicacion::setLabel6(const QString& text) { Label6_->setText(text); }

void Comunicacion::showLinkState()
{
    setLabel6(st_.link.Comunicando ? kStablished : kNotStablished);
}

void Comunicacion::Form_Load()
{
    placeUnderMainWindow(*this, &principal_);
    principal_.setEnabled(false);
    Byte_UnR1_->setText(QString::number(st_.Direccion_Rele));
    Text1_->setText(sinBlancosAlFinal(st_.Telefono));
    Option1_[st_.Modo_Modem ? 0 : 1]->setChecked(true);
    for (int i = 0; i < static_cast<int>(kVelocidades.size()); ++i)
        if (st_.Velocidad == kVelocidades[static_cast<std::size_t>(i)]) Combo2_->setCurrentIndex(i);
    // A port beyond the list leaves it without a choice.
    Combo1_->setCurrentIndex(st_.Puerto_Com >= 1 && st_.Puerto_Com <= 8 ? st_.Puerto_Com - 1 : -1);
    Combo3_->setCurrentIndex(Combo2_->currentIndex());
    Byte_UnR1_->setValue(st_.Direccion_Rele);
    showLinkState();
}

void Comunicacion::settingsFromLists()
{
    if (Combo1_->currentIndex() >= 0) st_.Puerto_Com = static_cast<std::int16_t>(Combo1_->currentIndex() + 1);
    if (Combo2_->currentIndex() >= 0) st_.Velocidad = kVelocidades[static_cast<std::size_t>(Combo2_->currentIndex())];
}

// Panel 3 here has no blank after "COM:" (the main window's load writes one).
void Comunicacion::writePanels()
{
    principal_.setPanel(5, labelled("Address: ", st_.Direccion_Rele));
    principal_.setPanel(4, labelled("Baud Rate: ", st_.Velocidad));
    principal_.setPanel(3, labelled("COM:", st_.Puerto_Com));
}

bool Comunicacion::Command1_Click()
{
    connecting_ = true;
    Botones_->setEnabled(false);
    auto done = [this](bool result) {
        Botones_->setEnabled(true);
        connecting_ = false;
        return result;
    };

    // Asked before anything changes: Cancel, or a save that did not happen,
    // leaves everything as it was, so the setpoints kept are not overwritten
    // by the relay's.
    if (!st_.Modo_Linea_Comandos) {
        MsgAnswer answer = ui().msgBox(QStringLiteral("SetPoints Will be Lost, Do you want to save it?"),
                                       MsgButtons::YesNoCancel, MsgIcon::Critical, kMainCaption);
        if (answer == MsgAnswer::Cancel) return done(false);
        if (answer == MsgAnswer::Yes) {
            Manejo_de_Archivos* files = ctx_.archivos();
            if (!files) return done(false);
            files->Archivo_Guardado = false;
            files->Guardar_Setpoints();
            if (!files->Archivo_Guardado) return done(false);
        }
    }

    st_.Habilita_Reset = true;
    st_.Direccion_Rele = static_cast<std::uint8_t>(Byte_UnR1_->Value());
    settingsFromLists();
    KOVA200& engine = ctx_.DELU();
    engine.setPuerto_PC(st_.Puerto_Com);
    engine.setCadena_Com(integerText(st_.Velocidad));
    engine.setDireccion(st_.Direccion_Rele);

    if (!st_.Modo_Modem) {
        if (!ctx_.linkLoop().Conectar(st_.Puerto_Com, integerText(st_.Velocidad), st_.Direccion_Rele))
            return done(false);
        ctx_.cursorConectando().iniciar();
        TmrStateCom_.start();
    }
    st_.Habilita_Reset = true;
    principal_.setWindowTitle(kMainCaption);
    writePanels();
    return done(!st_.Modo_Modem);
}

void Comunicacion::TmrStateCom_Timer()
{
    if (st_.link.Comunicando && !st_.link.Esperando_Respuesta) {
        principal_.setPanel(6, QStringLiteral("Communicating...."));
        setLabel6(kStablished);
        TmrStateCom_.stop();
    }
}

void Comunicacion::Command2_Click() { ctx_.trabajarSinRele(true); }

void Comunicacion::Okey_Click()
{
    st_.Direccion_Rele = static_cast<std::uint8_t>(Byte_UnR1_->Value());
    processImages().put[46] = st_.Direccion_Rele;
    settingsFromLists();
    writePanels();
    principal_.setEnabled(true);
    TmrStateCom_.stop();
    accept();
}

void Comunicacion::Cancelar_Click()
{
    principal_.setEnabled(true);
    TmrStateCom_.stop();
    QDialog::reject();
}

void Comunicacion::Modem_Click()
{
    if (programming_ || connecting_) return;
    programming_ = true;
    QList<QPushButton*> disabled;
    for (const char* name : {"Command1", "Command2", "Okey", "Cancelar", "Modem"}) {
        auto* b = findChild<QPushButton*>(QString::fromLatin1(name));
        if (b && b->isEnabled()) {
            b->setEnabled(false);
            disabled.append(b);
        }
    }
    modem_.Modem_Click({Option2_[1]->isChecked(), Combo4_->currentIndex(), Combo4_->currentText(),
                        Combo3_->currentIndex()});
    for (QPushButton* b : disabled) b->setEnabled(true);
    programming_ = false;
}

void Comunicacion::reject()
{
    // Escape while a connect or a modem programming runs does nothing:
    // Cancel is not the cancel button then.
    if (connecting_ || programming_) return;
    Cancelar_Click();
}

void Comunicacion::closeEvent(QCloseEvent* event)
{
    if (connecting_ || programming_) {
        event->ignore();
        return;
    }
    principal_.setEnabled(true);
    TmrStateCom_.stop();
    QDialog::closeEvent(event);
}

void Comunicacion::Option1_Click(int index) { st_.Modo_Modem = index == 0; }

void Comunicacion::Text1_Change()
{
    st_.Telefono = QString::fromStdString(ajustado(Text1_->text(), kLargoTelefono));
}

} // namespace kova
