// What a screen reader reads for the controls of the program's windows and pages: no control without a name or
// described by its internal name, each named by the caption shown beside it, the caption drawn as written and
// paired with it as its label; a text field an assistive tool writes in keeps its text.

#include "app/Comunicacion.h"
#include "app/Propiedades.h"
#include "app/support/ProgramWindow.h"
#include "pages/DateTimeConfigView.h"
#include "pages/SetpointViewFixture.h"
#include "pages/ValuePageView.h"
#include "reports/EventsPageView.h"
#include "support/ScriptedUi.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

using namespace kova;

namespace {

struct Named {
    QString control;  // object names from the window down, "/" between them
    QString name;
    QString caption = {};  // the label paired with the control, if any
    bool keepsItsText = false;  // a text field: an assistive tool's refused text is put back
};
using Names = QList<Named>;

// A list by the label it is labelled by (Qt on Linux names a list by its
// current item), any other control by its accessible name.
QString spokenName(QWidget* w)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    if (!a)
        return {};
    if (a->role() != QAccessible::ComboBox)
        return a->text(QAccessible::Name);
    const auto labels = a->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

// Each step the nearest widget of that name below the one before.
QWidget* find(QWidget* from, const QString& path)
{
    for (const QString& name : path.split('/')) {
        QWidget* nearest = nullptr;
        int nearestDepth = 0;
        for (QWidget* w : from->findChildren<QWidget*>(name)) {
            int depth = 0;
            for (QWidget* p = w; p != from; p = p->parentWidget())
                ++depth;
            if (!nearest || depth < nearestDepth) {
                nearest = w;
                nearestDepth = depth;
            }
        }
        if (!nearest)
            return nullptr;
        from = nearest;
    }
    return from;
}

} // namespace

Q_DECLARE_METATYPE(Names)

class tst_SpokenNames : public QObject {
    Q_OBJECT
private slots:
    void controlsSayTheirCaptions_data()
    {
        QTest::addColumn<Names>("names");
        QTest::newRow("Comunicacion") << Names{
            {"Byte_UnR1/Text1", "Slave Address:", "Label1", true},
            {"Byte_UnR1/up", "Slave Address: up"},
            {"Byte_UnR1/down", "Slave Address: down"},
            {"Combo1", "Communication Port:", "Label2"},
            {"Combo2", "Baud Rate:", "Label3"},
            {"Combo5", "Com 2 Baud Rate:", "Label9"},
            {"Option1_0", "Modem", "Label10"},
            {"Option1_1", "RS485/422", "Label11"},
            {"Frame5", "Modem String"},
            {"Text1", "Telephone Number", "Label12"},
            {"Option3_0", "Default String"},
            {"Option3_1", "Personal String"},
            {"Option2_0", "Default String"},
            {"Option2_1", "Personal String"},
            {"Combo4", "Modem Location:", "Label8"},
            {"Combo3", "Baud Rate:", "Label7"},
            {"Modem", "OK, program the modem"},
            {"Command1", "ON"},
            {"Command2", "OFF"},
            {"Okey", "OK"},
            {"Cancelar", "Cancel"},
        };
        QTest::newRow("Propiedades") << Names{
            {"Text1", "Programer:", "Label5", true},
            {"Text2", "Relay's Name:", "Label7"},
            {"Text3", "Observations:", "Label6"},
            {"Text5", "Relay Firmware:", "Label1"},
            {"Okey", "OK"},
            {"Cancel", "Cancel"},
        };
        QTest::newRow("SETPAGE2") << Names{
            {"Page1C(0)/Combo1", "Sampling Frequency:", "Label1(0)"},
            {"Combo1", "Ground Sensing:", "Label1(3)"},
            {"Page1W2(0)/Text1", "VT Primary:", "Label1(10)"},
            {"PhaseCT(9)/Text1", "Openning Breaker Time:", "Label1(20)"},
            {"PhaseCT(9)/down", "Openning Breaker Time: down"},
            {"chkDiscrep(0)", "Breaker Discrepancy Relay: Trip", "Label1(17)"},
            {"chkDiscrep(11)", "Accumulated Amp. Relays: Aux 3"},
            {"Command1", "STORE"},
            {"Command2", "EXIT"},
        };
        QTest::newRow("SETPAGE3") << Names{
            {"ChkPhTim(1)", "Phase Timed O/C Relays: Aux. 1"},
            {"Byte_UnR1(0)/Text1", "Phase Timed O/C Pickup:", "Label1(10)"},
            {"Page3C(0)/Combo1", "Phase Timed O/C Curve:", "Label1(3)"},
            {"Word_TresR1(4)/Text1", "Neg. Seq. Inst O/C Delay:", "Label1(5)"},
            {"ChkGnd(2)", "Amp Unbalance  Relays: Aux. 2"},
        };
        QTest::newRow("SETPAGE13") << Names{{"Word_TresR1(0)/up", "Ground Timed O/C Delay: up"}};
        QTest::newRow("SETPAGE14") << Names{{"ChkPhTim(3)", "UnderVoltage 1 Relays: Aux. 3"}};
        QTest::newRow("SETPAGE15") << Names{{"ChkPhTim(4)", "Frequency 2 Relays: Trip", "Label1(15)"}};
        QTest::newRow("SETPAGE16") << Names{{"ChkGnd(0)", "Forward Power  Relays: Trip"}};
        QTest::newRow("SETPAGE17") << Names{
            {"Page1C(0)/Combo1", "Trip Output Relay Type:", "Label1(8)"},
            {"Byte_UnR1(0)/down", "Trip Relay Pulse Time: down"},
        };
        QTest::newRow("SETPAGE17 Label1(0)=Trip & Relay &Pulse Time:") << Names{
            {"Byte_UnR1(0)/Text1", "Trip & Relay &Pulse Time:", "Label1(0)"}};
        QTest::newRow("DateTimeConfig") << Names{
            {"DateSys", "Date System:", "Label1"}, {"TimeSys", "Time System:", "Label2"}};
        QTest::newRow("AVPAGE4") << Names{{"ListView1", "Events"}};
        QTest::newRow("SETPAGE4") << Names{{"Page1C(3)/Combo1", "Input 2 Active When:", "Label1(0)"}};
        QTest::newRow("SETPAGE9") << Names{{"Page9(6)/Combo1", "Frequency Protection Events:"}};
        for (const char* form : {"AVPAGE1", "AVPAGE2", "AVPAGE3", "AVPAGE5", "AVPAGE6"})
            QTest::newRow(form) << Names{};
    }

    // Every control of the window a user can reach (a tab stop or a button; not a list's popup nor a picker's
    // text, whose focus is the picker's) is read by a name; the listed ones by exactly the given name, their
    // caption label paired with them.
    void controlsSayTheirCaptions()
    {
        QFETCH(Names, names);
        const QString window = QString(QTest::currentDataTag()).section(' ', 0, 0);
        const QString edit = QString(QTest::currentDataTag()).section(' ', 1);  // "label=text": a caption edited
        QTemporaryDir dir;
        test::ScriptedUi ui;
        test::ProgramWindow program(dir.path());
        test::SetpointViewFixture pages;
        std::unique_ptr<ValuePage> values;
        std::unique_ptr<EventsPage> events;
        std::unique_ptr<QDialog> own;
        pages.makeHost();
        if (window == "Comunicacion") {
            own = std::make_unique<Comunicacion>(program.st, program.ctx, *program.w);
        } else if (window == "Propiedades") {
            own = std::make_unique<Propiedades>(*program.ctx.archivos(), *program.w);
        } else if (window == "DateTimeConfig") {
            own = std::make_unique<DateTimeConfigView>(*pages.host, DateTimeConfig::Empaquetar_Reloj{}, nullptr);
        } else if (window == "AVPAGE4") {
            events = std::make_unique<EventsPage>(*pages.host);
            own = std::make_unique<EventsPageView>(*events, nullptr);
        } else if (window.startsWith("AVPAGE")) {
            values = makeValuePage(*loadPageForm(window.toLatin1().constData()), *pages.host);
            own = std::make_unique<ValuePageView>(*values);
        } else {
            PageForm form = *loadPageForm(window.toLatin1().constData());
            if (!edit.isEmpty())
                form.labels[edit.section('=', 0, 0).toStdString()] = edit.section('=', 1).toStdString();
            pages.page = std::make_unique<SetpointPage>(form, *pages.host);
            pages.view = std::make_unique<SetpointPageView>(*pages.page, pages.main.get());
            pages.page->Form_Load();
        }
        QWidget* w = own ? own.get() : static_cast<QWidget*>(pages.view.get());
        w->show();

        int controls = 0;
        for (QWidget* c : w->findChildren<QWidget*>()) {
            if (auto* a = QAccessible::queryAccessibleInterface(c); a && !c->objectName().isEmpty())
                QVERIFY2(a->text(QAccessible::Description) != c->objectName(), qPrintable(c->objectName()));
            if (c->window() != w || c->focusProxy()
                || !((c->focusPolicy() & Qt::TabFocus) || qobject_cast<QAbstractButton*>(c)))
                continue;
            ++controls;
            QVERIFY2(!spokenName(c).isEmpty(), qPrintable(c->objectName() + " in " + c->parentWidget()->objectName()));
        }
        QVERIFY(controls > 0);

        for (const Named& n : names) {
            QWidget* c = find(w, n.control);
            QVERIFY2(c, qPrintable(n.control));
            QCOMPARE(spokenName(c), n.name);
            if (!n.caption.isEmpty()) {
                auto* caption = qobject_cast<QLabel*>(find(w, n.caption));
                QVERIFY2(caption && caption->buddy() == c, qPrintable(n.caption));
                QVERIFY(n.name.startsWith(spokenName(caption)));
                QCOMPARE(QKeySequence::mnemonic(caption->text()), QKeySequence());
            }
            if (auto* a = QAccessible::queryAccessibleInterface(c); n.keepsItsText) {
                const QString held = a->text(QAccessible::Value), refused = QString::fromUtf8("\u03A99");
                a->editableTextInterface()->insertText(0, refused);
                a->setText(QAccessible::Value, refused);
                QCOMPARE(a->text(QAccessible::Value), held);
            }
        }
    }
};

QTEST_MAIN(tst_SpokenNames)
#include "tst_SpokenNames.moc"
