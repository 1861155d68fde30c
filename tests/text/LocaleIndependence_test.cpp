// Number and date texts must not change with the process locale: the GUI
// toolkit switches the C locale to the user's at start-up.

#include "text/DateText.h"
#include "text/Decimal4.h"
#include "text/HexText.h"
#include "text/LocaleGuard.h"
#include "text/NumOrText.h"
#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <string>

namespace kova {
namespace {

// Every formatter and parser of the text layer, as one text.
std::string battery()
{
    std::string s;
    auto add = [&s](const std::string& t) {
        s += t;
        s += '|';
    };
    add(formatPattern(1.5, "###0.#0"));
    add(formatPattern(-1234567.891, "####0.00"));
    add(formatPattern(12.345f, "#0.00"));
    add(formatPattern(*Decimal4::parse("0.01"), "#0.0000"));
    add(generalNumber(1.5f));
    add(generalNumber(-0.01));
    add(generalNumber(12345678.0f));
    add(NumOrText(0.25f).toText());
    add(NumOrText(3.75).toText());
    add(Decimal4::parse("12,5")->toText());
    add(Decimal4::fromDouble(0.1)->toText());
    add(generalNumber(*parseNumber("1.23") * 100));
    add(integerText(*parseNumber("1,23") * 100 == 123.0));
    add(generalNumber(leadingDigits("42x")));
    add(integerText(multiplyTextHalfEven("1.015", *Decimal4::fromInt(100)).value()));
    add(integerText(-1234567) + " " + integerText(parseInteger("-42").value()) + " " + plainNumber(0.01));
    add(hex8(-2));
    add(shortDate(2005, 7, 12, "dd/MM/yyyy") + " " + timeText(9, 5, 7));
    return s;
}

TEST(LocaleIndependence, SameTextsUnderEveryLocale)
{
    const test::LocaleGuard restore;
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    const std::string reference = battery();
    EXPECT_NE(reference.find("1.50|"), std::string::npos);
    EXPECT_NE(reference.find("-1234567.89|"), std::string::npos);

    // The install step generates this locale; a missing one fails the test.
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    const std::string german = battery();

    std::locale::global(test::commaLocale());
    const std::string comma = battery();

    EXPECT_EQ(german, reference);
    EXPECT_EQ(comma, reference);
}

} // namespace
} // namespace kova
