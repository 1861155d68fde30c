#pragma once
// A simulator (tools/relay-sim or tools/modem-sim) on one end of a socat
// pseudo-terminal pair in a folder of its own; COM n of the program is
// mapped to the other end. Both processes are stopped by their ids.

#include "AppFiles.h"

#include <QList>
#include <QPair>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace kova::test {

class SimOnPty {
public:
    QTemporaryDir dir;
    QString log;

    // Starts `program` with --device and --log added to `options`; true when
    // its log says it is ready.
    bool start(int com, const QString& program, const QStringList& options)
    {
        socat_.start("socat", {"pty,raw,echo=0,link=" + dir.filePath("sim"),
                               "pty,raw,echo=0,link=" + dir.filePath("com")});
        if (!socat_.waitForStarted()) return false;
        if (!QTest::qWaitFor([&] { return QFile::exists(dir.filePath("sim")) && QFile::exists(dir.filePath("com")); },
                             5000))
            return false;
        log = dir.filePath("sim.log");
        sim_.setProcessChannelMode(QProcess::ForwardedChannels);
        sim_.start(program, QStringList{"--device", dir.filePath("sim"), "--log", log} + options);
        if (!sim_.waitForStarted()) return false;
        if (!QTest::qWaitFor([&] { return readAll(log).startsWith("ready"); }, 5000)) return false;
        qputenv(("KOVA_COM" + QByteArray::number(com)).constData(), dir.filePath("com").toLocal8Bit());
        return true;
    }

    // Chunks of a log in the form "<dir> MS HEX HEX ...": (ms, bytes).
    QList<QPair<qint64, QByteArray>> chunks(const char* direction) const
    {
        QList<QPair<qint64, QByteArray>> out;
        for (const QByteArray& line : readAll(log).split('\n')) {
            const QList<QByteArray> w = line.split(' ');
            if (w.size() < 3 || w[0] != direction) continue;
            QByteArray bytes;
            for (int i = 2; i < w.size(); ++i) bytes.append(char(w[i].toInt(nullptr, 16)));
            out.append({w[1].toLongLong(), bytes});
        }
        return out;
    }
    QByteArray received() const
    {
        QByteArray all;
        for (const auto& c : chunks("rx")) all += c.second;
        return all;
    }

    // The line goes away under the program, as a USB adapter pulled out:
    // the pseudo-terminal pair ends.
    void unplug()
    {
        socat_.kill();
        socat_.waitForFinished(3000);
    }

    ~SimOnPty()
    {
        for (QProcess* p : {&sim_, &socat_}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->terminate();
            if (!p->waitForFinished(3000)) {
                p->kill();
                p->waitForFinished(3000);
            }
        }
    }

private:
    QProcess socat_, sim_;
};

} // namespace kova::test
