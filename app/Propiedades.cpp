#include "app/Propiedades.h"

#include "app/Cp1252Validator.h"
#include "app/FixedTextBox.h"
#include "app/Manejo_de_Archivos.h"
#include "editors/SpokenName.h"
#include "pages/PagePlacement.h"
#include "platform/EnterPress.h"
#include "platform/HeldText.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kova {

namespace {

// Programmer and relay name are fixed 20-character texts in the files.
constexpr int kLargoNombre = 20;

QLineEdit* campo(QWidget* parent, const char* name)
{
    auto* t = new QLineEdit(parent);
    t->setObjectName(QString::fromLatin1(name));
    return t;
}

// A box for a text the setpoint file keeps: it takes only characters the
// file can store, and at most `largo` of them when given (and is wide
// enough to show them).
QLineEdit* campoDeArchivo(QWidget* parent, const char* name, int largo = 0)
{
    QLineEdit* t = campo(parent, name);
    t->setValidator(new Cp1252Validator(t));
    keepHeldText(*t);
    if (largo > 0)
        cajaDeLargoFijo(*t, largo);
    return t;
}

// The caption of `box`, which names it for a screen reader too.
QLabel* etiqueta(QWidget* parent, const char* name, const char* text, QLineEdit& box)
{
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    nameByCaption(*l, box);
    return l;
}

} // namespace

Propiedades::Propiedades(Manejo_de_Archivos& archivos, QWidget& principal, QWidget* parent)
    : QDialog(parent), archivos_(archivos), principal_(principal)
{
    setObjectName(QStringLiteral("Propiedades"));
    setWindowTitle(QStringLiteral("Properties"));

    auto* Frame2 = new QGroupBox(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Text1_ = campoDeArchivo(Frame2, "Text1", kLargoNombre);
    Text2_ = campoDeArchivo(Frame2, "Text2", kLargoNombre);
    Text3_ = campoDeArchivo(Frame2, "Text3");
    // The firmware text is only shown: nothing typed there would be kept.
    Text5_ = campo(Frame2, "Text5");
    Text5_->setReadOnly(true);
    keepHeldText(*Text5_, [this] { return sinBlancosAlFinal(archivos_.Firmware_Rele); });
    auto* g = new QGridLayout(Frame2);
    g->addWidget(etiqueta(Frame2, "Label5", "Programer:", *Text1_), 0, 0);
    g->addWidget(Text1_, 0, 1);
    g->addWidget(etiqueta(Frame2, "Label7", "Relay's Name:", *Text2_), 1, 0);
    g->addWidget(Text2_, 1, 1);
    g->addWidget(etiqueta(Frame2, "Label6", "Observations:", *Text3_), 2, 0);
    g->addWidget(Text3_, 2, 1);
    g->addWidget(etiqueta(Frame2, "Label1", "Relay Firmware:", *Text5_), 3, 0);
    g->addWidget(Text5_, 3, 1);
    g->setRowStretch(4, 1);

    auto* Okey = new QPushButton(QStringLiteral("OK"), this);
    Okey->setObjectName(QStringLiteral("Okey"));
    pressOnEnter(*Okey);
    connect(Okey, &QPushButton::clicked, this, &Propiedades::Okey_Click);
    // Escape is the dialog's reject: the same as Cancel.
    auto* Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Cancel->setObjectName(QStringLiteral("Cancel"));
    pressOnEnter(*Cancel);
    connect(Cancel, &QPushButton::clicked, this, &Propiedades::Cancel_Click);
    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(Okey);
    botones->addWidget(Cancel);

    auto* v = new QVBoxLayout(this);
    v->addWidget(Frame2, 1);
    v->addLayout(botones);
}

Propiedades::~Propiedades() = default;

void Propiedades::Form_Load()
{
    placeUnderMainWindow(*this, &principal_);
    principal_.setEnabled(false);
    Text2_->setText(sinBlancosAlFinal(archivos_.Nombre_Rele));
    Text1_->setText(sinBlancosAlFinal(archivos_.Programador));
    Text3_->setText(sinBlancosAlFinal(archivos_.Observaciones));
    Text5_->setText(sinBlancosAlFinal(archivos_.Firmware_Rele));
}

void Propiedades::Okey_Click()
{
    principal_.setEnabled(true);
    archivos_.Programador = ajustado(Text1_->text(), kLargoNombre);
    archivos_.Observaciones = Text3_->text().toStdString();
    archivos_.Nombre_Rele = ajustado(Text2_->text(), kLargoNombre);
    accept();
}

void Propiedades::Cancel_Click() { reject(); }

void Propiedades::done(int result)
{
    QDialog::done(result);
    principal_.setEnabled(true);
}

} // namespace kova
