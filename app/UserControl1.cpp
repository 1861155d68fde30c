#include "app/UserControl1.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace kova {
namespace {

constexpr int kTwipsPorPulgada = 1440;
constexpr int kAnchoLampara = 225;   // twips
constexpr int kAltoLampara = 210;    // twips
// The front-panel drawing is designed at 462 x 468 pixels (6930 x 7020
// twips) and stretched.
constexpr double kAnchoFondo = 462.0;
constexpr double kAltoFondo = 468.0;
constexpr int kAnchoFondoTwips = 6930;
constexpr int kAltoFondoTwips = 7020;
// The lamp group frames of the drawing: relay status, system status.
constexpr QRectF kGrupos[] = {{44, 158, 160, 92}, {208, 158, 226, 92}};

} // namespace

const std::array<UserControl1::Datos_Lampara, UserControl1::Lamparas>& UserControl1::tabla()
{
    static const std::array<Datos_Lampara, Lamparas> t = {{
        {"Trip", "Trip", 850, 2620, 210, false},
        {"AUX1", "Aux. 1", 850, 3083, 210, false},
        {"AUX2", "Aux. 2", 850, 3530, 225, false},
        {"AUX3", "Aux. 3", 1930, 2640, 210, false},
        {"OutOfService", "Out of Service", 1930, 3083, 210, true},
        {"BreakerOpen", "Breaker Open", 3180, 2630, 210, false},
        {"BreakerClosed", "Breaker Closed", 3180, 3083, 210, false},
        {"BreakerEarthed", "Breaker Earthed", 3180, 3530, 210, false},
        {"AutoRecloseEnable", "Auto-Reclose Enabled", 4430, 2630, 225, false},
        {"AutoRecloseInProgress", "Auto-Reclose in Progress", 4430, 3083, 210, false},
        {"Lockout", "Lockout", 4430, 3530, 225, false},
    }};
    return t;
}

UserControl1::UserControl1(QWidget* padre)
    : QWidget(padre)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool UserControl1::Actualizar()
{
    std::array<bool, Lamparas> nuevas{};
    for (int i = 0; i < Lamparas; ++i)
        nuevas[i] = banderas_[i] != 0;
    mostrar(nuevas);
    return false;
}

bool UserControl1::Desactivar()
{
    mostrar({});
    return false;
}

void UserControl1::mostrar(const std::array<bool, Lamparas>& lamparas)
{
    // The status refresh runs twice a second whether or not anything
    // changed: the panel is drawn again only when a lamp does.
    if (lamparas == encendidas_)
        return;
    encendidas_ = lamparas;
    update();
}

int UserControl1::px(int twips, bool horizontal) const
{
    const int dpi = horizontal ? logicalDpiX() : logicalDpiY();
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPorPulgada));
}

QRect UserControl1::rectanguloLampara(int lampara) const
{
    const Datos_Lampara& d = tabla().at(lampara);
    const int alto = encendidas_.at(lampara) ? d.alto_encendida : kAltoLampara;
    return QRect(px(d.izquierda, true), px(d.arriba, false), px(kAnchoLampara, true),
                 px(alto, false));
}

QSize UserControl1::sizeHint() const
{
    return QSize(px(kAnchoFondoTwips, true), px(kAltoFondoTwips, false));
}

QRectF UserControl1::enPanel(const QRectF& enDibujo) const
{
    const double sx = width() / kAnchoFondo, sy = height() / kAltoFondo;
    return QRectF(enDibujo.x() * sx, enDibujo.y() * sy, enDibujo.width() * sx, enDibujo.height() * sy);
}

QRect UserControl1::rectanguloGrupo(int grupo) const
{
    return enPanel(kGrupos[grupo == G_Rele ? 0 : 1]).toRect();
}

void UserControl1::dibujarFondo(QPainter& p) const
{
    p.save();
    p.scale(width() / kAnchoFondo, height() / kAltoFondo);

    // Case and front plate.
    p.fillRect(QRectF(0, 0, kAnchoFondo, kAltoFondo), QColor(70, 74, 80));
    p.setPen(QPen(QColor(40, 42, 46), 2));
    p.setBrush(QColor(196, 200, 204));
    p.drawRoundedRect(QRectF(8, 8, kAnchoFondo - 16, kAltoFondo - 16), 10, 10);

    // Name plate and display window.
    p.setPen(QColor(30, 60, 120));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(18);
    p.setFont(f);
    p.drawText(QRectF(24, 18, 200, 28), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("KOVA"));
    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.setBrush(QColor(120, 150, 110));
    p.drawRect(QRectF(40, 56, 382, 86));

    // The two lamp groups: relay status and system status.
    f.setPixelSize(10);
    p.setFont(f);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(90, 94, 100), 1));
    for (const QRectF& g : kGrupos)
        p.drawRoundedRect(g, 4, 4);
    p.setPen(QColor(30, 30, 30));
    p.drawText(QRectF(kGrupos[0].topLeft(), QSizeF(kGrupos[0].width(), 14)), Qt::AlignCenter,
               QStringLiteral("RELAY STATUS"));
    p.drawText(QRectF(kGrupos[1].topLeft(), QSizeF(kGrupos[1].width(), 14)), Qt::AlignCenter,
               QStringLiteral("SYSTEM STATUS"));

    // Keypad.
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(150, 154, 160));
    for (int fila = 0; fila < 4; ++fila)
        for (int col = 0; col < 6; ++col)
            p.drawRoundedRect(QRectF(70 + col * 56, 280 + fila * 42, 44, 30), 4, 4);
    p.restore();
}

void UserControl1::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    dibujarFondo(p);

    QFont f = p.font();
    f.setPixelSize(8);
    p.setFont(f);
    for (int i = 0; i < Lamparas; ++i) {
        const QRectF r = rectanguloLampara(i);
        const QRectF disco = r.adjusted(1, 1, -1, -1);
        if (encendidas_[i]) {
            const QColor color = tabla()[i].verde ? QColor(40, 200, 60) : QColor(230, 30, 30);
            p.setPen(QPen(color.darker(160), 1));
            p.setBrush(color);
        } else {
            p.setPen(QPen(QColor(220, 220, 220), 2));
            p.setBrush(QColor(45, 45, 45));
        }
        p.drawEllipse(disco);
        p.setPen(QColor(20, 20, 20));
        // The label fills the room up to the next lamp column and inside its
        // group's frame, on two lines if need be.
        double siguiente = rectanguloGrupo(grupo(i)).right() - 2;
        for (const Datos_Lampara& otra : tabla())
            if (otra.izquierda > tabla()[i].izquierda)
                siguiente = std::min(siguiente, static_cast<double>(px(otra.izquierda, true)));
        const double x = r.right() + 4;
        p.drawText(QRectF(x, r.center().y() - 11, siguiente - x - 3, 22),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                   QString::fromLatin1(tabla()[i].etiqueta));
    }
}

} // namespace kova
