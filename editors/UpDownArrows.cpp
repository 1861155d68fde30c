#include "editors/UpDownArrows.h"

#include <QToolButton>

namespace kova {

UpDownArrows::UpDownArrows(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this))
{
    up_->setObjectName("up");
    down_->setObjectName("down");
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(up_, &QToolButton::clicked, this, &UpDownArrows::up);
    connect(down_, &QToolButton::clicked, this, &UpDownArrows::down);
}

void UpDownArrows::resizeEvent(QResizeEvent*)
{
    const int h = height();
    const int top = h / 2;
    up_->setGeometry(0, 0, width(), top);
    down_->setGeometry(0, top, width(), h - top);
}

} // namespace kova
