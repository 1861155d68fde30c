// The setpoint file dialogs as the user meets them: where they start, and
// the extension a typed name gets.

#include "app/AppContext.h"
#include "link/RegisterImages.h"
#include "platform/Ui.h"
#include "support/AppFiles.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace kova;
using kova::test::builtDefaultFile;

namespace {

// Runs `answer` on the file dialog the next step opens; keeps the folder it
// started in.
void onNextFileDialog(QString* startedIn, std::function<void(QFileDialog*)> answer)
{
    QTimer::singleShot(0, [=] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        *startedIn = d->directory().absolutePath();
        answer(d);
    });
}

void typeName(QFileDialog* d, const QString& folder, const QString& name)
{
    d->setDirectory(folder);
    auto* edit = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    QTest::keyClicks(edit, name);
    QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace

class tst_filedialogs : public QObject {
    Q_OBJECT
private:
    QTemporaryDir home_;
    QTemporaryDir app_;
    QTemporaryDir relays_;

private slots:
    void initTestCase()
    {
        // A user's home with a documents folder, started from elsewhere.
        qputenv("HOME", home_.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home_.filePath("config").toLocal8Bit());
        QVERIFY(QDir(home_.path()).mkpath("Documents"));
        QVERIFY(QDir::setCurrent(app_.path()));
        QVERIFY(QFile::copy(builtDefaultFile(), app_.filePath("Default.KOVA2")));
    }

    void saveAddsTheExtensionAndTheNextDialogStartsThere()
    {
        QtUi::forgetLastFolder();
        processImages() = RegisterImages{};
        AppState st;
        st.Ruta_App = app_.path();
        AppContext ctx(st);
        Principal w(st, ctx.services());
        w.show();
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QCOMPARE(documents, home_.filePath("Documents"));

        QString startedIn;
        onNextFileDialog(&startedIn, [&](QFileDialog* d) { typeName(d, relays_.path(), "relay1"); });
        w.Save_s_Click();
        QCOMPARE(startedIn, documents);
        QVERIFY(QFileInfo::exists(relays_.filePath("relay1.KOVA2")));
        QCOMPARE(QFileInfo(relays_.filePath("relay1.KOVA2")).size(), qint64(4268));
        QVERIFY(!QFileInfo::exists(relays_.filePath("relay1")));

        // A name with an extension of its own keeps it.
        onNextFileDialog(&startedIn, [&](QFileDialog* d) { typeName(d, relays_.path(), "relay2.kova2"); });
        w.Toolbar1_ButtonClick(2);
        QCOMPARE(startedIn, relays_.path());
        QVERIFY(QFileInfo::exists(relays_.filePath("relay2.kova2")));

        onNextFileDialog(&startedIn, [](QFileDialog* d) { d->reject(); });
        w.Load_s_Click();
        QCOMPARE(startedIn, relays_.path());

        // Loading from another folder moves the next dialog there.
        QTemporaryDir other;
        QVERIFY(QFile::copy(relays_.filePath("relay1.KOVA2"), other.filePath("copy.KOVA2")));
        onNextFileDialog(&startedIn, [&](QFileDialog* d) { typeName(d, other.path(), "copy.KOVA2"); });
        w.Load_s_Click();
        QCOMPARE(w.windowTitle(), kMainCaption + " - " + other.filePath("copy.KOVA2"));
        onNextFileDialog(&startedIn, [](QFileDialog* d) { d->reject(); });
        w.Save_s_Click();
        QCOMPARE(startedIn, other.path());
    }

    void firstFilterSuffix_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("setpoint save") << QString(Filtro_Guardar) << "KOVA2";
        QTest::newRow("setpoint open") << QString(Filtro_Abrir) << "KOVA2";
        QTest::newRow("all files only") << "All Files (*)" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("pdf") << "PDF (*.pdf);;All Files (*)" << "pdf";
    }

    void firstFilterSuffix()
    {
        QFETCH(QString, filter);
        QFETCH(QString, suffix);
        QCOMPARE(kova::firstFilterSuffix(filter), suffix);
    }
};

QTEST_MAIN(tst_filedialogs)
#include "tst_filedialogs.moc"
