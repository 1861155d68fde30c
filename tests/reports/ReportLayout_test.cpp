// The report layout reader and the common page header.
#include "reports/ReportHeader.h"
#include "reports/ReportLayout.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace kova {
namespace {

// Every window loads with the common header, and each item lies inside its
// frame and the page.
TEST(ReportLayout, EveryWindowLoadsWithItsHeaderAndItemsInPlace)
{
    for (const char* window : {"AV1_REP", "AV2_REP", "Events_Rep", "Events_Rep2", "SET1_REP", "SET2_REP", "SET4_REP",
                               "SET11_REP", "SET12_REP"}) {
        std::string error;
        const auto c = loadReportLayout(window, &error);
        ASSERT_TRUE(c) << error;
        const auto& company = c->at(c->find("Label49") ? "Label49" : "Label154");
        EXPECT_EQ(company.text, "Velmora") << window;
        EXPECT_EQ(company.font, (ReportFont{"Arial", 21.75, true})) << window;
        for (const ReportItem& it : c->items()) {
            const ReportItem* f = it.parent.empty() ? nullptr : &c->at(it.parent);
            EXPECT_TRUE(it.left >= (f ? f->left : 0) && it.top >= (f ? f->top : 0) &&
                        it.left + it.width <= (f ? f->left + f->width : c->clientWidth()) &&
                        it.top + it.height <= (f ? f->top + f->height : c->clientHeight()))
                << window << " " << it.name << " " << it.text;
        }
    }
}

TEST(ReportLayout, FramesPlaceTheirItemsAndHideThem)
{
    const char* json = R"({"window": "T", "width": 100, "height": 200, "font": {"bold": true}, "items": [
        {"kind": "frame", "name": "F", "left": 10, "top": 20, "items": [
            {"kind": "frame", "name": "G", "left": 1, "top": 2, "items": [
                {"kind": "label", "name": "L", "left": 3, "top": 4, "font": {"points": 12}}]}]}]})";
    auto page = readReportLayout(json, "T");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->at("L").left, 14);
    EXPECT_EQ(page->at("L").top, 26);
    EXPECT_EQ(page->at("L").font, (ReportFont{"MS Sans Serif", 12, true}));
    EXPECT_TRUE(page->shown("L"));
    page->setVisible("F", false);
    EXPECT_FALSE(page->shown("L"));
    EXPECT_THROW(page->at("M"), std::out_of_range);

    for (const char* bad : {R"({"window": "T", "width": 1, "height": 1, "items": [{"kind": "x"}]})",
                            R"({"window": "T", "width": 1, "height": 1, "items": [{"kind": "label", "name": "A"},
                                {"kind": "label", "name": "A"}]})",
                            R"({"window": "T", "height": 1})"}) {
        std::string error;
        EXPECT_FALSE(readReportLayout(bad, "T", &error));
        EXPECT_EQ(error.rfind("T: ", 0), 0u) << error;
    }
}

// A layout is refused naming the key: no fraction cut, no negative size, no unknown key passed over.
TEST(ReportLayout, RefusalsNameTheKey)
{
    const std::string whole = " is not a whole number from 0 to 32767";
    const std::pair<std::string, std::string> cases[] = {
        {R"({"window": "T", "width": 1.5, "height": 1})", "T: width: 1.5" + whole},
        {R"({"window": "T", "width": 1, "height": 1, "items": [{"kind": "label", "width": -5}]})",
         "T: items[0].width: -5" + whole},
        {R"({"window": "T", "width": 1, "height": 1, "colour": 1})", "T: colour: unknown key"},
    };
    for (const auto& [json, fault] : cases) {
        std::string error;
        EXPECT_FALSE(readReportLayout(json, "T", &error)) << json;
        EXPECT_EQ(error, fault);
    }
}

// A damaged edited copy is refused naming the copy's path and the place in its text: the parser's own words never
// come alone. (A layout fault in a copy is named after its path in the printing tests.)
TEST(ReportLayout, DamagedCopyNamesItsPathAndThePlace)
{
    const std::string deep = "{\"window\": \"AV1_REP\", \"items\": " + std::string(1100, '[') + "]}";
    const std::pair<std::string, std::string> cases[] = {
        {"{\"window\": \"AV1_REP\",\n \"items\": []", "line 2, column 13 (byte 34): unterminated object"},
        {"{\"window\": \"AV1_REP\",\n \"text\": \"\xC3\xA9t\xC3(\"}",
         "line 2, column 13 (byte 35): invalid UTF8 string"},
        {deep, "line 1, column 1056 (byte 1055): too deeply nested document"},
        {"\n [{\"window\": \"AV1_REP\"}]", "top level: a list, not an object"},
        {"", "line 1, column 1 (byte 0): illegal value"},  // an empty copy is a text that is not JSON, not one unread
    };
    QTemporaryDir dir;
    const std::string path = dir.filePath("AV1_REP.json").toStdString();
    qputenv("KOVA_LAYOUTS_DIR", dir.path().toUtf8());
    for (const auto& [text, place] : cases) {
        QFile f(QString::fromStdString(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.data(), static_cast<qint64>(text.size()));
        f.close();
        try {  // the error loadReportLayout gives, thrown
            reportLayout("AV1_REP");
            ADD_FAILURE() << place;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), path + ": " + place);
        }
    }
    qunsetenv("KOVA_LAYOUTS_DIR");
}

TEST(ReportHeader, StampsAndRelayNameKeepTheirBlanks)
{
    for (const char* window : {"AV1_REP", "Events_Rep"}) {
        auto page = loadReportLayout(window);
        ASSERT_TRUE(page);
        fillReportHeader(*page, {"07/12/2026", "03:07:09 PM", "Feeder 7            "});
        EXPECT_EQ(page->text("Fecha"), "07/12/2026");
        EXPECT_EQ(page->text("LblTime"), "03:07:09 PM");
        EXPECT_EQ(page->text(page->find("Label50(4)") ? "Label50(4)" : "Label(5)"), "Feeder 7            ");
    }
    struct Case { int h, m, s; const char* text; };
    for (const Case& c : {Case{15, 7, 9, "03:07:09 PM"}, Case{0, 5, 0, "12:05:00 AM"}, Case{12, 0, 0, "12:00:00 PM"},
                          Case{11, 59, 59, "11:59:59 AM"}})
        EXPECT_EQ(horaImpresionText(c.h, c.m, c.s), c.text);
}

} // namespace
} // namespace kova
