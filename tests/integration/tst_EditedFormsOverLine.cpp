// A setpoint form edited in KOVA_FORMS_DIR that STORE would misuse is refused online, naming why; no page opens and
// nothing is sent.

#include "app/AppContext.h"
#include "pages/PageForm.h"
#include "pages/support/FormVariants.h"
#include "support/OnlineProgram.h"
#include "support/SimHarness.h"

#include <QAction>
#include <QApplication>
#include <QtTest>

#include <algorithm>
#include <map>

class tst_EditedFormsOverLine : public QObject {
    Q_OBJECT
private slots:
    void refusedFormOpensNoPageAndSendsNothing()
    {
        kova::test::SimHarness sim(
            {"--setpoint", "0x0103=100", "--setpoint", "0x0109=120", "--setpoint", "0x012A=0x0026"});
        QVERIFY2(sim.ok(), sim.error().c_str());
        kova::test::OnlineProgram program;
        QVERIFY(program.start(sim));
        QVERIFY(QTest::qWaitFor([&] { return program.context.setpointBlocksRead() == 6; }, 10000));
        QTRY_VERIFY_WITH_TIMEOUT(sim.codesAfter(sim.requests().size() - 3).empty(), 10000);
        const std::map<std::string, QString> command = {{"SETPAGE2", "Set_page2"}, {"SETPAGE9", "mnu_Event"}};
        const std::string overLine[] = {"PhaseCT(7) and PhaseCT(1)", "PhaseCT(2): register 1005",
            "Page9(2): a one-bit selector needs Paso 1", "protocol.write: 111"};
        int tried = 0;
        for (const kova::test::FormVariant& v : kova::test::formVariants()) {
            if (std::ranges::none_of(overLine, [&](const std::string& s) { return v.says.starts_with(s); }))
                continue;
            ++tried;
            const QString file = program.dir.filePath(QString::fromLatin1(v.form) + ".json");
            QVERIFY(kova::test::writeAll(file, QByteArray::fromStdString(v.edit.applied(kova::pageFormText(v.form)))));
            bool pageOpened = false;
            QObject scope;  // a page that opens all the same is closed, so the test goes on
            QTimer::singleShot(3000, &scope, [&] {
                if (QWidget* page = QApplication::activeModalWidget())
                    pageOpened = true, page->close();
            });
            const std::size_t openedAt = sim.requests().size();
            const qsizetype boxes = program.ui.shown.size();
            qputenv("KOVA_FORMS_DIR", program.dir.path().toUtf8());
            program.arranque.principal()->command(command.at(v.form))->trigger();
            qunsetenv("KOVA_FORMS_DIR");
            QFile::remove(file);
            QVERIFY2(!pageOpened, v.says.c_str());
            QCOMPARE(program.ui.shown.size(), boxes + 1);
            QCOMPARE(program.ui.shown.last().text, QString::fromLatin1(kova::AppContext::kFormRefused));
            QCOMPARE(program.ui.shown.last().detail, file + QStringLiteral(": ") + QString::fromStdString(v.says));
            QTest::qWait(2500);
            QCOMPARE(sim.codesAfter(openedAt), std::vector<int>{});
            QCOMPARE(sim.holding(0x0103), 100);
            QCOMPARE(sim.holding(0x012A), 0x0026);
        }
        QCOMPARE(tried, 4);
    }
};

QTEST_MAIN(tst_EditedFormsOverLine)
#include "tst_EditedFormsOverLine.moc"
