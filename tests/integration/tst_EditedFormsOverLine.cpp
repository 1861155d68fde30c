// A setpoint form edited in KOVA_FORMS_DIR that STORE would misuse is refused online, naming why; nothing is sent.

#include "app/AppContext.h"
#include "pages/PageForm.h"
#include "support/OnlineProgram.h"
#include "support/SimHarness.h"

#include <QAction>
#include <QApplication>
#include <QtTest>

class tst_EditedFormsOverLine : public QObject {
    Q_OBJECT
private slots:
    void refusedFormOpensNoPageAndSendsNothing()
    {
        kova::test::SimHarness sim({"--setpoint", "0x0103=100", "--setpoint", "0x0109=120"});
        QVERIFY2(sim.ok(), sim.error().c_str());
        kova::test::OnlineProgram program;
        QVERIFY(program.start(sim));
        QVERIFY(QTest::qWaitFor([&] { return program.context.setpointBlocksRead() == 6; }, 10000));
        QTRY_VERIFY_WITH_TIMEOUT(sim.codesAfter(sim.requests().size() - 3).empty(), 10000);
        const QString file = program.dir.filePath(QStringLiteral("SETPAGE2.json"));
        for (const auto& [control, direccion, fault] :
            {std::tuple{"PhaseCT(7)", "0103", "PhaseCT(7) and PhaseCT(1) share bit 0 of register 0103"},
                std::tuple{"PhaseCT(2)", "1005",
                    "PhaseCT(2): register 1005 lies in block 3, which the page does not read, write or restore"}}) {
            std::string text = kova::pageFormText("SETPAGE2");
            const std::string at = std::string("\"") + control + "\": {\n            \"direccion\": \"";
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly)
                && f.write(text.replace(text.find(at) + at.size(), 4, direccion).c_str()) > 0);
            f.close();
            bool pageOpened = false;
            QObject scope;  // a page that opens all the same is closed, so the test goes on
            QTimer::singleShot(3000, &scope, [&] {
                if (QWidget* page = QApplication::activeModalWidget())
                    pageOpened = true, page->close();
            });
            const std::size_t openedAt = sim.requests().size();
            const qsizetype boxes = program.ui.shown.size();
            qputenv("KOVA_FORMS_DIR", program.dir.path().toUtf8());
            program.arranque.principal()->command(QStringLiteral("Set_page2"))->trigger();
            qunsetenv("KOVA_FORMS_DIR");
            QVERIFY2(!pageOpened, control);
            QCOMPARE(program.ui.shown.size(), boxes + 1);
            QCOMPARE(program.ui.shown.last().text, QString::fromLatin1(kova::AppContext::kFormRefused));
            QCOMPARE(program.ui.shown.last().detail, file + QStringLiteral(": ") + QLatin1String(fault));
            QTest::qWait(2500);
            QCOMPARE(sim.codesAfter(openedAt), std::vector<int>{});
            QCOMPARE(sim.holding(0x0103), 100);
        }
    }
};

QTEST_MAIN(tst_EditedFormsOverLine)
#include "tst_EditedFormsOverLine.moc"
