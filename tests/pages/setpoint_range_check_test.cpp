// The setpoint image check reads the forms the program opens the pages
// with: a form edited in KOVA_FORMS_DIR is the one checked, and one that
// cannot be read refuses the image (sends and loads, with the texts each
// gives, are tested with them).

#include "app/support/ValidSetpoints.h"
#include "pages/SetpointRangeCheck.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kova;

TEST(SetpointRangeCheck, EditedFormsAreTheOnesChecked)
{
    QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(pageFormText("SETPAGE2")));
    QJsonObject form = doc.object();
    QJsonObject settings = form["settings"].toObject();
    for (auto it = settings.begin(); it != settings.end(); ++it)
        if (it.value().toObject()["direccion"] == "0102") {
            QJsonObject ct = it.value().toObject();
            ct["max"] = 500;
            it.value() = ct;
        }
    form["settings"] = settings;
    const struct { QByteArray text; std::string problem; } cases[] = {
        {QJsonDocument(form).toJson(QJsonDocument::Indented),
         "SETPOINTS - System Setup: Phase CT Rating Primary: 600 A, range 5 A to 500 A"},
        {"{", "SETPAGE2: the page's form cannot be read, so its settings are not checked"}};
    for (const auto& c : cases) {
        QTemporaryDir dir;
        QFile file(dir.filePath("SETPAGE2.json"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(c.text) == c.text.size());
        file.close();
        qputenv("KOVA_FORMS_DIR", dir.path().toUtf8());
        const auto got = setpointRangeProblems(kova::test::simSetpoints());
        qunsetenv("KOVA_FORMS_DIR");
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(got[0].text, c.problem);
    }
}

// A selector stepping by 2 names items by the codes 0 and 2 only: a relay
// value between them names none and is outside the range.
TEST(SetpointRangeCheck, SelectorValueBetweenItsStepsIsOutside)
{
    QJsonObject form = QJsonDocument::fromJson(QByteArray::fromStdString(pageFormText("SETPAGE2"))).object();
    QJsonObject settings = form["settings"].toObject();
    QJsonObject frequency = settings["Page1C(0)"].toObject();
    frequency["paso"] = 2;
    settings["Page1C(0)"] = frequency;
    form["settings"] = settings;
    QTemporaryDir dir;
    QFile file(dir.filePath("SETPAGE2.json"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(form).toJson());
    file.close();
    qputenv("KOVA_FORMS_DIR", dir.path().toUtf8());
    const SetpointImage sim = kova::test::simSetpoints();
    const std::uint16_t word = static_cast<std::uint16_t>(sim[0] << 8 | sim[1]);
    for (const int field : {0, 1, 2, 3}) {
        SCOPED_TRACE(field);
        SetpointImage image = sim;
        kova::test::putSetpointWord(image, 0x0101, static_cast<std::uint16_t>((word & ~3) | field));
        const auto got = setpointRangeProblems(image);
        if (field % 2 == 0) {
            EXPECT_TRUE(got.empty());
            continue;
        }
        ASSERT_EQ(got.size(), 1u);
        EXPECT_TRUE(got[0].text.ends_with(": " + std::to_string(field) + ", range 0 to 2 in steps of 2"))
            << got[0].text;
    }
    qunsetenv("KOVA_FORMS_DIR");
}
