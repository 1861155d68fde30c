// Forms edited by hand and placed in KOVA_FORMS_DIR, with the program online
// against the simulated relay: a setpoint form that would make STORE write
// one setting over another, or show a setting the page never writes, and a
// value form whose refresh would send a command, are refused when their page
// is opened. The user is told which file, where and why; no page opens and
// nothing but the status reads reaches the relay.

#include "app/AppContext.h"
#include "pages/PageForm.h"
#include "support/OnlineProgram.h"
#include "support/SimHarness.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <functional>

using kova::test::OnlineProgram;
using kova::test::SimHarness;

namespace {

using Edit = std::function<void(QJsonObject&)>;

// A setpoint control's register moved to `direccion`.
Edit address(const char* control, const char* direccion)
{
    return [=](QJsonObject& form) {
        QJsonObject settings = form[QStringLiteral("settings")].toObject();
        QJsonObject bag = settings[QLatin1String(control)].toObject();
        bag[QStringLiteral("direccion")] = QLatin1String(direccion);
        settings[QLatin1String(control)] = bag;
        form[QStringLiteral("settings")] = settings;
    };
}

// A request added to a value page's refresh.
Edit tick(int queue, int code)
{
    return [=](QJsonObject& form) {
        QJsonObject protocol = form[QStringLiteral("protocol")].toObject();
        QJsonArray t = protocol[QStringLiteral("tick")].toArray();
        t.append(QJsonArray{queue, code});
        protocol[QStringLiteral("tick")] = t;
        form[QStringLiteral("protocol")] = protocol;
    };
}

} // namespace

class tst_EditedFormsOverLine : public QObject {
    Q_OBJECT
private slots:
    void refusedFormOpensNoPageAndSendsNothing_data();
    void refusedFormOpensNoPageAndSendsNothing();
};

void tst_EditedFormsOverLine::refusedFormOpensNoPageAndSendsNothing_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("command");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QString>("fault");
    QTest::newRow("VT secondary over the ground CT") << "SETPAGE2" << "Set_page2" << address("PhaseCT(7)", "0103")
                                                      << "PhaseCT(7) and PhaseCT(1) share bit 0 of register 0103";
    QTest::newRow("demand period in an unwritten block")
        << "SETPAGE2" << "Set_page2" << address("PhaseCT(2)", "1005")
        << "PhaseCT(2): register 1005 lies in block 3, which the page does not read, write or restore";
    QTest::newRow("event record erased on refresh")
        << "AVPAGE1" << "AV_page1" << tick(1, 13) << "protocol.tick[4]: request 13 is not a read";
    QTest::newRow("setpoint block written on refresh")
        << "AVPAGE1" << "AV_page1" << tick(1, 27) << "protocol.tick[4]: request 27 is not a read";
}

void tst_EditedFormsOverLine::refusedFormOpensNoPageAndSendsNothing()
{
    QFETCH(QString, form);
    QFETCH(QString, command);
    QFETCH(Edit, edit);
    QFETCH(QString, fault);
    SimHarness sim({"--setpoint", "0x0103=100", "--setpoint", "0x0109=120", "--setpoint", "0x1005=20"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    OnlineProgram program;
    QVERIFY(program.start(sim));
    QVERIFY(QTest::qWaitFor([&] { return program.context.setpointBlocksRead() == 6; }, 10000));
    QTRY_VERIFY_WITH_TIMEOUT(sim.codesAfter(sim.requests().size() - 3).empty(), 10000);

    QDir forms(program.dir.path());
    QVERIFY(forms.mkdir(QStringLiteral("forms")) && forms.cd(QStringLiteral("forms")));
    QJsonObject root =
        QJsonDocument::fromJson(QByteArray::fromStdString(kova::pageFormText(form.toStdString()))).object();
    edit(root);
    const QString file = forms.filePath(form + QStringLiteral(".json"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QJsonDocument(root).toJson()) > 0);
    f.close();
    qputenv("KOVA_FORMS_DIR", forms.path().toUtf8());

    // Should a page open all the same, it is closed so the test goes on.
    bool pageOpened = false;
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, this, [&] {
        if (QWidget* page = QApplication::activeModalWidget()) {
            pageOpened = true;
            page->close();
        }
    });
    guard.start(3000);
    const std::size_t openedAt = sim.requests().size();
    const qsizetype boxes = program.ui.shown.size();
    program.arranque.principal()->command(command)->trigger();
    qunsetenv("KOVA_FORMS_DIR");
    QVERIFY(!pageOpened);
    QCOMPARE(program.ui.shown.size(), boxes + 1);
    const kova::test::ShownBox& box = program.ui.shown.last();
    QCOMPARE(box.text, QString::fromLatin1(kova::AppContext::kFormRefused));
    QCOMPARE(box.icon, kova::MsgIcon::Critical);
    QCOMPARE(box.title, QStringLiteral("KOVA"));
    QCOMPARE(box.detail, file + QStringLiteral(": ") + fault);
    QVERIFY(program.arranque.principal()->isEnabled());

    // A value page's refresh would have come by now: only status reads went out.
    QTest::qWait(2500);
    QCOMPARE(sim.codesAfter(openedAt), std::vector<int>{});
    QCOMPARE(sim.holding(0x0103), 100);
    QCOMPARE(sim.holding(0x1005), 20);
}

QTEST_MAIN(tst_EditedFormsOverLine)
#include "tst_EditedFormsOverLine.moc"
