// Every setpoint page form of the repository, opened in the settings designer's
// document, every control's property page applied without edits, and
// saved, gives the file back byte for byte.

#include "FormDocument.h"
#include "editors/DesignMetadata.h"
#include "editors/PropertyPage.h"
#include "platform/FullFolder.h"
#include "platform/WholeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace kova;

TEST(FormsRoundTrip, ApplyingEveryPageUneditedAndSavingChangesNoByte)
{
    const QDir forms(qEnvironmentVariable("KOVA_SOURCE_DIR") + QStringLiteral("/pages/forms"));
    // The setpoint pages: the value pages place no editor with settings.
    const QStringList files = forms.entryList({QStringLiteral("SETPAGE*.json")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        QFile f(forms.filePath(file));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray original = f.readAll();
        QString error;
        auto doc = FormDocument::open(forms.filePath(file), &error);
        ASSERT_TRUE(doc) << error.toStdString();
        int applied = 0;
        for (const auto& [name, kind] : doc->page().form().controls) {
            const PropertyPageDef* def = propertyPageDef(propertyPageOf(doc->className(name)));
            if (!def)
                continue;
            PropertyPage page(*def);
            page.selectionChanged({doc->control(name)});
            const auto result = page.applyChanges({doc->control(name)}, [](const std::string&) { return true; });
            EXPECT_TRUE(result.applied) << name << ": " << result.message;
            ++applied;
        }
        EXPECT_GT(applied, 0);
        EXPECT_EQ(doc->text().toStdString(), original.toStdString());
        QTemporaryDir dir;
        const QString copy = dir.filePath(file);
        ASSERT_TRUE(doc->save(copy, &error));
        QFile saved(copy);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_EQ(saved.readAll(), original);
    }
}

// A save that fails (a full disk) leaves the form file byte for byte, no temporary file, and names the reason.
// The steps a write can fail at are the file writer's own, tested with it.
TEST(FormsRoundTrip, AFailedSaveLeavesTheFormFile)
{
    const QString form = qEnvironmentVariable("KOVA_SOURCE_DIR") + QStringLiteral("/pages/forms/SETPAGE2.json");
    QString error;
    auto doc = FormDocument::open(form, &error);
    ASSERT_TRUE(doc) << error.toStdString();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("SETPAGE2.json"));
    ASSERT_TRUE(writeWholeFile(path.toStdString(), "the old form"));
    {
        const FileWriteFault fault(FileWriteFault::Step::Write, ENOSPC, 50);
        EXPECT_FALSE(doc->save(path, &error));
    }
    EXPECT_EQ(error, path + QStringLiteral(": ") + QString::fromUtf8(std::strerror(ENOSPC)));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "the old form");
    EXPECT_EQ(test::folderNames(dir.path()), QStringList{QStringLiteral("SETPAGE2.json")});
}
