#include "editors/CalculadoraWindow.h"

#include "platform/EnterPress.h"
#include "platform/HeldText.h"
#include "platform/Ui.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kova {

CalculadoraWindow::CalculadoraWindow(KeypadBlock& block, QWidget* parent)
    : QDialog(parent), model_(block)
{
    setObjectName("Calculadora");
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(QApplication::applicationDisplayName());

    titulo_ = new QLabel(this);
    titulo_->setObjectName("Titulo");
    viejo_ = new QLabel(this);
    viejo_->setObjectName("Viejo");
    rango_ = new QLabel(this);
    rango_->setObjectName("Rango");
    incremento_ = new QLabel(this);
    incremento_->setObjectName("Incremento");
    incrementoB_ = new QLabel(this);
    incrementoB_->setObjectName("Incremento_b");
    incrementoC_ = new QLabel(this);
    incrementoC_->setObjectName("Incremento_c");

    frame1_ = new QGroupBox(this);
    frame1_->setObjectName("Frame1");
    auto* info = new QGridLayout(frame1_);
    info->addWidget(new QLabel("Old Value:", frame1_), 0, 0);
    info->addWidget(viejo_, 0, 1);
    info->addWidget(new QLabel("Range:", frame1_), 1, 0);
    info->addWidget(rango_, 1, 1);
    info->addWidget(new QLabel("Increment:", frame1_), 2, 0, 1, 2);
    info->addWidget(incremento_, 3, 0, 1, 2);
    info->addWidget(incrementoB_, 4, 0, 1, 2);
    info->addWidget(incrementoC_, 5, 0, 1, 2);

    pantalla_ = new QLineEdit(this);
    pantalla_->setObjectName("Pantalla");
    pantalla_->setReadOnly(true);
    keepHeldText(*pantalla_, [this] { return QString::fromStdString(model_.Pantalla()); });
    // Typed keys go to the window, which clicks the buttons.
    pantalla_->setFocusPolicy(Qt::NoFocus);
    pantalla_->setAlignment(Qt::AlignRight);

    auto* keys = new QGridLayout;
    for (int i = 0; i < 10; ++i) {
        auto* b = new QPushButton(QString::number(i), this);
        b->setObjectName(QString("Numeros%1").arg(i));
        b->setAutoDefault(false);
        numeros_[static_cast<size_t>(i)] = b;
        connect(b, &QPushButton::clicked, this, [this, i] {
            model_.Numeros_Click(i);
            refresh();
        });
        if (i > 0)
            keys->addWidget(b, 2 - (i - 1) / 3, (i - 1) % 3);
    }
    point_ = new QPushButton(".", this);
    point_->setObjectName("Command2");
    ce_ = new QPushButton("CE", this);
    ce_->setObjectName("Command1");
    keys->addWidget(numeros_[0], 3, 0);
    keys->addWidget(point_, 3, 1);
    keys->addWidget(ce_, 3, 2);
    for (QPushButton* b : {point_, ce_})
        b->setAutoDefault(false);
    connect(point_, &QPushButton::clicked, this, [this] {
        model_.Command2_Click();
        refresh();
    });
    connect(ce_, &QPushButton::clicked, this, [this] {
        model_.Command1_Click();
        refresh();
    });

    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("OK");
    ok_->setAutoDefault(false);
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("Cancel");
    cancel_->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &CalculadoraWindow::OK_Click);
    connect(cancel_, &QPushButton::clicked, this, &CalculadoraWindow::reject);
    // Enter on the focused Cancel or CE presses that button, as in every
    // other window; anywhere else it reaches the window, which means OK.
    pressOnEnter(*cancel_);
    pressOnEnter(*ce_);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addStretch();

    auto* pad = new QHBoxLayout;
    pad->addLayout(keys);
    pad->addLayout(buttons);

    auto* top = new QVBoxLayout(this);
    // As large as its contents and no larger: it cannot be maximised and
    // its buttons keep their size (the increments shown change the height).
    top->setSizeConstraint(QLayout::SetFixedSize);
    top->addWidget(titulo_);
    top->addWidget(frame1_);
    top->addWidget(pantalla_);
    top->addLayout(pad);

    Form_Load();
}

void CalculadoraWindow::Form_Load()
{
    const Calculadora::Labels l = model_.Form_Load();
    titulo_->setText(QString::fromStdString(l.Titulo));
    viejo_->setText(QString::fromStdString(l.Viejo));
    rango_->setText(QString::fromStdString(l.Rango));
    incremento_->setText(QString::fromStdString(l.Incremento));
    incrementoB_->setText(QString::fromStdString(l.Incremento_b));
    incrementoC_->setText(QString::fromStdString(l.Incremento_c));
    incrementoB_->setVisible(l.Incremento_b_visible);
    incrementoC_->setVisible(l.Incremento_c_visible);
    refresh();
}

void CalculadoraWindow::refresh()
{
    pantalla_->setText(QString::fromStdString(model_.Pantalla()));
}

void CalculadoraWindow::OK_Click()
{
    switch (model_.OK_Click()) {
    case Calculadora::OkResult::Ignored:
        return;
    case Calculadora::OkResult::OutOfRange:
        showMessage(QStringLiteral("Out of Range"));
        return;
    case Calculadora::OkResult::IncorrectRange:
        showMessage(QStringLiteral("Incorrect Range"));
        return;
    case Calculadora::OkResult::Accepted:
        done_ = true;
        accept();
        return;
    }
}

void CalculadoraWindow::showMessage(const QString& text)
{
    ui().msgBox(text, MsgButtons::OKOnly, MsgIcon::None, QApplication::applicationDisplayName());
}

void CalculadoraWindow::reject()
{
    if (!done_) {
        model_.Cancel_Click();
        done_ = true;
    }
    QDialog::reject();
}

void CalculadoraWindow::closeEvent(QCloseEvent* e)
{
    if (!done_) {
        model_.Cancel_Click();
        done_ = true;
    }
    QDialog::closeEvent(e);
}

QPushButton* CalculadoraWindow::buttonForKey(const QKeyEvent& e) const
{
    switch (e.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return ok_;
    case Qt::Key_Escape: return cancel_;
    case Qt::Key_Backspace: return ce_; // null on a keypad without CE: nothing
    case Qt::Key_Period:
    case Qt::Key_Comma: return point_;
    default: break;
    }
    if (e.key() >= Qt::Key_0 && e.key() <= Qt::Key_9)
        return numeros_[static_cast<size_t>(e.key() - Qt::Key_0)];
    return nullptr;
}

void CalculadoraWindow::keyPressEvent(QKeyEvent* e)
{
    // Shortcut keys with Ctrl or Alt keep their meaning elsewhere.
    if (!(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        if (QPushButton* b = buttonForKey(*e)) {
            if (b->isEnabled()) b->click();
            e->accept();
            return;
        }
        if (e->key() == Qt::Key_Backspace) {
            e->accept();
            return;
        }
    }
    QDialog::keyPressEvent(e);
}

void CalculadoraWindow::run(QWidget* parent)
{
    CalculadoraWindow w(keypadBlock(), parent ? parent->window() : nullptr);
    w.exec();
}

} // namespace kova
