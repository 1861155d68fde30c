#include "pages/Aviso_grabacion.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kova {

Aviso_grabacion::Aviso_grabacion(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Aviso_grabacion"));
    setWindowTitle(QStringLiteral("KOVA"));
    setModal(false);
    auto* Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    Label1_ = new QLabel(QStringLiteral("MaskObservar"), this);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Command1_ = new QPushButton(QStringLiteral("Aceptar"), this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    connect(Command1_, &QPushButton::clicked, this, &QDialog::close);

    auto* row = new QHBoxLayout;
    row->addWidget(Picture1, 0, Qt::AlignTop);
    row->addWidget(Label1_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1_);
    buttons->addStretch(1);
    auto* v = new QVBoxLayout(this);
    v->addLayout(row);
    v->addLayout(buttons);
}

} // namespace kova
