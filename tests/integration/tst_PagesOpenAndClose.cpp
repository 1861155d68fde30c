// Every page opened by its menu command, online, and closed as Escape does, 50 times: nothing left after the first
// round.

#include "integration/support/OnlineProgram.h"
#include "integration/support/SimHarness.h"

#include <QApplication>
#include <QDialog>
#include <QtTest>

using namespace kova;
using namespace kova::test;

class tst_PagesOpenAndClose : public QObject {
    Q_OBJECT
private slots:
    void fiftyRoundsLeaveNothingBehind()
    {
        SimHarness sim;
        QVERIFY2(sim.ok(), sim.error().c_str());
        OnlineProgram program;
        QVERIFY(program.start(sim));
        QTRY_VERIFY(program.arranque.state().link.Comunicando);
        Principal& w = *program.arranque.principal();
        auto counts = [&] {  // top-level windows, objects under the main window
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return std::pair{QApplication::topLevelWidgets().size(), w.findChildren<QObject*>().size()};
        };
        decltype(counts()) first;
        for (int n = 1; n <= 50; ++n) {
            for (const char* command : {"Set_page2", "MnuPhProtec", "MnuGndProtec", "MnuVoltProtec", "mnuFreqProtec",
                     "mnuPowerProtec", "mnuOutputRel", "mnuInputs", "mnu_Event", "mnuDateTime", "AV_page1",
                     "mnuPowerData", "MnuDemandData", "AV_page2", "AV_page3", "AV_page4"}) {
                QAction* action = w.command(command);
                QVERIFY2(action && action->isEnabled(), command);
                bool opened = false;
                QTimer::singleShot(0, [&] {
                    if (auto* page = qobject_cast<QDialog*>(QApplication::activeModalWidget()); (opened = page))
                        page->reject();
                });
                action->trigger();
                QVERIFY2(opened, qPrintable(QString("%1 in round %2").arg(command).arg(n)));
            }
            if (n == 1)
                first = counts();
        }
        QCOMPARE(counts(), first);
        QVERIFY(program.ui.shown.isEmpty());
    }
};

QTEST_MAIN(tst_PagesOpenAndClose)
#include "tst_PagesOpenAndClose.moc"
