// Every setpoint page form of the repository, opened in the settings designer's
// document, every control's property page applied without edits, and
// saved, gives the file back byte for byte.

#include "FormDocument.h"
#include "editors/DesignMetadata.h"
#include "editors/PropertyPage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
