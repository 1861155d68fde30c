#include "pages/PagePlacement.h"

#include <QScreen>
#include <QWidget>

namespace kova {

void placeUnderMainWindow(QWidget& window, const QWidget* mainWindow, int lowerTwips)
{
    int width = 900, left = 0, top = 0, height = window.sizeHint().height();
    if (mainWindow) {
        if (QScreen* s = mainWindow->screen()) {
            width = s->availableGeometry().width();
            left = s->availableGeometry().left();
        }
        const int lower = qRound(lowerTwips * mainWindow->logicalDpiY() / 1440.0);
        height = qMax(mainWindow->height() - lower, height);
        top = mainWindow->y();
    }
    window.resize(width, height);
    window.move(left, top);
}

} // namespace kova
