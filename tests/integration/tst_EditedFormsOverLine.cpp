// A setpoint form edited in KOVA_FORMS_DIR that would make STORE write one setting over another, or show one the
// page never writes, is refused when its page is opened online: the user is told which file and why, no page opens
// and nothing but the status reads reaches the simulated relay.

#include "app/AppContext.h"
#include "pages/PageForm.h"
#include "support/OnlineProgram.h"
#include "support/SimHarness.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QtTest>

using kova::test::OnlineProgram;
using kova::test::SimHarness;

class tst_EditedFormsOverLine : public QObject {
    Q_OBJECT
private slots:
    void refusedFormOpensNoPageAndSendsNothing();
};

void tst_EditedFormsOverLine::refusedFormOpensNoPageAndSendsNothing()
{
    SimHarness sim({"--setpoint", "0x0103=100", "--setpoint", "0x0109=120", "--setpoint", "0x1005=20"});
    QVERIFY2(sim.ok(), sim.error().c_str());
    OnlineProgram program;
    QVERIFY(program.start(sim));
    QVERIFY(QTest::qWaitFor([&] { return program.context.setpointBlocksRead() == 6; }, 10000));
    QTRY_VERIFY_WITH_TIMEOUT(sim.codesAfter(sim.requests().size() - 3).empty(), 10000);
    QDir forms(program.dir.path());
    QVERIFY(forms.mkdir(QStringLiteral("forms")) && forms.cd(QStringLiteral("forms")));
    const QString file = forms.filePath(QStringLiteral("SETPAGE2.json"));
    const struct {
        const char *control, *direccion, *fault;
    } cases[] = {
        {"PhaseCT(7)", "0103", "PhaseCT(7) and PhaseCT(1) share bit 0 of register 0103"},
        {"PhaseCT(2)", "1005", "PhaseCT(2): register 1005 lies in block 3, which the page does not read, write or restore"},
    };
    for (const auto& c : cases) {
        std::string text = kova::pageFormText("SETPAGE2");
        const std::string at = std::string("\"") + c.control + "\": {\n            \"direccion\": \"";
        QVERIFY(text.find(at) != std::string::npos);
        text.replace(text.find(at) + at.size(), 4, c.direccion);
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.c_str()) > 0);
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
        program.arranque.principal()->command(QStringLiteral("Set_page2"))->trigger();
        qunsetenv("KOVA_FORMS_DIR");
        QVERIFY2(!pageOpened, c.control);
        QCOMPARE(program.ui.shown.size(), boxes + 1);
        const kova::test::ShownBox& box = program.ui.shown.last();
        QCOMPARE(box.text, QString::fromLatin1(kova::AppContext::kFormRefused));
        QCOMPARE(box.icon, kova::MsgIcon::Critical);
        QCOMPARE(box.title, QStringLiteral("KOVA"));
        QCOMPARE(box.detail, file + QStringLiteral(": ") + QLatin1String(c.fault));
        QVERIFY(program.arranque.principal()->isEnabled());
        QTest::qWait(2500);
        QCOMPARE(sim.codesAfter(openedAt), std::vector<int>{});
        QCOMPARE(sim.holding(0x0103), 100);
        QCOMPARE(sim.holding(0x1005), 20);
    }
}

QTEST_MAIN(tst_EditedFormsOverLine)
#include "tst_EditedFormsOverLine.moc"
