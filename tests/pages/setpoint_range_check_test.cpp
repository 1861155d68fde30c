// The setpoint image check reads the forms the program opens the pages with: a form edited in KOVA_FORMS_DIR is the
// one checked, and one that cannot be read refuses the image (sends and loads, with their texts, are tested with them).

#include "app/support/ValidSetpoints.h"
#include "pages/SetpointRangeCheck.h"
#include "pages/support/FormVariants.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kova;
using Strings = std::vector<std::string>;

namespace {
// The problems the check finds in an image while KOVA_FORMS_DIR holds this text as SETPAGE2's form.
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
        texts.push_back(p.text);
    qunsetenv("KOVA_FORMS_DIR");
    return texts;
}
} // namespace

TEST(SetpointRangeCheck, EditedFormsAreTheOnesChecked)
{
    const std::string lowMax = test::setAt({"settings", "PhaseCT(0)", "max"}, 500).applied(pageFormText("SETPAGE2"));
    EXPECT_EQ(problems(lowMax, test::simSetpoints()),
              Strings{"SETPOINTS - System Setup: Phase CT Rating Primary: 600 A, range 5 A to 500 A"});
    EXPECT_EQ(problems("{", test::simSetpoints()),
              Strings{"SETPAGE2: the page's form cannot be read, so its settings are not checked"});
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
