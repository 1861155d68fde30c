// The value editor widgets over the program's own register images: arrow
// clicks, the keypad opened from the text field, and the Put-image bytes.

#include "editors/CalculadoraWindow.h"
#include "editors/EditorWidgets.h"
#include "editors/UpDownArrows.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace kova;

namespace {

void setGet(int index, std::uint16_t v)
{
    processImages().get[static_cast<size_t>(index)] = static_cast<std::uint8_t>(v >> 8);
    processImages().get[static_cast<size_t>(index) + 1] = static_cast<std::uint8_t>(v & 0xFF);
}

int putWord(int index)
{
    return processImages().put[static_cast<size_t>(index)] * 256
           + processImages().put[static_cast<size_t>(index) + 1];
}

CalculadoraWindow* keypadWindow()
{
    return qobject_cast<CalculadoraWindow*>(QApplication::activeModalWidget());
}

// Presses the keypad's keys: digits, "." and "C" for CE.
void press(CalculadoraWindow* w, const QString& keys)
{
    for (QChar k : keys) {
        if (k == '.')
            QTest::mouseClick(w->Command2(), Qt::LeftButton);
        else if (k == 'C')
            QTest::mouseClick(w->Command1(), Qt::LeftButton);
        else
            QTest::mouseClick(w->Numeros(k.digitValue()), Qt::LeftButton);
    }
}

// Closes the message box that the next step opens, keeping its text.
void answerNextMessage(QString* text)
{
    QTimer::singleShot(0, [text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        *text = box->text();
        box->accept();
    });
}

} // namespace

class TstValueEditorWidgets : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        processImages() = RegisterImages{};
        processImages().put.fill(0xA5);
    }

    void threeRangeEditorArrowsAndKeypad()
    {
        Word_TresRWidget w;
        Word_TresR& m = w.model();
        m.setTitulo("Phase Timed O/C Delay:");
        m.setDireccion("1004");
        m.setDataLen(1);
        m.setMin(5);
        m.setMax(60000);
        m.setCambio_A(*Decimal4::parse("100"));
        m.setCambio_B(*Decimal4::parse("1000"));
        m.setInc_A(1);
        m.setInc_B(10);
        m.setInc_C(100);
        for (auto set : {&Word_TresR::setPaso_A, &Word_TresR::setPaso_B, &Word_TresR::setPaso_C})
            (m.*set)(*Decimal4::parse("0.01"));
        m.setFormatoA("#0.#0");
        m.setFormatoB("#0.0");
        m.setFormatoC("#0");
        m.setMedida("Sec");
        w.resize(144, 21);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        setGet(104, 100);
        QVERIFY(w.Inicializacion());
        QCOMPARE(w.Text1()->text(), QString("1.0 Sec"));
        QCOMPARE(putWord(104), 0xA5A5);

        QSignalSpy change(&w, &ValueEditorWidget::Change);
        QSignalSpy click(&w, &ValueEditorWidget::Click);
        QTest::mouseClick(w.UpDown1()->upButton(), Qt::LeftButton);
        QCOMPARE(w.Text1()->text(), QString("1.1 Sec"));
        QCOMPARE(putWord(104), 110);
        QTest::mouseClick(w.UpDown1()->downButton(), Qt::LeftButton);
        QCOMPARE(w.Text1()->text(), QString("1.0 Sec"));
        QCOMPARE(putWord(104), 100);
        QCOMPARE(change.count(), 2);

        // A keypad entry: 2.5 s is raw 250.
        QString labels;
        QTimer::singleShot(0, [&] {
            CalculadoraWindow* k = keypadWindow();
            QVERIFY(k);
            labels = k->findChild<QLabel*>("Viejo")->text() + "|"
                     + k->findChild<QLabel*>("Rango")->text();
            press(k, "2.5");
            QCOMPARE(k->Pantalla()->text(), QString("2.5"));
            QTest::mouseClick(k->OK(), Qt::LeftButton);
        });
        QTest::mouseClick(w.Text1(), Qt::LeftButton);
        QCOMPARE(labels, QString("1.0 Sec|0.05 To 600 Sec"));
        QCOMPARE(w.Text1()->text(), QString("2.5 Sec"));
        QCOMPARE(putWord(104), 250);
        QCOMPARE(click.count(), 1);
        QCOMPARE(w.valor(), QString("1.0 Sec"));

        // Out of range: the message shows, and leaving the keypad changes nothing.
        QString message;
        QTimer::singleShot(0, [&] {
            CalculadoraWindow* k = keypadWindow();
            QVERIFY(k);
            press(k, "700");
            answerNextMessage(&message);
            QTest::mouseClick(k->OK(), Qt::LeftButton);
            QVERIFY(k->isVisible());
            QTest::mouseClick(k->Cancel(), Qt::LeftButton);
        });
        QTest::mouseClick(w.Text1(), Qt::LeftButton);
        QCOMPARE(message, QString("Out of Range"));
        QCOMPARE(m.Value(), 250);
        QCOMPARE(w.Text1()->text(), QString("2.5 Sec"));
        QCOMPARE(putWord(104), 250);

        // Off-step, then Esc: the rejected value is never handed back.
        QTimer::singleShot(0, [&] {
            CalculadoraWindow* k = keypadWindow();
            QVERIFY(k);
            press(k, "1.05");
            answerNextMessage(&message);
            QTest::mouseClick(k->OK(), Qt::LeftButton);
            QTest::keyClick(k, Qt::Key_Escape);
        });
        QTest::mouseClick(w.Text1(), Qt::LeftButton);
        QCOMPARE(message, QString("Incorrect Range"));
        QCOMPARE(m.Value(), 250);
        QCOMPARE(putWord(104), 250);
        QCOMPARE(keypadBlock().Calc_Valor_Nuevo, 250);
        QCOMPARE(QString::fromStdString(keypadBlock().Calc_Dato_Hex), QString("&H00FA"));
        QCOMPARE(keypadBlock().Calc_Tipo, std::uint8_t{1});

        // At the limit an arrow does nothing at all.
        setGet(104, 60000);
        w.Inicializacion();
        processImages().put.fill(0xA5);
        change.clear();
        QTest::mouseClick(w.UpDown1()->upButton(), Qt::LeftButton);
        QCOMPARE(change.count(), 0);
        QCOMPARE(putWord(104), 0xA5A5);
    }

    void oneRangeEditorCountsClicksAtTheLimit()
    {
        Byte_UnRWidget w;
        Byte_UnR& m = w.model();
        m.setDireccion("0102");
        m.setMin(5);
        m.setMax(5000);
        m.setSmallChange(5);
        m.setPaso(*Decimal4::parse("1"));
        m.setFormato("###0");
        m.setMedida("A");
        w.show();
        setGet(2, 5000);
        w.Inicializacion();
        QSignalSpy change(&w, &ValueEditorWidget::Change);
        QTest::mouseClick(w.UpDown1()->upButton(), Qt::LeftButton);
        QCOMPARE(change.count(), 1);
        QCOMPARE(putWord(2), 5000);
        QVERIFY(w.UpDown1()->upButton()->isEnabled());
        QTest::keyClick(w.Text1(), Qt::Key_Down);
        QCOMPARE(w.Text1()->text(), QString("4995 A"));
        QCOMPARE(putWord(2), 4995);
    }

    // Typed keys click the keypad's buttons: the same value reaches the Put
    // image as by clicking; Escape is Cancel.
    // Enter is OK but on the focused Cancel or CE, which it presses.
    void keypadTakesTypedKeys_data()
    {
        QTest::addColumn<QString>("clicks");       // pressed with the mouse ("." and "C" for CE)
        QTest::addColumn<QList<int>>("keys");      // typed
        QTest::addColumn<int>("put");

        const auto digits = [](const char* s) {
            QList<int> k;
            for (const char* c = s; *c; ++c)
                k << (*c == '.' ? int(Qt::Key_Period) : *c == ',' ? int(Qt::Key_Comma) : Qt::Key_0 + (*c - '0'));
            return k;
        };
        QTest::newRow("clicked 2.5, OK") << "2.5" << QList<int>{} << 0x00FA;
        QTest::newRow("typed 2.5, Return") << "" << (digits("2.5") << Qt::Key_Return) << 0x00FA;
        QTest::newRow("typed 2,5, Enter") << "" << (digits("2,5") << Qt::Key_Enter) << 0x00FA;
        QTest::newRow("Backspace clears") << "" << (digits("9") << Qt::Key_Backspace << digits("2.5") << Qt::Key_Return) << 0x00FA;
        QTest::newRow("letters do nothing") << "" << (QList<int>{Qt::Key_A, Qt::Key_Minus} << digits("12") << Qt::Key_Return) << 0x04B0;
        QTest::newRow("Enter on the clicked digit is OK") << "2" << (digits(".5") << Qt::Key_Enter) << 0x00FA;
        QTest::newRow("Tab to Cancel, Enter cancels") << "C" << (digits("7") << Qt::Key_Tab << Qt::Key_Tab << Qt::Key_Return) << 0x0064;
        QTest::newRow("Enter on the clicked CE clears") << "C" << (digits("9") << Qt::Key_Enter << digits("2.5") << Qt::Key_Tab << Qt::Key_Enter) << 0x00FA;
        QTest::newRow("Escape cancels") << "" << (digits("7") << Qt::Key_Escape) << 0x0064;
    }

    void keypadTakesTypedKeys()
    {
        QFETCH(QString, clicks);
        QFETCH(QList<int>, keys);
        QFETCH(int, put);
        Word_UnRWidget w;
        Word_UnR& m = w.model();
        m.setTitulo("Delay:");
        m.setDireccion("0102");
        m.setDataLen(1);
        m.setMin(5);
        m.setMax(60000);
        m.setSmallChange(1);
        m.setPaso(*Decimal4::parse("0.01"));
        m.setFormato("##0.00");
        m.setMedida("Sec");
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        setGet(2, 100);
        QVERIFY(w.Inicializacion());

        bool closedByKeys = false;
        QTimer::singleShot(0, [&] {
            CalculadoraWindow* k = keypadWindow();
            QVERIFY(k);
            press(k, clicks);
            for (int key : keys)
                QTest::keyClick(k->focusWidget() ? k->focusWidget() : k, Qt::Key(key));
            if (keys.isEmpty())
                QTest::mouseClick(k->OK(), Qt::LeftButton);
            closedByKeys = !k->isVisible();
            if (!closedByKeys) k->reject();
        });
        QTest::mouseClick(w.Text1(), Qt::LeftButton);
        QVERIFY(closedByKeys || keys.isEmpty());
        QCOMPARE(putWord(2), put);
        QCOMPARE(keypadBlock().Calc_Valor_Nuevo, put);
        QCOMPARE(keypadBlock().Calc_Tipo, std::uint8_t{1});
    }

    // At its size hint the field shows its widest text whole (the first character in view, cursor at the end).
    void sizeHintHoldsTheWidestText()
    {
        Word_TresRWidget w;
        Word_TresR& m = w.model();
        m.setDireccion("1004");
        m.setDataLen(1);
        m.setMin(5);
        m.setMax(60000);
        m.setMedida("Sec");
        m.setCambio_A(*Decimal4::parse("100"));
        m.setCambio_B(*Decimal4::parse("1000"));
        for (auto set : {&Word_TresR::setPaso_A, &Word_TresR::setPaso_B, &Word_TresR::setPaso_C})
            (m.*set)(*Decimal4::parse("0.01"));
        m.setFormatoA("#0.#0");
        m.setFormatoB("#0.0");
        m.setFormatoC("#0");
        setGet(104, 999);  // "10.0 Sec"
        w.Inicializacion();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto startInView = [&](int width) {
            w.resize(width, w.sizeHint().height());
            w.Text1()->setCursorPosition(int(w.Text1()->text().size()));
            w.Text1()->grab();  // the field scrolls its text as it paints
            return w.Text1()->cursorPositionAt(QPoint(w.Text1()->contentsRect().left() + 4, 10)) == 0;
        };
        QVERIFY(startInView(w.sizeHint().width()) && !startInView(w.sizeHint().width() - 20));
        QCOMPARE(w.minimumSizeHint(), w.sizeHint());
    }

    void layoutFollowsTheControlSize()
    {
        Word_DosRWidget w;
        QSignalSpy resized(&w, &ValueEditorWidget::Resize);
        w.resize(144, 25);  // 2160 twips
        w.show();
        QVERIFY(resized.count() >= 1);
        QCOMPARE(w.Text1()->geometry(), QRect(0, 0, 127, 25));
        QCOMPARE(w.UpDown1()->geometry(), QRect(127, 0, 17, 25));
    }

    void storedLookIsApplied()
    {
        PropertyBag bag;
        bag.write("backcolor", std::int64_t{255}, std::nullopt);
        bag.write("enabled", false, std::nullopt);
        Byte_UnRWidget w;
        w.loadSettings(bag);
        QCOMPARE(w.Text1()->palette().color(QPalette::Base), QColor(255, 0, 0));
        QVERIFY(!w.isEnabled());
        QCOMPARE(w.Text1()->text(), QString("Text1"));
        QCOMPARE(w.BorderStyle(), 1);
        QCOMPARE(w.Alignment(), 0);

        // A disabled parent does not change the editor's own setting.
        QWidget parent;
        Byte_UnRWidget child(&parent);
        parent.setEnabled(false);
        QVERIFY(!child.isEnabled());
        QVERIFY(child.editor().Enabled());
        child.setEnabled(false);
        QVERIFY(!child.editor().Enabled());
    }
};

QTEST_MAIN(TstValueEditorWidgets)
#include "tst_value_editor_widgets.moc"
