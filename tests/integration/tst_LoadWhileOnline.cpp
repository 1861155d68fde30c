// A setpoint file loaded while the program is online with the simulated
// relay: the status read on the line when the file is read changes nothing
// of the loaded data, so saving it again gives the file loaded.

#include "app/AppContext.h"
#include "app/support/AppFiles.h"
#include "support/OnlineProgram.h"
#include "support/SimHarness.h"

#include <QtTest>

#include <algorithm>

using kova::test::OnlineProgram;
using kova::test::SimHarness;
using kova::test::builtDefaultFile;
using kova::test::readAll;

namespace {

// A setpoint file whose data differ from the relay's: actual values, events,
// header texts and firmware text of its own.
QByteArray fileOfItsOwn()
{
    QByteArray file = readAll(builtDefaultFile());
    for (int i = 0; i < 401; ++i)
        file[499 + i] = char(0x30 + i % 71);
    for (int r = 0; r < 20; ++r) {
        file.replace(900 + 60 * r, 60, QByteArray::number(90 - r).append(",Remote Trip 01/02/2003").leftJustified(60));
        for (int c = 1; c <= 10; ++c)
            file.replace(2160 + 210 * (c - 1) + 10 * r, 10, QByteArray::number(c * 100 + r).leftJustified(10));
    }
    file.replace(58, 20, QByteArray("Ana").leftJustified(20));
    file.replace(78, 20, QByteArray("Feeder 7").leftJustified(20));
    file.replace(98, 100, QByteArray("Loaded while online").leftJustified(100));
    file.replace(4260, 8, QByteArray("1.0\xF1\xB0\xE9\xBFx"));
    return file;
}

} // namespace

class tst_LoadWhileOnline : public QObject {
    Q_OBJECT
private slots:
    void savedFileIsTheFileLoaded();
};

void tst_LoadWhileOnline::savedFileIsTheFileLoaded()
{
    SimHarness sim;
    QVERIFY2(sim.ok(), sim.error().c_str());
    OnlineProgram program;
    QVERIFY(program.start(sim));
    kova::Principal* w = program.arranque.principal();
    const kova::AppState& st = program.arranque.state();

    // Online, the relay's setpoints and events read, the status polled.
    QTRY_VERIFY_WITH_TIMEOUT(st.link.Comunicando, 10000);
    const auto statusReads = [&] {
        const auto c = sim.requestCodes();
        return std::count(c.begin(), c.end(), 2);
    };
    QTRY_VERIFY_WITH_TIMEOUT(statusReads() >= 3 && program.context.setpointBlocksRead() == 6, 10000);

    const QByteArray file = fileOfItsOwn();
    const QString loaded = program.dir.filePath("own.KOVA2");
    {
        QFile f(loaded);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(file), qint64(file.size()));
    }
    // A status read is always on the line while online.
    QVERIFY(program.context.MSComm1().portOpen());
    program.ui.fileNames = {loaded};
    w->Load_s_Click();
    QVERIFY(!st.link.Comunicando);
    // Its reply comes, and only closes the port.
    QTRY_VERIFY_WITH_TIMEOUT(!program.context.MSComm1().portOpen(), 5000);
    QTest::qWait(700); // a status refresh
    QVERIFY(!st.link.Comunicando);
    QCOMPARE(w->panelText(6), QString("Not Communicating...."));

    const QString saved = program.dir.filePath("saved.KOVA2");
    program.ui.fileNames = {saved};
    w->Save_s_Click();
    QVERIFY(program.ui.shown.isEmpty());
    const QByteArray again = readAll(saved);
    QCOMPARE(again.size(), file.size());
    QCOMPARE(again.left(50), file.left(50));
    QCOMPARE(again.mid(58, 441), file.mid(58, 441));   // header texts, setpoints
    QCOMPARE(again.mid(499, 401), file.mid(499, 401)); // actual values
    QCOMPARE(again.mid(900), file.mid(900));           // events, firmware text
}

QTEST_MAIN(tst_LoadWhileOnline)
#include "tst_LoadWhileOnline.moc"
