// The setpoint image check reads the forms the program opens the pages with: a form edited in KOVA_FORMS_DIR is the
// one checked, and one that cannot be read refuses the image (sends and loads, with their texts, are tested with them).

#include "app/support/ValidSetpoints.h"
#include "pages/SetpointRangeCheck.h"
#include "pages/support/FormVariants.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>

using namespace kova;
using Strings = std::vector<std::string>;

namespace {
// The problems the check finds in an image while KOVA_FORMS_DIR holds this text as SETPAGE2's form (the folder
// named "<dir>"); a form it could not use is marked "unusable: ".
Strings problems(const std::string& form, const SetpointImage& image)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("SETPAGE2.json"));
    if (!file.open(QIODevice::WriteOnly) || file.write(form.c_str()) != qint64(form.size()))
        return {"the form was not written"};
    file.close();
    qputenv("KOVA_FORMS_DIR", dir.path().toUtf8());
    Strings texts;
    for (const RangeProblem& p : setpointRangeProblems(image))
        texts.push_back((p.formUnusable ? "unusable: " : "") +
                        QString::fromStdString(p.text).replace(dir.path(), "<dir>").toStdString());
    qunsetenv("KOVA_FORMS_DIR");
    return texts;
}

// The number an editor's text shows, its unit left off.
double number(const std::string& text)
{
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}
} // namespace

TEST(SetpointRangeCheck, EditedFormsAreTheOnesChecked)
{
    const std::string lowMax = test::setAt({"settings", "PhaseCT(0)", "max"}, 500).applied(pageFormText("SETPAGE2"));
    EXPECT_EQ(problems(lowMax, test::simSetpoints()),
              Strings{"SETPOINTS - System Setup: Phase CT Rating Primary: 600 A, range 5 A to 500 A"});
    // A form that cannot be used is named with its path and the loader's reason, not as a setting out of range.
    EXPECT_EQ(problems("{", test::simSetpoints()),
              Strings{"unusable: <dir>/SETPAGE2.json: (text): unterminated object at offset 1"});
    // An empty copy is a text that is not JSON, not a file that cannot be read.
    EXPECT_EQ(problems("", test::simSetpoints()), Strings{"unusable: <dir>/SETPAGE2.json: (text): illegal value at offset 0"});
    const std::string lowMin = test::setAt({"settings", "PhaseCT(0)", "min"}, -1).applied(pageFormText("SETPAGE2"));
    EXPECT_EQ(problems(lowMin, test::simSetpoints()),
              Strings{"unusable: <dir>/SETPAGE2.json: settings.PhaseCT(0).min: Invalid value for Min: -1 is negative"});
}

// A value one raw step outside its editor's range never reads as inside: where the page's pattern rounds it onto the
// bound, the value and both bounds are given in every decimal of the scale. Every editor of every setpoint page, at
// both ends (the three-range and two-range editors' delays among them).
TEST(SetpointRangeCheck, OneStepOutsideReadsOutsideOnEveryEditor)
{
    const SetpointImage sim = test::simSetpoints();
    int checked = 0;
    for (const std::string& name : pageFormNames()) {
        const auto form = name.rfind("SETPAGE", 0) == 0 ? loadPageForm(name) : std::nullopt;
        if (!form)
            continue;
        forEachFormControl(*form, [&](const FormControl& c) {
            if (!c.editor || c.editor->DataLen() != 1)
                return;
            for (const std::int64_t v : {std::int64_t{c.editor->Min()} - 1, std::int64_t{c.editor->Max()} + 1}) {
                if (v < 0 || v > 0xFFFF)
                    continue;
                SetpointImage image = sim;
                test::putSetpointWord(image, *c.reg, static_cast<std::uint16_t>(v));
                const auto found = setpointRangeProblems(image);
                const auto p = std::find_if(found.begin(), found.end(), [&](auto& q) { return q.reg == *c.reg; });
                ASSERT_NE(p, found.end()) << c.name << " " << v;
                const auto to = p->range.find(" to ");
                const double shown = number(p->found), low = number(p->range), high = number(p->range.substr(to + 4));
                EXPECT_TRUE(v < c.editor->Min() ? shown < low : shown > high) << p->text;
                ++checked;
            }
        });
    }
    EXPECT_GT(checked, 100);
    const std::string freq = "SETPOINTS - Frequency Protections: Frequency 1 Delay: ";
    const std::string phase = "SETPOINTS - Phase Protections: Phase Timed O/C Delay: ";
    const std::pair<std::uint32_t, std::uint16_t> rounded[] = {{0x1004, 60001}, {0x104B, 9}, {0x104B, 60001}};
    const std::string says[] = {phase + "600.01 Sec, range 0.05 Sec to 600.00 Sec",
                                freq + "0.09 Sec, range 0.10 Sec to 600.00 Sec",
                                freq + "600.01 Sec, range 0.10 Sec to 600.00 Sec"};
    for (std::size_t i = 0; i < std::size(rounded); ++i) {
        SetpointImage image = sim;
        test::putSetpointWord(image, rounded[i].first, rounded[i].second);
        const auto found = setpointRangeProblems(image);
        ASSERT_EQ(found.size(), 1u) << says[i];
        EXPECT_EQ(found[0].text, says[i]);
    }
}

// A selector stepping by 2 names items by the codes 0 and 2 only: a relay value between them names none, so is outside.
TEST(SetpointRangeCheck, SelectorValueBetweenItsStepsIsOutside)
{
    const std::string form = test::setAt({"settings", "Page1C(0)", "paso"}, 2).applied(pageFormText("SETPAGE2"));
    const SetpointImage sim = test::simSetpoints();
    const auto word = static_cast<std::uint16_t>(sim[0] << 8 | sim[1]);
    for (const int field : {0, 1, 2, 3}) {
        SetpointImage image = sim;
        test::putSetpointWord(image, 0x0101, static_cast<std::uint16_t>((word & ~3) | field));
        const std::string outside = "SETPOINTS - System Setup: Sampling Frequency: " + std::to_string(field)
                                    + ", range 0 to 2 in steps of 2";
        EXPECT_EQ(problems(form, image), field % 2 ? Strings{outside} : Strings{}) << field;
    }
}
