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

#include <memory>

using namespace kova;
using namespace kova::test;

namespace {

// The menu commands of every page: the setpoint pages, the clock page, the
// value pages and the events page.
const char* const kPageCommands[] = {
    "Set_page2", "MnuPhProtec", "MnuGndProtec", "MnuVoltProtec", "mnuFreqProtec", "mnuPowerProtec",
    "mnuOutputRel", "mnuInputs", "mnu_Event", "mnuDateTime", "AV_page1", "mnuPowerData", "MnuDemandData",
    "AV_page2", "AV_page3", "AV_page4",
};

} // namespace

class tst_PagesOpenAndClose : public QObject {
    Q_OBJECT
    // One program online to one simulated relay for both cases.
    std::unique_ptr<SimHarness> sim;
    std::unique_ptr<OnlineProgram> program;

private slots:
    void initTestCase()
    {
        sim = std::make_unique<SimHarness>();
        QVERIFY2(sim->ok(), sim->error().c_str());
        program = std::make_unique<OnlineProgram>();
        QVERIFY(program->start(*sim));
        QTRY_VERIFY(program->arranque.state().link.Comunicando);
    }

    void cleanupTestCase()
    {
        program.reset();
        sim.reset();
    }

    void fiftyRoundsLeaveNothingBehind()
    {
        Principal& w = *program->arranque.principal();

        // Opens each page and closes it as Escape does.
        auto round = [&](int n) {
            for (const char* command : kPageCommands) {
                QAction* action = w.command(command);
                QVERIFY2(action && action->isEnabled(), command);
                bool opened = false;
                QTimer::singleShot(0, [&] {
                    auto* page = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                    opened = page != nullptr;
                    if (page) page->reject();
                });
                action->trigger();
                QVERIFY2(opened, qPrintable(QString("%1 in round %2").arg(command).arg(n)));
            }
        };
        struct Counts {
            qsizetype windows, objects;
        };
        auto counts = [&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return Counts{QApplication::topLevelWidgets().size(), w.findChildren<QObject*>().size()};
        };

        round(1);
        if (QTest::currentTestFailed()) return;
        const Counts first = counts();
        for (int n = 2; n <= 50 && !QTest::currentTestFailed(); ++n)
            round(n);
        if (QTest::currentTestFailed()) return;
        const Counts last = counts();
        QCOMPARE(last.windows, first.windows);
        QCOMPARE(last.objects, first.objects);
        QVERIFY(program->ui.shown.isEmpty());
    }

    // The style keeps a picture of each look of a selector (colours, size,
    // state), keyed by its palette: selectors in the design colours share
    // the program's palette, so opening a page again adds no new pictures.
    void selectorsOfAPageOpenedAgainLookAsBefore()
    {
        Principal& w = *program->arranque.principal();
        auto looks = [&](const char* command) {
            QSet<qint64> keys;
            QTimer::singleShot(0, [&] {
                QWidget* page = QApplication::activeModalWidget();
                for (QComboBox* c : page->findChildren<QComboBox*>())
                    keys.insert(c->palette().cacheKey());
                qobject_cast<QDialog*>(page)->reject();
            });
            w.command(command)->trigger();
            return keys;
        };
        for (const char* command : {"Set_page2", "MnuPhProtec", "mnuOutputRel"}) {
            const QSet<qint64> first = looks(command);
            QVERIFY2(!first.isEmpty(), command);
            QCOMPARE(looks(command), first);
        }
    }
};

QTEST_MAIN(tst_PagesOpenAndClose)
#include "tst_PagesOpenAndClose.moc"
