// The relay properties window over the program's own file routines: what
// OK takes back, what every other way of closing leaves, and the texts as a
// saved setpoint file holds them.

#include "app/AppContext.h"
#include "app/Propiedades.h"
#include "link/RegisterImages.h"
#include "support/AppFiles.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

using namespace kova;
using kova::test::ScriptedUi;
using kova::test::readAll;

namespace {

struct ProgramWindow {
    ScriptedUi ui;
    AppState st;
    AppContext ctx{st};
    Principal w{st, ctx.services()};
    Manejo_de_Archivos& files() { return *ctx.archivos(); }
};

QString blanks(int n) { return QString(n, QLatin1Char(' ')); }

} // namespace

class tst_propiedades : public QObject {
    Q_OBJECT
private slots:
    void init() { processImages() = RegisterImages{}; }

    void loadShowsTheTextsAndDisablesTheMainWindow()
    {
        ProgramWindow p;
        p.files().Programador = "Ann" + std::string(17, ' ');
        p.files().Nombre_Rele = "Feeder 7";
        p.files().Observaciones = "Checked";
        p.files().Firmware_Rele = "1.05    ";
        Propiedades window(p.files(), p.w);
        QCOMPARE(window.windowTitle(), QString("Properties"));
        window.Form_Load();
        QVERIFY(!p.w.isEnabled());
        QCOMPARE(window.Text1()->text(), QString("Ann"));
        QCOMPARE(window.Text2()->text(), QString("Feeder 7"));
        QCOMPARE(window.Text3()->text(), QString("Checked"));
        QCOMPARE(window.Text5()->text(), QString("1.05"));  // shown trimmed, and only shown
        QVERIFY(window.Text5()->isReadOnly());
        QCOMPARE(window.width(), p.w.screen()->availableGeometry().width());
    }

    void closingTakesBackOnlyOnOk_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("typed");    // programmer, name, observations
        QTest::addColumn<QStringList>("expected"); // as held afterwards
        const QStringList old{"old programmer", "old name", "old observations"};
        const QStringList edits{"Ann", "ABCDEFGHIJKLMNOPQRSTUVWXY", "changed"};
        const QString long150 = QString("Obs. ").repeated(30);
        QTest::newRow("OK pads") << "ok" << QStringList{"Ann", "R1", "first"}
                                 << QStringList{"Ann" + blanks(17), "R1" + blanks(18), "first"};
        QTest::newRow("OK cuts by characters")
            << "ok" << QStringList{"ABCDEFGHIJKLMNOPQRSTUVWXY", "ñandú-€ relay name 25", long150}
            << QStringList{"ABCDEFGHIJKLMNOPQRST", "ñandú-€ relay name 2", long150};
        QTest::newRow("Cancel") << "cancel" << edits << old;
        QTest::newRow("Escape") << "escape" << edits << old;
        QTest::newRow("frame") << "frame" << edits << old;
    }

    void closingTakesBackOnlyOnOk()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, expected);
        ProgramWindow p;
        p.files().Programador = "old programmer";
        p.files().Nombre_Rele = "old name";
        p.files().Observaciones = "old observations";
        p.files().Firmware_Rele = "1.01";
        Propiedades window(p.files(), p.w);
        window.Form_Load();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.Text1()->setText(typed[0]);
        window.Text2()->setText(typed[1]);
        window.Text3()->setText(typed[2]);
        QTest::keyClicks(window.Text5(), "9.99");
        if (how == "ok")
            window.findChild<QPushButton*>("Okey")->click();
        else if (how == "cancel")
            window.findChild<QPushButton*>("Cancel")->click();
        else if (how == "escape")
            QTest::keyClick(&window, Qt::Key_Escape);
        else
            window.close();
        QVERIFY(!window.isVisible());
        QVERIFY(p.w.isEnabled());
        QCOMPARE(QString::fromStdString(p.files().Programador), expected[0]);
        QCOMPARE(QString::fromStdString(p.files().Nombre_Rele), expected[1]);
        QCOMPARE(QString::fromStdString(p.files().Observaciones), expected[2]);
        QCOMPARE(QString::fromStdString(p.files().Firmware_Rele), QString("1.01"));
        QCOMPARE(window.Text5()->text(), QString("1.01"));
    }

    void savedFileHoldsTheTexts()
    {
        QTemporaryDir dir;
        ProgramWindow p;
        Propiedades window(p.files(), p.w);
        window.Form_Load();
        window.Text1()->setText("Año programmer");
        window.Text2()->setText("Relay € 9");
        window.Text3()->setText(QString("x").repeated(120));
        window.Okey_Click();
        const QString path = dir.filePath("p.KOVA2");
        QVERIFY(p.files().Grabar_Archivo(QFile::encodeName(path).toStdString()));
        const QByteArray f = readAll(path);
        QCOMPARE(f.size(), 4268);
        QCOMPARE(f.mid(58, 20), QByteArray("A\xF1o programmer      "));
        QCOMPARE(f.mid(78, 20), QByteArray("Relay \x80 9           "));
        QCOMPARE(f.mid(98, 100), QByteArray(100, 'x'));
    }

    // The boxes show the file's texts without their padding; what is typed is saved padded again.
    void typedTextsAreSavedAsTheFileHoldsThem()
    {
        QTemporaryDir dir;
        ProgramWindow p;
        QVERIFY(p.files().Leer_Archivo(QFile::encodeName(kova::test::builtDefaultFile()).toStdString()));
        p.files().Observaciones = "Old note" + std::string(92, ' ');
        Propiedades window(p.files(), p.w);
        window.Form_Load();
        QCOMPARE(window.Text1()->text() + "|" + window.Text3()->text(), QString("|Old note"));
        QTest::keyClicks(window.Text1(), "Bob Smith");
        QTest::keyClicks(window.Text2(), "Feeder 12");
        QTest::keyClicks(window.Text3(), ", checked");
        window.findChild<QPushButton*>("Okey")->click();
        const QString path = dir.filePath("typed.KOVA2");
        QVERIFY(p.files().Grabar_Archivo(QFile::encodeName(path).toStdString()));
        QCOMPARE(readAll(path).mid(58, 140),
            QByteArray("Bob Smith").leftJustified(20) + QByteArray("Feeder 12").leftJustified(20)
                + QByteArray("Old note, checked").leftJustified(100));
        window.Text1()->clear();  // limited to 20 as typed; a character outside Windows-1252 refused
        QTest::keyClicks(window.Text1(), "ABCDEFGHIJKLMNOPQRSTUVWXY");
        window.Text3()->insert(QString(QChar(0x6F22)));
        QCOMPARE(
            window.Text1()->text() + "|" + window.Text3()->text(), QString("ABCDEFGHIJKLMNOPQRST|Old note, checked"));
    }

    void menuCommandShowsTheWindowModally()
    {
        ProgramWindow p;
        QAction* command = p.w.command("RELAY_P");
        QVERIFY(command && command->isEnabled());
        bool sawIt = false;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<Propiedades*>(QApplication::activeModalWidget());
            sawIt = window && window->parent() == nullptr && !p.w.isEnabled();
            if (window) {
                window->Text2()->setText("From menu");
                window->Okey_Click();
            }
        });
        command->trigger();
        QVERIFY(sawIt);
        QVERIFY(p.w.isEnabled());
        QCOMPARE(p.files().Nombre_Rele, std::string("From menu") + std::string(11, ' '));
    }
};

QTEST_MAIN(tst_propiedades)
#include "tst_propiedades.moc"
