// The bit-field selector's drop-down list and the blinking lamp's timer.

#include "editors/BitsWidget.h"
#include "editors/LEDSWidget.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

using namespace kova;

namespace {

int putWord(int i)
{
    return processImages().put[static_cast<size_t>(i)] * 256 + processImages().put[static_cast<size_t>(i) + 1];
}

void setGet(int i, std::uint16_t v)
{
    processImages().get[static_cast<size_t>(i)] = static_cast<std::uint8_t>(v >> 8);
    processImages().get[static_cast<size_t>(i) + 1] = static_cast<std::uint8_t>(v & 0xFF);
}

} // namespace

class TstBitsLeds : public QObject {
    Q_OBJECT

private slots:
    void selectorOnSharedRegister()
    {
        processImages() = RegisterImages{};
        PropertyBag bag;
        bag.write("direccion", std::string("0101"), std::nullopt);
        bag.write("datalen", std::int64_t{1}, std::nullopt);
        bag.write("tipo", std::int64_t{1}, std::nullopt);
        bag.write("bit1", std::int64_t{2}, std::nullopt);
        bag.write("bit2", std::int64_t{3}, std::nullopt);
        bag.write("cantidad_items", std::int64_t{3}, std::nullopt);
        bag.write("nombre1", std::string("Wye"), std::nullopt);
        bag.write("nombre2", std::string("Delta-Delta"), std::nullopt);
        bag.write("nombre3", std::string("Open Delta"), std::nullopt);
        BitsWidget w;
        QVERIFY(w.loadSettings(bag).empty());
        w.show();
        QSignalSpy click(&w, &BitsWidget::Click);

        w.Crear_Items();
        QCOMPARE(w.Combo1()->count(), 3);
        QCOMPARE(w.Combo1()->currentIndex(), -1);
        QCOMPARE(w.ListIndex(), -1);
        QCOMPARE(click.count(), 0);

        setGet(0, 0x730C);  // both field bits set: names no option
        processImages().put[0] = 0x5A;
        processImages().put[1] = 0xA5;
        QVERIFY(w.Inicializacion());
        QCOMPARE(w.Combo1()->currentIndex(), -1);
        QCOMPARE(w.valor(), QString());
        QCOMPARE(click.count(), 1);
        QCOMPARE(putWord(0), 0x5AA5);

        QTest::keyClick(w.Combo1(), Qt::Key_End);  // the user picks "Open Delta"
        QCOMPARE(w.Combo1()->currentIndex(), 2);
        QCOMPARE(w.ListIndex(), 2);
        QCOMPARE(putWord(0), (0x5AA5 & ~0x000C) | 0x0008);
        QCOMPARE(click.count(), 2);

        setGet(0, 0x0004);
        w.Inicializacion();
        QCOMPARE(w.Combo1()->currentText(), QString("Delta-Delta"));
        QCOMPARE(w.valor(), QString("Delta-Delta"));
    }

    void selectorKeepsToItsRectangle()  // it asks for its longest item's room; its list fills it and stays inside
    {
        PropertyBag bag;
        bag.write("cantidad_items", std::int64_t{2}, std::nullopt);
        bag.write("nombre2", std::string("IEC-C Extrem Inv"), std::nullopt);
        BitsWidget w;
        w.loadSettings(bag);
        w.Crear_Items();
        w.show();
        for (int height : {10, 60}) {
            w.resize(w.sizeHint().width() + 30, height);
            QTest::qWait(100);  // the list resizes itself on a timer
            QVERIFY(w.sizeHint() == w.Combo1()->sizeHint() && w.rect().contains(w.Combo1()->geometry())
                && w.Combo1()->width() == w.width());
        }
    }

    void selectorWithUnusableSettingsIsDisabled()
    {
        PropertyBag bag;
        bag.write("paso", std::int64_t{0}, std::nullopt);
        BitsWidget w;
        w.loadSettings(bag);
        QVERIFY(!w.Combo1()->isEnabled());
    }

    void lampTimer()
    {
        LEDSWidget w;
        bool online = true;
        w.comunicando = [&] { return online; };
        QCOMPARE(w.size(), QSize(18, 18));
        QVERIFY(!w.Timer1()->isActive());  // interval 0 never ticks
        QVERIFY(w.model().lit());

        w.model().setInterval(10);
        QVERIFY(w.Timer1()->isActive());
        QTRY_VERIFY(!w.model().lit());
        online = false;
        QTRY_VERIFY(!w.Timer1()->isActive());
        QVERIFY(!w.model().Enabled());
        const bool last = w.model().lit();
        QTest::qWait(40);
        QCOMPARE(w.model().lit(), last);

        w.resize(40, 25);
        QCOMPARE(w.picture(true).size(), QSize(40, 25));
        QCOMPARE(w.picture(false).size(), QSize(40, 25));
        QVERIFY(w.picture(true) != w.picture(false));
    }
};

QTEST_MAIN(TstBitsLeds)
#include "tst_bits_leds.moc"
