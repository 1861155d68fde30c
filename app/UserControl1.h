#pragma once

// Relay status panel: eleven lamps over a drawing of the relay's front
// panel. Setting a flag only stores it; Actualizar draws the stored flags
// (any non-zero value lights the lamp) and Desactivar draws every lamp off;
// either draws only when a lamp changes.

#include <QWidget>

#include <array>
#include <cstdint>

namespace kova {

class UserControl1 : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Trip READ Trip WRITE setTrip)
    Q_PROPERTY(int AUX1 READ AUX1 WRITE setAUX1)
    Q_PROPERTY(int AUX2 READ AUX2 WRITE setAUX2)
    Q_PROPERTY(int AUX3 READ AUX3 WRITE setAUX3)
    Q_PROPERTY(int OutOfService READ OutOfService WRITE setOutOfService)
    Q_PROPERTY(int BreakerOpen READ BreakerOpen WRITE setBreakerOpen)
    Q_PROPERTY(int BreakerClosed READ BreakerClosed WRITE setBreakerClosed)
    Q_PROPERTY(int BreakerEarthed READ BreakerEarthed WRITE setBreakerEarthed)
    Q_PROPERTY(int AutoRecloseEnable READ AutoRecloseEnable WRITE setAutoRecloseEnable)
    Q_PROPERTY(int AutoRecloseInProgress READ AutoRecloseInProgress WRITE setAutoRecloseInProgress)
    Q_PROPERTY(int Lockout READ Lockout WRITE setLockout)

public:
    // Lamps in the order of the relay's status flags (decoded positions 1..11).
    enum Lampara {
        L_Trip, L_AUX1, L_AUX2, L_AUX3, L_OutOfService, L_BreakerOpen, L_BreakerClosed,
        L_BreakerEarthed, L_AutoRecloseEnable, L_AutoRecloseInProgress, L_Lockout
    };
    static constexpr int Lamparas = 11;

    struct Datos_Lampara
    {
        const char* propiedad;
        const char* etiqueta;
        int izquierda;  // twips
        int arriba;     // twips
        int alto_encendida; // twips; the lamp is 225 twips wide, 210 high when off
        bool verde;
    };
    static const std::array<Datos_Lampara, Lamparas>& tabla();

    explicit UserControl1(QWidget* padre = nullptr);

    std::uint8_t bandera(int lampara) const { return banderas_.at(lampara); }
    void ponerBandera(int lampara, std::uint8_t valor) { banderas_.at(lampara) = valor; }

    int Trip() const { return banderas_[L_Trip]; }
    int AUX1() const { return banderas_[L_AUX1]; }
    int AUX2() const { return banderas_[L_AUX2]; }
    int AUX3() const { return banderas_[L_AUX3]; }
    int OutOfService() const { return banderas_[L_OutOfService]; }
    int BreakerOpen() const { return banderas_[L_BreakerOpen]; }
    int BreakerClosed() const { return banderas_[L_BreakerClosed]; }
    int BreakerEarthed() const { return banderas_[L_BreakerEarthed]; }
    int AutoRecloseEnable() const { return banderas_[L_AutoRecloseEnable]; }
    int AutoRecloseInProgress() const { return banderas_[L_AutoRecloseInProgress]; }
    int Lockout() const { return banderas_[L_Lockout]; }
    void setTrip(int v) { guardar(L_Trip, v); }
    void setAUX1(int v) { guardar(L_AUX1, v); }
    void setAUX2(int v) { guardar(L_AUX2, v); }
    void setAUX3(int v) { guardar(L_AUX3, v); }
    void setOutOfService(int v) { guardar(L_OutOfService, v); }
    void setBreakerOpen(int v) { guardar(L_BreakerOpen, v); }
    void setBreakerClosed(int v) { guardar(L_BreakerClosed, v); }
    void setBreakerEarthed(int v) { guardar(L_BreakerEarthed, v); }
    void setAutoRecloseEnable(int v) { guardar(L_AutoRecloseEnable, v); }
    void setAutoRecloseInProgress(int v) { guardar(L_AutoRecloseInProgress, v); }
    void setLockout(int v) { guardar(L_Lockout, v); }

    // Draws the stored flags. Returns false.
    bool Actualizar();
    // Draws every lamp off; the flags stay. Returns false.
    bool Desactivar();

    // What the panel shows for a lamp now.
    bool encendida(int lampara) const { return encendidas_.at(lampara); }
    // Where a lamp is drawn, in pixels; lamps keep their place and size when
    // the panel is resized.
    QRect rectanguloLampara(int lampara) const;
    // The front-panel drawing, stretched over the whole panel.
    QRect rectanguloFondo() const { return rect(); }
    // The drawing's two lamp groups: the first five lamps are the relay's
    // status, the other six the system's.
    enum Grupo { G_Rele, G_Sistema };
    static int grupo(int lampara) { return lampara <= L_OutOfService ? G_Rele : G_Sistema; }
    // Where the drawing frames a group, in pixels; it follows the drawing.
    QRect rectanguloGrupo(int grupo) const;

    // The design size: the drawing's own size, at which its group frames
    // hold their lamps. The host keeps the panel at this size.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* evento) override;

private:
    void guardar(int lampara, int valor) { banderas_[lampara] = static_cast<std::uint8_t>(valor); }
    int px(int twips, bool horizontal) const;
    // A rectangle of the drawing (designed at 462 x 468 pixels) on the panel.
    QRectF enPanel(const QRectF& enDibujo) const;
    void dibujarFondo(QPainter& p) const;
    // Shows these lamps; draws again only when one changes.
    void mostrar(const std::array<bool, Lamparas>& lamparas);

    std::array<std::uint8_t, Lamparas> banderas_{};
    std::array<bool, Lamparas> encendidas_{};
};

} // namespace kova
