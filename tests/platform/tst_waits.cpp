// Monotonic waits and the termination signals.

#include "platform/TerminationSignals.h"
#include "platform/Waits.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <csignal>

using namespace kova;

class tst_waits : public QObject {
    Q_OBJECT
private slots:
    void runEventsUntilEndsWhenDone_data()
    {
        QTest::addColumn<int>("doneAfterMs"); // -1: never
        QTest::addColumn<int>("limitMs");
        QTest::addColumn<bool>("done");
        QTest::addColumn<int>("atLeastMs");
        QTest::addColumn<int>("belowMs");
        QTest::newRow("done at once") << 0 << 2000 << true << 0 << 1000;
        QTest::newRow("done by a timer") << 100 << 2000 << true << 100 << 1000;
        QTest::newRow("never done") << -1 << 300 << false << 300 << 1500;
    }

    void runEventsUntilEndsWhenDone()
    {
        QFETCH(int, doneAfterMs);
        QFETCH(int, limitMs);
        QFETCH(bool, done);
        QFETCH(int, atLeastMs);
        QFETCH(int, belowMs);
        bool flag = doneAfterMs == 0;
        if (doneAfterMs > 0) QTimer::singleShot(doneAfterMs, [&] { flag = true; });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(runEventsUntil(limitMs, true, [&] { return flag; }), done);
        const qint64 took = clock.elapsed();
        QVERIFY2(took >= atLeastMs && took < belowMs, qPrintable(QString::number(took)));
    }

    void runEventsForKeepsTimersRunning()
    {
        int ticks = 0;
        QTimer t;
        t.setInterval(20);
        connect(&t, &QTimer::timeout, [&] { ++ticks; });
        t.start();
        QElapsedTimer clock;
        clock.start();
        runEventsFor(300, true);
        const qint64 took = clock.elapsed();
        QVERIFY2(took >= 300, qPrintable(QString::number(took)));
        QVERIFY2(took < 1500, qPrintable(QString::number(took)));
        QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
    }

    // Before the test below: once every loop is quit, nested loops stop
    // handling events.
    void runEventsForEndsWhenItsStopConditionHolds()
    {
        bool stop = false;
        QTimer::singleShot(50, [&] { stop = true; });
        QElapsedTimer clock;
        clock.start();
        runEventsFor(5000, true, [&] { return stop; });
        QVERIFY(stop);
        QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
        // A condition that never holds changes nothing.
        clock.restart();
        runEventsFor(100, true, [] { return false; });
        QVERIFY(clock.elapsed() >= 100);
    }

    void runEventsForLastsEvenWhenEveryLoopIsQuit()
    {
        QTimer::singleShot(50, [] { QCoreApplication::exit(0); });
        QElapsedTimer clock;
        clock.start();
        runEventsFor(250, false);
        QVERIFY(clock.elapsed() >= 250);
    }

    void pauseWithoutEventsHandlesNothing()
    {
        bool fired = false;
        QTimer::singleShot(10, [&] { fired = true; });
        QElapsedTimer clock;
        clock.start();
        pauseWithoutEvents(200);
        QVERIFY(clock.elapsed() >= 200);
        QVERIFY(!fired);
        QTRY_VERIFY(fired);
    }

    void termSignalArrivesOnTheEventLoop()
    {
        std::signal(SIGHUP, SIG_DFL); // whatever the test runner was started with
        TerminationSignals sigs;
        QSignalSpy spy(&sigs, &TerminationSignals::terminationRequested);
        ::raise(SIGTERM);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), SIGTERM);
        ::raise(SIGINT);
        QTRY_COMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toInt(), SIGINT);
        ::raise(SIGHUP);
        QTRY_COMPARE(spy.count(), 3);
        QCOMPARE(spy.at(2).at(0).toInt(), SIGHUP);
        QCOMPARE(TerminationSignals::name(SIGHUP), "SIGHUP");
    }

    // A signal ignored at start stays ignored (nohup: SIGHUP; a background job of a non-interactive shell:
    // SIGINT); the others still end the program. At the end each signal gets its action from before back.
    void ignoredSignalStaysIgnored_data()
    {
        QTest::addColumn<int>("ignored");
        QTest::addColumn<int>("handled");
        QTest::newRow("SIGHUP under nohup") << SIGHUP << SIGTERM;
        QTest::newRow("SIGINT in a background job") << SIGINT << SIGHUP;
        QTest::newRow("SIGTERM") << SIGTERM << SIGINT;
    }

    void ignoredSignalStaysIgnored()
    {
        QFETCH(int, ignored);
        QFETCH(int, handled);
        static volatile std::sig_atomic_t caught;
        caught = 0;
        for (int sig : {SIGTERM, SIGINT, SIGHUP}) std::signal(sig, [](int s) { caught = s; });
        std::signal(ignored, SIG_IGN);
        {
            TerminationSignals sigs;
            QSignalSpy spy(&sigs, &TerminationSignals::terminationRequested);
            ::raise(ignored);
            ::raise(handled);
            QTRY_COMPARE(spy.count(), 1);
            QCOMPARE(spy.at(0).at(0).toInt(), handled);
            QCOMPARE(int(caught), 0);
        }
        ::raise(ignored);
        QCOMPARE(int(caught), 0);
        ::raise(handled);
        QCOMPARE(int(caught), handled);
        for (int sig : {SIGTERM, SIGINT, SIGHUP}) std::signal(sig, SIG_DFL);
    }
};

QTEST_MAIN(tst_waits)
#include "tst_waits.moc"
