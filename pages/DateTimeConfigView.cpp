#include "pages/DateTimeConfigView.h"

#include "pages/Aviso_grabacion.h"
#include "pages/PagePlacement.h"
#include "platform/EnterPress.h"
#include "platform/Ui.h"
#include "text/DateText.h"

#include <QCloseEvent>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace kova {

namespace {

// The page is this much lower than the main window.

QLabel* etiqueta(QWidget* parent, const QString& name, const char* text)
{
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->setObjectName(name);
    return l;
}

} // namespace

DateTimeConfigView::DateTimeConfigView(PageHost& host, DateTimeConfig::Empaquetar_Reloj dateTime,
                                       QWidget* mainWindow)
    : QDialog(nullptr),
      model_(host, std::move(dateTime),
             DateTimeConfig::Dialogos{[this] { return confirmar(); }, [this] { mostrarAviso(); },
                                      [this] { done(QDialog::Accepted); }}),
      mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("DateTimeConfig"));
    setWindowTitle(QStringLiteral("SETPOINTS - Date and Time"));
    setWindowModality(Qt::ApplicationModal);
    build();
    Timer1_.setInterval(DateTimeConfig::kIntervaloTimer1);
    connect(&Timer1_, &QTimer::timeout, this, [this] {
        model_.Timer1_Timer();
        mostrar();
    });
}

DateTimeConfigView::~DateTimeConfigView() = default;

void DateTimeConfigView::build()
{
    auto* Frame1 = new QGroupBox(QStringLiteral("Date/Time Configuration"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));

    DateSys_ = new QDateEdit(Frame1);
    DateSys_->setObjectName(QStringLiteral("DateSys"));
    DateSys_->setDateRange(QDate(2000, 1, 1), QDate(2099, 12, 31));
    DateSys_->setDate(QDate(2000, 1, 1));
    // The short-date pattern of the relay's stamps, in the same digits on
    // every machine.
    DateSys_->setLocale(QLocale::c());
    DateSys_->setDisplayFormat(QString::fromStdString(safeShortDatePattern(textLocale().shortDate)));
    TimeSys_ = new QTimeEdit(Frame1);
    TimeSys_->setObjectName(QStringLiteral("TimeSys"));
    TimeSys_->setTimeRange(QTime(0, 0, 0), QTime(23, 59, 59));
    TimeSys_->setLocale(QLocale::c());
    TimeSys_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    TimeSys_->setTime(QTime(0, 0, 0));
    Store_ = new QPushButton(QStringLiteral("STORE"), Frame1);
    Store_->setObjectName(QStringLiteral("Store"));
    pressOnEnter(*Store_);
    connect(Store_, &QPushButton::clicked, this, [this] {
        const QDate d = DateSys_->date();
        const QTime t = TimeSys_->time();
        model_.Store_Click(d.day(), d.month(), d.year(), t.hour(), t.minute(), t.second());
        mostrar();
    });
    lblFecha_ = etiqueta(Frame1, QStringLiteral("lblFecha"), "lblFecha");
    lblHora_ = etiqueta(Frame1, QStringLiteral("lblHora"), "lblHora");

    auto* g = new QGridLayout(Frame1);
    g->addWidget(etiqueta(Frame1, QStringLiteral("Label1"), "Date System:"), 0, 0);
    g->addWidget(DateSys_, 0, 1);
    g->addWidget(etiqueta(Frame1, QStringLiteral("Label2"), "Time System:"), 1, 0);
    g->addWidget(TimeSys_, 1, 1);
    g->addWidget(Store_, 2, 1);
    g->setColumnMinimumWidth(2, 40);
    g->addWidget(etiqueta(Frame1, QStringLiteral("LEtiqueta_7"), "Actual Relay Date:"), 0, 3);
    g->addWidget(lblFecha_, 0, 4);
    g->addWidget(etiqueta(Frame1, QStringLiteral("LEtiqueta_0"), "Actual Relay Time:"), 1, 3);
    g->addWidget(lblHora_, 1, 4);
    g->setColumnStretch(4, 1);
    g->setRowStretch(3, 1);

    Okey_ = new QPushButton(QStringLiteral("OK"), this);
    Okey_->setObjectName(QStringLiteral("Okey"));
    pressOnEnter(*Okey_);
    connect(Okey_, &QPushButton::clicked, this, [this] {
        model_.Okey_Click();
        mostrar();
    });
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(Okey_);
    auto* v = new QVBoxLayout(this);
    v->addWidget(Frame1, 1);
    v->addLayout(bottom);
}

void DateTimeConfigView::place(QWidget* mainWindow)
{
    placeUnderMainWindow(*this, mainWindow);
}

void DateTimeConfigView::Form_Load()
{
    place(mainWindow_);
    model_.Form_Load();
    mostrar();
}

void DateTimeConfigView::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (activada_)
        return;
    activada_ = true;
    model_.Form_Activate();
    mostrar();
}

void DateTimeConfigView::mostrar()
{
    lblFecha_->setText(QString::fromStdString(model_.lblFecha()));
    lblHora_->setText(QString::fromStdString(model_.lblHora()));
    if (!model_.Timer1())
        Timer1_.stop();
    else if (!Timer1_.isActive())
        Timer1_.start();
}

bool DateTimeConfigView::confirmar()
{
    return ui().msgBox(QString::fromStdString(DateTimeConfig::kPregunta), MsgButtons::YesNoDefaultNo,
                       MsgIcon::Information, QString::fromStdString(DateTimeConfig::kTitulo)) == MsgAnswer::Yes;
}

void DateTimeConfigView::mostrarAviso()
{
    if (!aviso_) {
        aviso_ = new Aviso_grabacion(this);
        aviso_->setAttribute(Qt::WA_DeleteOnClose);
    }
    aviso_->setWindowTitle(QString::fromStdString(DateTimeConfig::kTitulo));
    aviso_->Label1()->setText(QString::fromStdString(DateTimeConfig::kAviso));
    aviso_->show();
}

void DateTimeConfigView::reject()
{
    if (!model_.descargada())
        model_.Cerrar();
    mostrar();
}

void DateTimeConfigView::closeEvent(QCloseEvent* e)
{
    if (!model_.descargada())
        model_.Cerrar();
    mostrar();
    e->accept();
}

} // namespace kova
