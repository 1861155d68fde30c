#include "SelectionOutline.h"

#include "pages/SetpointPageView.h"

#include <QFontMetrics>
#include <QPainter>

namespace kova {

SelectionOutline::SelectionOutline(SetpointPageView* view) : QWidget(view), view_(view)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(view->size());
    raise();
}

QFont SelectionOutline::labelFont() const
{
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    return small;
}

std::vector<SelectionOutline::Tag> SelectionOutline::tags() const
{
    std::vector<Tag> out;
    if (!labels)
        return out;
    const QFontMetrics fm(labelFont());
    constexpr int kPad = 2;
    for (auto& [name, text] : labels()) {
        QWidget* w = view_->widget(name);
        if (!w || !w->isVisible())
            continue;
        const QRect r(w->mapTo(view_, QPoint(0, 0)), w->size());
        // Inside the control: cut short when the control is narrower.
        const QString shown = fm.elidedText(text, Qt::ElideRight, qMax(0, r.width() - 2 - 2 * kPad));
        QRect box(0, 0, qMin(fm.horizontalAdvance(shown) + 2 * kPad, r.width() - 2), fm.height());
        box.moveTopLeft(r.topLeft() + QPoint(1, (r.height() - box.height()) / 2));
        out.push_back({name, box, shown, text});
    }
    return out;
}

QString SelectionOutline::cutLabelAt(const QPoint& viewPos) const
{
    for (const Tag& t : tags()) {
        QWidget* w = view_->widget(t.control);
        if (t.shown != t.full && QRect(w->mapTo(view_, QPoint(0, 0)), w->size()).contains(viewPos))
            return t.full;
    }
    return {};
}

void SelectionOutline::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(labelFont());
    for (const Tag& t : tags()) {
        p.fillRect(t.box, QColor(255, 255, 200, 235));
        p.setPen(Qt::darkBlue);
        p.drawText(t.box, Qt::AlignCenter, t.shown);
    }
    p.setPen(QPen(Qt::blue, 2, Qt::DashLine));
    for (const std::string& n : names)
        if (QWidget* w = view_->widget(n))
            p.drawRect(QRect(w->mapTo(view_, QPoint(0, 0)), w->size()).adjusted(-2, -2, 1, 1));
}

} // namespace kova
