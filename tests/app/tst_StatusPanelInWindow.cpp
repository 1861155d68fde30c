// The relay status panel in the main window, painted at the window's
// default size and larger: every lamp lies inside the frame of its group
// (relay status, system status) on the panel's drawing.

#include "app/Principal.h"
#include "app/UserControl1.h"

#include <QImage>
#include <QtTest>

using kova::UserControl1;

namespace {

bool red(const QColor& c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; }
bool green(const QColor& c) { return c.green() > 150 && c.red() < 100; }

// The darkest pixel within one pixel of p: a 1-pixel frame line drawn with
// antialiasing may fall on either neighbour.
int darkest(const QImage& img, QPoint p)
{
    int best = 255;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            best = std::min(best, qGray(img.pixel(p + QPoint(dx, dy))));
    return best;
}

} // namespace

class tst_StatusPanelInWindow : public QObject {
    Q_OBJECT
private slots:
    void lampsInsideTheirGroupFrames_data()
    {
        QTest::addColumn<double>("factor");
        QTest::newRow("default size") << 1.0;
        QTest::newRow("twice the size") << 2.0;
        QTest::newRow("one and a half wide") << 1.5;
    }

    void lampsInsideTheirGroupFrames()
    {
        QFETCH(double, factor);
        kova::AppState st;
        kova::Principal w(st, kova::MainWindowServices{});
        w.resize((QSizeF(w.size()) * factor).toSize());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        UserControl1& panel = *w.UserControl11();
        for (int i = 0; i < UserControl1::Lamparas; ++i)
            panel.ponerBandera(i, 1);
        panel.Actualizar();

        // The panel keeps its design size, whole inside the window's centre.
        QCOMPARE(panel.size(), panel.sizeHint());
        QVERIFY(w.centralWidget()->rect().contains(panel.geometry()));

        const QImage img = w.grab().toImage();
        const qreal dpr = img.devicePixelRatio();
        const auto at = [&](QPoint p) { return (QPointF(panel.mapTo(&w, p)) * dpr).toPoint(); };
        const auto enVentana = [&](const QRect& r) { return QRect(panel.mapTo(&w, r.topLeft()), r.size()); };
        for (int g : {UserControl1::G_Rele, UserControl1::G_Sistema}) {
            // The frame is drawn where the panel says it is.
            const QRect marco = panel.rectanguloGrupo(g);
            const QColor placa = img.pixelColor(at(marco.topLeft() + QPoint(-6, marco.height() / 2)));
            QVERIFY2(darkest(img, at(QPoint(marco.left(), marco.center().y()))) < qGray(placa.rgb()) - 40,
                     qPrintable(QString("left edge of group %1").arg(g)));
            QVERIFY2(darkest(img, at(QPoint(marco.right(), marco.center().y()))) < qGray(placa.rgb()) - 40,
                     qPrintable(QString("right edge of group %1").arg(g)));
        }
        for (int i = 0; i < UserControl1::Lamparas; ++i) {
            const QString lampara = QString::fromLatin1(UserControl1::tabla()[i].etiqueta);
            const QPoint centro = panel.rectanguloLampara(i).center();
            const int suyo = UserControl1::grupo(i);
            QVERIFY2(enVentana(panel.rectanguloGrupo(suyo)).contains(panel.mapTo(&w, centro)), qPrintable(lampara));
            QVERIFY2(!panel.rectanguloGrupo(1 - suyo).contains(centro), qPrintable(lampara));
            // The lamp is painted there.
            const QColor c = img.pixelColor(at(centro));
            QVERIFY2(UserControl1::tabla()[i].verde ? green(c) : red(c), qPrintable(lampara));
        }
        // Relay status: Trip to Out of Service; system status: the others.
        QCOMPARE(UserControl1::grupo(UserControl1::L_OutOfService), int(UserControl1::G_Rele));
        QCOMPARE(UserControl1::grupo(UserControl1::L_BreakerOpen), int(UserControl1::G_Sistema));
    }
};

QTEST_MAIN(tst_StatusPanelInWindow)
#include "tst_StatusPanelInWindow.moc"
