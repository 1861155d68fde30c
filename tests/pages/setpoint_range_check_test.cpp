// The setpoint image check a send and a load run: every setting a setpoint
// page binds against what its control accepts, and the relay's own address.

#include "app/support/AppFiles.h"
#include "app/support/ValidSetpoints.h"
#include "pages/FormControls.h"
#include "pages/SetpointRangeCheck.h"
#include "text/HexText.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

using namespace kova;

namespace {

using kova::test::putSetpointWord;
using kova::test::simSetpoints;

// The Put image of the Default.KOVA2 the build wrote.
SetpointImage defaultFileImage()
{
    const QByteArray file = kova::test::readAll(kova::test::builtDefaultFile());
    SetpointImage image{};
    for (std::size_t i = 0; i < image.size() && 198 + i < std::size_t(file.size()); ++i)
        image[i] = static_cast<std::uint8_t>(file[qsizetype(198 + i)]);
    return image;
}

std::vector<std::string> texts(const SetpointImage& image)
{
    std::vector<std::string> out;
    for (const RangeProblem& p : setpointRangeProblems(image))
        out.push_back(p.text);
    return out;
}

} // namespace

TEST(SetpointRangeCheck, WhatTheRelayAndTheDefaultFileHoldPasses)
{
    const struct { const char* what; SetpointImage image; } cases[] = {
        {"Default.KOVA2", defaultFileImage()},
        {"simulated relay", simSetpoints()},
        {"simulated relay, alternative table", simSetpoints(true)},
        {"every setting at its lowest", kova::test::boundarySetpoints(false)},
        {"every setting at its highest", kova::test::boundarySetpoints(true)},
        {"busy pattern, mended", kova::test::patternWithinRanges()}};
    for (const auto& c : cases)
        EXPECT_EQ(texts(c.image), std::vector<std::string>{}) << c.what;
}

TEST(SetpointRangeCheck, OneSettingJustOutsideIsNamedWithItsPageValueAndRange)
{
    const std::string setup = "SETPOINTS - System Setup: ";
    const std::string phase = "SETPOINTS - Phase Protections: ";
    const struct { std::uint32_t reg; std::uint16_t value; std::string text; } cases[] = {
        {0x0102, 4, setup + "Phase CT Rating Primary: 4 A, range 5 A to 5000 A"},
        {0x0102, 5001, setup + "Phase CT Rating Primary: 5001 A, range 5 A to 5000 A"},
        {0x0105, 6901, setup + "VT Primary: 69.01 KV, range 0.10 KV to 69.00 KV"},
        {0x1004, 4, phase + "Phase Timed O/C Delay: 0.04 Sec, range 0.05 Sec to 600 Sec"},
        {0x1002, 13, phase + "Phase Timed O/C Curve: 13, range 0 to 12"},
        {0x0121, 10, "SETPOINTS - Digital Inputs Configuration: Input 1 Function: 10, range 0 to 9"},
        {0x0101, 0x1023, setup + "Sampling Frequency: 3, range 0 to 1"},
        {0x0101, 0x1001, setup + "Ground Sensing: 0, range 1 to 2"},
        {0x0101, 0x1061, setup + "Ground Sensing: 3, range 1 to 2"}};
    for (const auto& c : cases) {
        SetpointImage image = simSetpoints();
        putSetpointWord(image, c.reg, c.value);
        const auto problems = setpointRangeProblems(image);
        ASSERT_EQ(problems.size(), 1u) << c.text;
        EXPECT_EQ(problems[0].text, c.text);
        EXPECT_EQ(problems[0].reg, c.reg);
    }
}

TEST(SetpointRangeCheck, SlaveAddressByteRefusesOnlyTheReservedAddresses)
{
    const struct { std::uint8_t address; bool refused; } cases[] = {
        {0, false}, {1, false}, {247, false}, {248, true}, {255, true}};
    for (const auto& c : cases) {
        SetpointImage image = simSetpoints();
        image[46] = c.address;
        const std::string text =
            "COMMUNICATION CONTROL: Slave Address: " + std::to_string(c.address) + ", range 0 to 247";
        EXPECT_EQ(texts(image), c.refused ? std::vector<std::string>{text} : std::vector<std::string>{})
            << int(c.address);
    }
}

TEST(SetpointRangeCheck, AllOnesFileGivesTenLinesPageByPageThenTheCount)
{
    SetpointImage image;
    image.fill(0xFF);
    const auto problems = setpointRangeProblems(image);
    // Every editor, every selector whose list leaves a code unnamed, the combo and the address.
    ASSERT_EQ(problems.size(), 77u);
    EXPECT_EQ(problems.front().text, "SETPOINTS - System Setup: Sampling Frequency: 3, range 0 to 1");
    EXPECT_EQ(problems.back().text, "COMMUNICATION CONTROL: Slave Address: 255, range 0 to 247");
    const auto all = texts(image);
    EXPECT_NE(std::find(all.begin(), all.end(), "SETPOINTS - System Setup: Phase CT Rating Primary: 65535 A, range "
                                                "5 A to 5000 A"),
              all.end());
    std::string expected;
    for (std::size_t i = 0; i < 10; ++i)
        expected += all[i] + "\n";
    EXPECT_EQ(rangeProblemsDetail(problems), expected + "and " + std::to_string(all.size() - 10) + " more");
}

TEST(SetpointRangeCheck, DetailNamesAtMostTenThenHowManyMore)
{
    const struct { std::size_t count; std::string last; } cases[] = {
        {1, "p0"}, {10, "p9"}, {11, "and 1 more"}, {25, "and 15 more"}};
    for (const auto& c : cases) {
        std::vector<RangeProblem> problems(c.count);
        for (std::size_t i = 0; i < c.count; ++i)
            problems[i].text = "p" + std::to_string(i);
        const std::string detail = rangeProblemsDetail(problems);
        EXPECT_EQ(detail.substr(detail.rfind('\n') + 1), c.last);
        const auto lines = std::count(detail.begin(), detail.end(), '\n') + 1;
        EXPECT_EQ(lines, std::ptrdiff_t(std::min<std::size_t>(c.count, 11)));
    }
}

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
        const auto got = texts(simSetpoints());
        qunsetenv("KOVA_FORMS_DIR");
        EXPECT_EQ(got, std::vector<std::string>{c.problem});
    }
}

TEST(FormControls, VisitsEveryEditorAndSelectorWithItsSettingsLoaded)
{
    const auto form = loadPageForm("SETPAGE2");
    ASSERT_TRUE(form);
    std::vector<std::string> visited;
    forEachFormControl(*form, [&](const FormControl& c) {
        visited.push_back(c.name);
        EXPECT_EQ(c.kind, form->controls.at(c.name));
        EXPECT_EQ(c.kind == "Bits", c.selector != nullptr);
        EXPECT_EQ(c.kind != "Bits", c.editor != nullptr);
        const std::string direccion = c.editor ? c.editor->Direccion() : c.selector->Direccion();
        EXPECT_EQ(c.direccion, direccion);
        EXPECT_EQ(c.reg, parseHex(direccion));
        EXPECT_NE(direccion, "0") << c.name;
    });
    std::vector<std::string> expected;
    for (const auto& [name, kind] : form->controls)
        if (kind != "ComboBox")
            expected.push_back(name);
    EXPECT_EQ(visited, expected);
}
