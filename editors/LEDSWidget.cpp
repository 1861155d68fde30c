#include "editors/LEDSWidget.h"

#include "editors/ValueEditorWidget.h"

#include <QApplication>
#include <QPainter>
#include <QRadialGradient>

namespace kova {

LEDSWidget::LEDSWidget(QWidget* parent) : QWidget(parent)
{
    resize(18, 18);  // the pictures' design size
    model_.onTimerChanged = [this] { followTimer(); };
    model_.onPictureChanged = [this] { update(); };
    connect(&timer1_, &QTimer::timeout, this,
            [this] { model_.tick(comunicando ? comunicando() : false); });
    followTimer();
}

LEDSWidget::~LEDSWidget()
{
    model_.onTimerChanged = nullptr;
    model_.onPictureChanged = nullptr;
}

std::vector<std::string> LEDSWidget::loadSettings(const PropertyBag& bag)
{
    auto bad = model_.loadSettings(bag);
    followTimer();
    update();
    return bad;
}

void LEDSWidget::followTimer()
{
    // A Qt timer with interval 0 would fire on every pass of the event loop.
    if (model_.timerRunning())
        timer1_.start(model_.Interval());
    else
        timer1_.stop();
}

QImage LEDSWidget::picture(bool lit) const
{
    QImage img(size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = width(), h = height();
    const qreal d = std::min(w, h) * 0.85;
    const QRectF disc((w - d) / 2 - d * 0.04, (h - d) / 2 - d * 0.04, d, d);
    // Grey shadow at the lower right.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(128, 128, 128));
    p.drawEllipse(disc.translated(d * 0.08, d * 0.08));
    if (lit) {
        QRadialGradient g(disc.center() - QPointF(d * 0.15, d * 0.15), d * 0.6);
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, QColor(255, 255, 128));
        p.setBrush(g);
    } else {
        p.setBrush(Qt::black);
    }
    p.setPen(QPen(Qt::black, std::max<qreal>(1.0, d / 16)));
    p.drawEllipse(disc);
    return img;
}

void LEDSWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), ValueEditorWidget::storedColor(model_.BackColor(), palette()));
    p.drawImage(0, 0, picture(model_.lit()));
}

} // namespace kova
