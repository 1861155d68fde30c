#include "app/UserControl1.h"

#include <QImage>
#include <QtTest>

using kova::UserControl1;

class PruebaUserControl1 : public QObject
{
    Q_OBJECT

private:
    struct ContadorDibujos : QObject {
        int n = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                ++n;
            return false;
        }
    };
    // What the panel draws at the middle of a lamp.
    static QColor colorLampara(UserControl1& panel, int lampara)
    {
        const QImage img = panel.grab().toImage();
        return img.pixelColor(panel.rectanguloLampara(lampara).center());
    }
    static bool pareceRoja(const QColor& c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; }
    static bool pareceVerde(const QColor& c) { return c.green() > 150 && c.red() < 100; }
    static bool pareceOscura(const QColor& c) { return c.red() < 100 && c.green() < 100 && c.blue() < 100; }

private slots:
    void nuevoPanelTodoApagado()
    {
        UserControl1 panel;
        panel.resize(panel.sizeHint());
        for (int i = 0; i < UserControl1::Lamparas; ++i) {
            QCOMPARE(panel.bandera(i), std::uint8_t{0});
            QVERIFY(!panel.encendida(i));
            QVERIFY(pareceOscura(colorLampara(panel, i)));
        }
    }

    void cualquierValorNoCeroEnciende_data()
    {
        QTest::addColumn<int>("valor");
        QTest::addColumn<bool>("encendida");
        QTest::newRow("0") << 0 << false;
        QTest::newRow("1") << 1 << true;
        QTest::newRow("2") << 2 << true;
        QTest::newRow("255") << 255 << true;
    }
    void cualquierValorNoCeroEnciende()
    {
        QFETCH(int, valor);
        QFETCH(bool, encendida);
        UserControl1 panel;
        panel.resize(panel.sizeHint());
        panel.setTrip(valor);
        QCOMPARE(panel.Trip(), valor);
        QCOMPARE(panel.Actualizar(), false);
        QCOMPARE(panel.encendida(UserControl1::L_Trip), encendida);
        QCOMPARE(pareceRoja(colorLampara(panel, UserControl1::L_Trip)), encendida);
    }

    void ponerUnaBanderaNoRedibuja()
    {
        UserControl1 panel;
        panel.resize(panel.sizeHint());
        panel.setTrip(1);
        QVERIFY(!panel.encendida(UserControl1::L_Trip));
        QVERIFY(pareceOscura(colorLampara(panel, UserControl1::L_Trip)));
    }

    void desactivarApagaYConservaLasBanderas()
    {
        UserControl1 panel;
        panel.resize(panel.sizeHint());
        // The eleven properties by name, as the polling loop sets them.
        const int valores[] = {1, 0, 0, 0, 1, 0, 1, 0, 0, 0, 1};
        for (int i = 0; i < UserControl1::Lamparas; ++i)
            QVERIFY(panel.setProperty(UserControl1::tabla()[i].propiedad, valores[i]));
        panel.Actualizar();
        for (int i = 0; i < UserControl1::Lamparas; ++i)
            QCOMPARE(panel.encendida(i), valores[i] != 0);
        QVERIFY(pareceVerde(colorLampara(panel, UserControl1::L_OutOfService)));
        QVERIFY(pareceRoja(colorLampara(panel, UserControl1::L_Lockout)));

        QCOMPARE(panel.Desactivar(), false);
        for (int i = 0; i < UserControl1::Lamparas; ++i) {
            QVERIFY(!panel.encendida(i));
            QVERIFY(pareceOscura(colorLampara(panel, i)));
            QCOMPARE(panel.property(UserControl1::tabla()[i].propiedad).toInt(), valores[i]);
        }

        panel.Actualizar();
        QVERIFY(pareceRoja(colorLampara(panel, UserControl1::L_Trip)));
        QVERIFY(pareceVerde(colorLampara(panel, UserControl1::L_OutOfService)));
    }

    void alCambiarDeTamanoLasLamparasNoSeMueven()
    {
        UserControl1 panel;
        panel.resize(panel.sizeHint());
        QList<QRect> antes;
        for (int i = 0; i < UserControl1::Lamparas; ++i)
            antes << panel.rectanguloLampara(i);

        // 3000 x 2000 twips.
        const int ancho = qRound(3000.0 * panel.logicalDpiX() / 1440);
        const int alto = qRound(2000.0 * panel.logicalDpiY() / 1440);
        panel.resize(ancho, alto);
        QCOMPARE(panel.rectanguloFondo(), QRect(0, 0, ancho, alto));
        for (int i = 0; i < UserControl1::Lamparas; ++i)
            QCOMPARE(panel.rectanguloLampara(i), antes[i]);
        if (panel.logicalDpiX() == 96 && panel.logicalDpiY() == 96) {
            QCOMPARE(panel.rectanguloFondo().size(), QSize(200, 133));
            QCOMPARE(panel.rectanguloLampara(UserControl1::L_Trip).topLeft(), QPoint(57, 175));
            QCOMPARE(panel.rectanguloLampara(UserControl1::L_Trip).size(), QSize(15, 14));
        }
        // The drawing follows the new size.
        QCOMPARE(panel.grab().size(), QSize(ancho, alto));
    }

    // The status refresh calls Actualizar twice a second: the panel is drawn
    // only when a lamp changes, Desactivar likewise.
    void dibujaSoloCuandoCambiaUnaLampara()
    {
        struct Paso { const char* que; int trip; bool desactivar; int dibujos; };
        const Paso pasos[] = {
            {"lamps as shown", 0, false, 0}, {"Trip lit", 1, false, 1}, {"Trip still lit", 2, false, 0},
            {"all off", 2, true, 1},         {"still off", 2, true, 0}, {"Trip lit again", 2, false, 1},
            {"Trip off", 0, false, 1},
        };
        UserControl1 panel;
        panel.resize(panel.sizeHint());
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        ContadorDibujos contador;
        panel.installEventFilter(&contador);
        QTest::qWait(50);
        for (const Paso& p : pasos) {
            contador.n = 0;
            panel.setTrip(p.trip);
            if (p.desactivar)
                panel.Desactivar();
            else
                panel.Actualizar();
            QTest::qWait(50);
            QVERIFY2(contador.n == p.dibujos, p.que);
        }
    }
};

QTEST_MAIN(PruebaUserControl1)
#include "tst_UserControl1.moc"
