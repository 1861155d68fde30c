#include "pages/EqualWidths.h"

#include <QEvent>
#include <QWidget>

namespace kova {

void EqualWidths::watch()
{
    for (const QPointer<QWidget>& w : members_)
        if (w && w->parentWidget())
            w->parentWidget()->installEventFilter(this);
    apply();
}

void EqualWidths::apply()
{
    int widest = 0;
    for (const QPointer<QWidget>& w : members_)
        if (w)
            widest = qMax(widest, w->sizeHint().width());
    // Setting the same minimum again asks for no new layout.
    for (const QPointer<QWidget>& w : members_)
        if (w)
            w->setMinimumWidth(widest);
}

bool EqualWidths::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::LayoutRequest)
        apply();
    return QObject::eventFilter(watched, e);
}

} // namespace kova
