#include "pages/ModAutoRango.h"
#include "pages/StampSplit.h"

#include <gtest/gtest.h>

#include <limits>

namespace kova {
namespace {

struct Case {
    std::int32_t kind;
    const char* value;
    const char* number;
    const char* unit;
};

TEST(Auto_Rango, NumberAndUnitTexts)
{
    const Case cases[] = {
        {2, "230.45", "230.5", "V"},      {1, "1234.5", "1.23", "KA"},     {3, "-1500", "-1.50", "KW"},
        {3, "2500000", "2.50", "MW"},     {5, "0", "0.00", "VAR"},         {6, "12345.6", "12346", "KWH"},
        {11, "-0.87", "0.87", "Lead"},    {11, "0", "0.00", "Lag"},        {11, "1", "1.00", "Lag"},
        {9, "60", "60.00", "Hz"},         {4, "999", "999.0", "VA"},       {7, "0", "0", "KVARH"},
        // Bounds are exact; every negative value keeps two decimals.
        {2, "999.89", "999.9", "V"},      {2, "1000", "1.00", "KV"},       {2, "-1000", "-1.00", "KV"},
        {2, "-999.99", "-999.99", "V"},   {2, "999.9999", "1000.0", "V"},  {1, "99.89", "99.89", "A"},
        {1, "99.9", "99.9", "A"},         {1, "999.8", "999.8", "A"},      {3, "1000000000", "1.00", "GW"},
        {3, "-1000000", "-1.00", "MW"},   {3, "-999999.9999", "-1000.00", "KW"},
        // Half away from zero on the decimal digits; the quotient rounded
        // to four decimals before its picture.
        {1, "0.125", "0.13", "A"},        {1, "-0.125", "-0.13", "A"},     {6, "2.5", "3", "KWH"},
        {3, "1004.996", "1.01", "KW"},
        // From 999.9 on the one-decimal picture goes on.
        {2, "999.9", "999.9", "V"},       {2, "999.95", "1000.0", "V"},    {3, "999999999", "1000.0", "MW"},
        {3, "999950", "1000.0", "KW"},    {1, "999949", "999.9", "KA"},
        // Energies are never scaled.
        {6, "123456789", "123456789", "KWH"},
        // Other kinds; an unknown kind gives the shortest text, no unit.
        {0, "1500", "1.50", "K"},         {0, "15", "15.00", ""},          {8, "1500", "1500.00", "%"},
        {10, "12.5", "12.5", ""},         {10, "3", "3", ""},              {12, "3", "3", "Hr(s)"},
        {13, "2", "2", "Year(s)"},        {14, "21.5", "21.5", "\xC2\xBA" "C"},
        {15, "12.5", "12.5", ""},         {-1, "-0.5", "-0.5", ""},
    };
    for (const Case& c : cases) {
        std::string number = "stale", unit = "stale";
        Auto_Rango(c.kind, number, unit, *Decimal4::parse(c.value));
        EXPECT_EQ(number, c.number) << c.kind << " " << c.value;
        EXPECT_EQ(unit, c.unit) << c.kind << " " << c.value;
    }
}

TEST(Auto_Rango, WholeRangeGivesATextAndNeverThrows)
{
    for (std::int64_t count : {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()}) {
        std::string number, unit;
        Auto_Rango(3, number, unit, Decimal4::fromCount(count));
        EXPECT_FALSE(number.empty());
        EXPECT_EQ(unit, "GW");
    }
}

TEST(Mostrar_Medida, DecodedEntries)
{
    const struct {
        std::int32_t kind;
        NumOrText entry;
        const char* number;
        const char* unit;
    } cases[] = {
        {1, NumOrText(), "0.00", "A"},           {2, "", "0.00", "V"},
        {1, "Error", "Error", ""},               {1, " A-B-C ", " A-B-C ", ""},
        {1, "1500.00", "1.50", "KA"},            {8, "12.5", "12.50", "%"},
        {3, 999950.0f, "1000.0", "KW"},          {2, 13800.0f, "13.80", "KV"},
        {6, std::int32_t{1234567}, "1234567", "KWH"},
        {11, "-0.5", "0.50", "Lead"},            {1, "0.12345", "0.12", "A"},
        {1, "1e5", "1e5", ""},                   {3, 1e300, "1E+300", ""},
    };
    for (const auto& c : cases) {
        std::string number = "stale", unit = "stale";
        Mostrar_Medida(c.kind, c.entry, number, unit);
        EXPECT_EQ(number, c.number) << c.entry.toText();
        EXPECT_EQ(unit, c.unit) << c.entry.toText();
    }
}

TEST(SplitStamp, DateAndTimeParts)
{
    const struct {
        const char* stamp;
        const char* date;
        const char* time;
    } cases[] = {
        {"0 0", "0", "0"},       {"X", "", "X"},           {"12/07/2005 09:05:07", "12/07/2005", "09:05:07"},
        {"", "", ""},            {"0 0  ", "0", "0"},      {"7. 1. 2005 08:30:00", "7. 1. 2005", "08:30:00"},
        {" 0", "", "0"},
    };
    for (const auto& c : cases) {
        const StampParts p = splitStamp(c.stamp);
        EXPECT_EQ(p.fecha, c.date) << c.stamp;
        EXPECT_EQ(p.hora, c.time) << c.stamp;
    }
}

} // namespace
} // namespace kova
