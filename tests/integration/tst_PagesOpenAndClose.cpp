// Every page opened from the main window and closed again, many times over,
// with the program online to the simulated relay (pages read, poll and start
// their timers): nothing is left behind - no window, no object under the
// main window - once the first round has built what the program keeps.

#include "integration/support/OnlineProgram.h"
#include "integration/support/SimHarness.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QtTest>

#include <map>

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
        // The style keeps a picture of each look of a selector, keyed by its
        // palette: selectors in the design colours share the program's
        // palette, so a page opened again adds no new pictures.
        std::map<QString, QSet<qint64>> looks[2];  // of the first round, of the last
        for (int n = 1; n <= 50; ++n) {
            // Each page by its menu command, closed as Escape does.
            for (const char* command : {"Set_page2", "MnuPhProtec", "MnuGndProtec", "MnuVoltProtec", "mnuFreqProtec",
                                        "mnuPowerProtec", "mnuOutputRel", "mnuInputs", "mnu_Event", "mnuDateTime",
                                        "AV_page1", "mnuPowerData", "MnuDemandData", "AV_page2", "AV_page3", "AV_page4"}) {
                QAction* action = w.command(command);
                QVERIFY2(action && action->isEnabled(), command);
                QSet<qint64>& keys = looks[n > 1][command];
                keys.clear();
                bool opened = false;
                QTimer::singleShot(0, [&] {
                    auto* page = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                    if (!(opened = page != nullptr)) return;
                    for (QComboBox* c : page->findChildren<QComboBox*>())
                        keys.insert(c->palette().cacheKey());
                    page->reject();
                });
                action->trigger();
                QVERIFY2(opened, qPrintable(QString("%1 in round %2").arg(command).arg(n)));
            }
            if (n == 1) first = counts();
        }
        QCOMPARE(counts(), first);
        QVERIFY(program.ui.shown.isEmpty());
        for (const char* command : {"Set_page2", "MnuPhProtec", "mnuOutputRel"})
            QVERIFY2(!looks[0][command].isEmpty(), command);
        QVERIFY(looks[1] == looks[0]);
    }
};

QTEST_MAIN(tst_PagesOpenAndClose)
#include "tst_PagesOpenAndClose.moc"
