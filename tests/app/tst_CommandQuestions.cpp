// The questions asked before a command that acts on the relay in service
// (reset, the clears, storing the clock): No is their default button, so an
// Enter pressed without reading does not send the command. Their texts,
// titles and icons are those of the program.

#include "app/AppContext.h"
#include "app/support/ProgramWindow.h"
#include "link/RegisterImages.h"
#include "pages/DateTimeConfigView.h"
#include "pages/ValuePage.h"
#include "reports/EventsPage.h"
#include "support/AppFiles.h"
#include "support/ScriptedUi.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace kova;
using kova::test::ScriptedUi;

class tst_CommandQuestions : public QObject {
    Q_OBJECT
private slots:
    void defaultToNo_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<MsgIcon>("icon");
        QTest::addColumn<int>("request"); // the command's request code, queued on Yes only
        QTest::newRow("Reset Relay") << "reset" << "Are you sure?" << "KOVA Reset" << MsgIcon::Question << 11;
        QTest::newRow("clear energy") << "AVPAGE2" << "Are your sure that you want to clear Energy?"
                                      << "KOVA Clear Energy" << MsgIcon::Information << 12;
        QTest::newRow("clear maintenance data") << "AVPAGE3" << "Are your sure that you want to clear Maintenance Data?"
                                                << "KOVA Clear Maintenance Data" << MsgIcon::Question << 12;
        QTest::newRow("clear demand") << "AVPAGE6" << "Are your sure that you want to clear demand?"
                                      << "KOVA Clear Demand" << MsgIcon::Information << 19;
        QTest::newRow("clear events") << "events" << "Are your sure that you want to clear Events?"
                                      << "KOVA Clear Events" << MsgIcon::Question << 13;
        QTest::newRow("store the clock") << "clock" << "Are your sure that you want to store Date and Time?"
                                         << "KOVA Date and Time" << MsgIcon::Information << 93;
    }

    void defaultToNo()
    {
        QFETCH(QString, command);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(MsgIcon, icon);
        QFETCH(int, request);
        for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
            processImages() = RegisterImages{};
            QTemporaryDir dir;
            QVERIFY(QFile::copy(kova::test::builtDefaultFile(), dir.filePath("Default.KOVA2")));
            ScriptedUi ui;
            kova::test::ProgramWindow program(dir.path());
            program.st.link.Comunicando = true;
            program.st.Habilita_Reset = true;
            ui.shown.clear();
            ui.answers.push_back(answer);
            if (command == "reset") {
                program.w->command("Reset_Relay")->trigger();
            } else if (command == "events") {
                EventsPage page(program.ctx);
                page.Clear_Click();
            } else if (command == "clock") {
                auto view = program.ctx.clockPage();
                view->Store()->click();
            } else {
                makeValuePage(*loadPageForm(command.toStdString()), program.ctx)->Clear_Click();
            }
            QCOMPARE(ui.shown.size(), 1);
            QCOMPARE(ui.shown[0].text, text);
            QCOMPARE(ui.shown[0].title, title);
            QCOMPARE(ui.shown[0].icon, icon);
            QCOMPARE(ui.shown[0].buttons, MsgButtons::YesNoDefaultNo);
            QCOMPARE(program.ctx.requestWaiting(request), answer == MsgAnswer::Yes);
        }
    }
};

QTEST_MAIN(tst_CommandQuestions)
#include "tst_CommandQuestions.moc"
