// Decoded texts must be the same whatever the process locale: the GUI
// toolkit switches the C locale to the user's at start-up.

#include "ImageHelpers.h"
#include "link/RelayData.h"
#include "text/LocaleGuard.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <string>

namespace kova {
namespace {

std::string decodeAll()
{
    RegisterImages im;
    test::setActual(im, 0x020D, {0x0000, 0x04D2});
    test::setActual(im, 0x0250, {0x0005});
    test::setActual(im, 0x022F, {0x0000, 0x007B});
    test::setActual(im, 0x0247, {0xFFA7});
    test::setActual(im, 0x0610, {0x0037, 0x1905, 0x1D89, 0x1446, 0x0000, 0x04D2});
    test::setActual(im, 0x0600, {0x0039});
    RelayData data{im};
    std::string s;
    for (int b = 0; b <= 9; ++b)
        data.Devuelve_Datos(b);
    for (int p = 0; p <= 400; ++p)
        s += data.DatosDeVariables(p).toText() + "|";
    return s;
}

TEST(DecodedTextsLocale, SameUnderEveryLocale)
{
    const test::LocaleGuard restore;
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    const std::string reference = decodeAll();
    EXPECT_NE(reference.find("|12.34|"), std::string::npos);
    EXPECT_NE(reference.find("|-0.89|"), std::string::npos);
    EXPECT_NE(reference.find("|1230|"), std::string::npos);

    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    const std::string german = decodeAll();
    std::locale::global(test::commaLocale());
    const std::string comma = decodeAll();

    EXPECT_EQ(german, reference);
    EXPECT_EQ(comma, reference);
}

} // namespace
} // namespace kova
