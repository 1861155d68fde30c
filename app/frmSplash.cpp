#include "app/frmSplash.h"

#include "app/AppState.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

namespace kova {

namespace {

// Our own logo: a relay front in a blue square.
QPixmap drawLogo()
{
    QPixmap pm(96, 96);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(20, 60, 140));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(4, 4, 88, 88), 12, 12);
    p.setBrush(QColor(230, 230, 230));
    p.drawRect(QRectF(24, 18, 48, 60));
    const QColor lamps[] = {QColor(220, 30, 30), QColor(30, 170, 60), QColor(220, 30, 30)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(lamps[i]);
        p.drawEllipse(QPointF(36, 32 + i * 16), 5, 5);
    }
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(50, 26, 16, 40));
    return pm;
}

QLabel* makeLabel(QWidget* parent, const char* name, const char* text, double pointSize, bool bold)
{
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    l->setFont(f);
    return l;
}

} // namespace

frmSplash::frmSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("KOVA"));
    setAutoFillBackground(true);

    Frame1_ = new QFrame(this);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    Frame1_->setFrameStyle(QFrame::Box | QFrame::Raised);
    Frame1_->installEventFilter(this);

    auto* imgLogo = new QLabel(Frame1_);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(drawLogo());

    auto* grid = new QGridLayout(Frame1_);
    grid->setContentsMargins(24, 18, 24, 18);
    grid->addWidget(makeLabel(Frame1_, "lblCompany", "Velmora", 10, false), 0, 0, 1, 2);
    grid->addWidget(imgLogo, 1, 0, 3, 1);
    grid->addWidget(makeLabel(Frame1_, "lblProductName", "KOVA", 32, true), 1, 1);
    grid->addWidget(makeLabel(Frame1_, "lblPlatform", "For Linux", 14, true), 2, 1);
    lblVersion_ = makeLabel(Frame1_, "lblVersion", "Version 2.0", 12, true);
    grid->addWidget(lblVersion_, 3, 1);
    grid->addWidget(makeLabel(Frame1_, "lblCompanyProduct", "VELMORA", 16, true), 4, 0, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(Frame1_);
    resize(480, 280);
    Form_Load();
}

QLabel* frmSplash::label(const QString& name) const { return findChild<QLabel*>(name); }

void frmSplash::Form_Load()
{
    lblVersion_->setText(QStringLiteral("Version ") + programVersionText());
    if (QScreen* s = screen()) move(s->geometry().center() - rect().center());
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    close();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Frame1_ && event->type() == QEvent::MouseButtonRelease) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kova
