#include "app/CursorConectando.h"

#include <QApplication>

namespace kova {

CursorConectando::CursorConectando(std::function<bool()> conectando, QObject* parent)
    : QObject(parent), conectando_(std::move(conectando))
{
    vigilancia_.setInterval(50);
    connect(&vigilancia_, &QTimer::timeout, this, &CursorConectando::revisar);
}

CursorConectando::~CursorConectando() { terminar(); }

void CursorConectando::iniciar()
{
    if (!conectando_ || !conectando_()) return;
    if (!activo_) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        activo_ = true;
    }
    vigilancia_.start();
}

void CursorConectando::revisar()
{
    if (activo_ && !(conectando_ && conectando_())) terminar();
}

void CursorConectando::terminar()
{
    vigilancia_.stop();
    if (!activo_) return;
    activo_ = false;
    QApplication::restoreOverrideCursor();
}

} // namespace kova
