// The report painter: what a printed page holds, where, and at what scale.
#include "reports/Events_Rep.h"
#include "reports/ReportLayout.h"
#include "reports/ReportPrinter.h"
#include "reports/support/PdfText.h"

#include <QFontDatabase>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

namespace kova {
namespace {

using test::PdfWord;

// One of each kind, two of them hidden (one through its frame).
ReportCanvas sample()
{
    auto page = readReportLayout(R"({"window": "T", "width": 11700, "height": 12465, "font": {"bold": true}, "items": [
        {"kind": "frame", "name": "F", "left": 825, "top": 2775, "width": 6000, "height": 3000, "text": "Framecap",
         "items": [
            {"kind": "label", "left": 175, "top": 425, "width": 2000, "height": 195, "text": "Leftword"},
            {"kind": "label", "left": 175, "top": 825, "width": 2000, "height": 195, "text": "Midword", "align": "center"},
            {"kind": "label", "left": 175, "top": 1225, "width": 2000, "height": 195, "text": "Rightword", "align": "right"},
            {"kind": "label", "left": 175, "top": 1625, "width": 1500, "height": 195, "text": "Greyword", "align": "center",
             "background": "C0C0C0"},
            {"kind": "check", "name": "K", "left": 175, "top": 2025, "width": 1500, "height": 240, "text": "Boxcap",
             "checked": true}]},
        {"kind": "label", "left": 255, "top": 180, "width": 300, "height": 510, "text": "Velmora", "autoSize": true,
         "font": {"family": "Arial", "points": 21.75}},
        {"kind": "label", "left": 1000, "top": 5200, "width": 2000, "text": "Hiddenword", "visible": false},
        {"kind": "frame", "name": "HF", "left": 825, "top": 8000, "width": 6000, "height": 1000, "text": "Hiddenframe",
         "visible": false, "items": [{"kind": "label", "left": 175, "top": 400, "width": 2000, "text": "Innerword"}]},
        {"kind": "line", "left": 150, "top": 810, "width": 9345, "lineWidth": 2},
        {"kind": "grid", "name": "Grid", "left": 7000, "top": 3000, "rows": 2, "cols": 3, "colWidths": [1000, 1500, 1000],
         "colAlign": ["left", "center", "right"]}]})", "T");
    ReportGrid& g = page->at("Grid").grid;
    g.cell(0, 0) = "Ga";
    g.cell(0, 1) = "Gb";
    g.cell(0, 2) = "Gc";
    g.setBold(0, 1, true);
    return *page;
}

// The page painted at 1 px = 15 tw over the ground colour.
QImage painted(const ReportCanvas& c, int w, int h, Qt::GlobalColor ground)
{
    test::ensureGuiApp();
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(ground);
    QPainter p(&img);
    p.scale(1.0 / 15, 1.0 / 15);
    ReportPrinter::paint(p, c);
    return img;
}

class PrintedSample : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        test::ensureGuiApp();
        dir = new QTemporaryDir;
        path = dir->filePath("sample.pdf").toStdString();
        error = test::printPdf(path, {sample()});
    }
    static void TearDownTestSuite() { delete dir; }
    static inline QTemporaryDir* dir = nullptr;
    static inline std::string path;
    static inline std::string error;
};

TEST_F(PrintedSample, ItemsPrintAsTextAtTheirPlaces)
{
    ASSERT_EQ(error, "");
    EXPECT_EQ(test::pdfPageCount(path), 1);

    // Where a word lands (twips): its left edge, or its centre, or its right edge.
    enum Edge { Left, Centre, Right };
    struct Case { const char* word; Edge edge; double x; double top; };
    const Case cases[] = {
        {"Velmora", Left, 255, 180},     // autoSize: wider than its 300 tw, printed whole
        {"Leftword", Left, 1000, 3200},  {"Midword", Centre, 2000, 3600}, {"Rightword", Right, 3000, 4000},
        {"Greyword", Centre, 1750, 4400},
        {"Framecap", Left, 825 + 120, 2775},          // in the frame's top border
        {"Boxcap", Left, 1000 + 195 + 60, 4800},      // right of the square
        {"Ga", Left, 7000 + 45, 3000},   {"Gb", Centre, 7000 + 1000 + 750, 3000}, {"Gc", Right, 7000 + 3500 - 45, 3000},
    };
    for (const Case& c : cases) {
        const PdfWord w = test::pdfWord(path, c.word);
        ASSERT_EQ(w.page, 1) << c.word;
        const double x = c.edge == Left ? w.xMin : c.edge == Right ? w.xMax : (w.xMin + w.xMax) / 2;
        EXPECT_NEAR(x, c.x, 25) << c.word;
        EXPECT_NEAR(w.yMin, c.top, 60) << c.word;
    }
    const std::string text = test::pdfText(path);
    for (const char* absent : {"Hiddenword", "Hiddenframe", "Innerword"})
        EXPECT_EQ(text.find(absent), std::string::npos) << absent;
}

TEST_F(PrintedSample, WindowsFontsPrintEmbeddedWithTheirMetricTwin)
{
    // Arial and MS Sans Serif: Liberation Sans when installed (the setup
    // script installs it), else DejaVu Sans.
    const bool liberation = QFontDatabase::families().contains(QStringLiteral("Liberation Sans"));
    const std::string expected = liberation ? "LiberationSans" : "DejaVuSans";
    const auto fonts = test::pdfFonts(path);
    ASSERT_FALSE(fonts.empty());
    for (const test::PdfFont& f : fonts) {
        EXPECT_NE(f.name.find(expected), std::string::npos) << f.name;
        EXPECT_TRUE(f.embedded) << f.name;
    }
    // Arial 21.75 pt: the word's box is about as high as the font's 435 tw.
    const PdfWord velmora = test::pdfWord(path, "Velmora");
    EXPECT_NEAR(velmora.yMax - velmora.yMin, 435 * 1.15, 80);
}

TEST(ReportPrinter, PagesShrinkUniformlyToThePrintableArea)
{
    struct Case { double pageW, pageH, margin; int dpi; int clientW, clientH; double scale; };
    const Case cases[] = {
        {585, 623.25, 0, 1440, 11700, 12465, 1.0},            // the client area's own size
        {612, 792, 0, 1200, 11700, 12465, 1.0},               // Letter, no margins: fits
        {612, 792, 18, 1200, 11700, 12465, 11520.0 / 11700},  // 0.25" margins: too wide
        {612, 792, 18, 1200, 11970, 15975, 15120.0 / 15975},  // and too high: the smaller scale
        {595, 842, 0, 600, 11970, 15975, 11900.0 / 11970},    // A4: wider than the sheet
    };
    test::ensureGuiApp();
    for (const Case& c : cases) {
        QPdfWriter w(QStringLiteral("/dev/null"));
        w.setResolution(c.dpi);
        w.setPageLayout(QPageLayout(QPageSize(QSizeF(c.pageW, c.pageH), QPageSize::Point, {}, QPageSize::ExactMatch),
                                    QPageLayout::Portrait, QMarginsF(c.margin, c.margin, c.margin, c.margin),
                                    QPageLayout::Point));
        const QTransform t = ReportPrinter::pageTransform(w, c.clientW, c.clientH);
        const double deviceScale = c.dpi / 1440.0;
        EXPECT_NEAR(t.m11() / deviceScale, c.scale, 0.003) << c.clientW << "x" << c.clientH << " dpi " << c.dpi;
        EXPECT_DOUBLE_EQ(t.m11(), t.m22());
        EXPECT_EQ(t.dx(), 0);
        EXPECT_EQ(t.dy(), 0);
    }
}

TEST(ReportPrinter, CheckedBoxesCarryATick)
{
    // Dark pixels inside the square, at 1 px = 15 tw.
    auto inkInSquare = [](bool checked) {
        ReportCanvas c("T", 600, 600);
        ReportItem& box = c.add({});
        box.kind = ReportItem::Kind::CheckBox;
        std::tie(box.left, box.top, box.width, box.height, box.checked) = std::tuple(150, 150, 300, 195, checked);
        const QImage img = painted(c, 40, 40, Qt::white);
        int dark = 0;
        for (int y = 12; y < 21; ++y)  // inside the border: 10..23
            for (int x = 12; x < 21; ++x)
                dark += qGray(img.pixel(x, y)) < 128;
        return dark;
    };
    EXPECT_EQ(inkInSquare(false), 0);
    EXPECT_GE(inkInSquare(true), 8);
}

TEST(ReportPrinter, GridCellsPrintTheirWholeTextInsideTheCell)
{
    // The events print's longest cause text after a four-digit event number.
    ReportCanvas page = reportLayout("Events_Rep");
    Fill_Titulos_GridEventos(page.at("GrdEventos"));
    page.at("GrdEventos").grid.cell(1, 1) = "EVENT 9999: Phase Inst OverCurrent Alarm ";
    QTemporaryDir dir;
    const std::string path = dir.filePath("cells.pdf").toStdString();
    ASSERT_EQ(test::printPdf(path, {page}), "");
    // Each word on the cell's row lies inside the cell and its blank margin (45 tw) either side.
    const ReportItem& item = page.at("GrdEventos");
    const double left = item.left + item.grid.colWidths[0], right = left + item.grid.colWidths[1];
    std::vector<std::string> found;
    for (const PdfWord& w : test::pdfWords(path)) {
        const double row = ((w.yMin + w.yMax) / 2 - item.top) / item.grid.rowHeight - 1;
        if (row < 0 || row >= 1 || w.xMax <= left)
            continue;
        found.push_back(w.text);
        EXPECT_GE(w.xMin, left + 45 - 1) << w.text;
        EXPECT_LE(w.xMax, right - 45 + 1) << w.text;
    }
    EXPECT_EQ(found, (std::vector<std::string>{"EVENT", "9999:", "Phase", "Inst", "OverCurrent", "Alarm"}));
}

TEST(ReportPrinter, OneBorderWhereAFrameLiesOverTheEdgeOfAnother)
{
    // Actual values: the totals frame (top 9705) lies 105 tw over the bottom of the power frame (bottom 9810).
    const ReportCanvas values = reportLayout("AV1_REP");
    const QImage a = painted(values, values.clientWidth() / 15, values.clientHeight() / 15, Qt::white);
    int stretches = 0;  // dark stretches down one column of pixels
    for (int y = 9500 / 15, inside = 0; y <= 9900 / 15; ++y) {
        const int dark = qGray(a.pixel(400, y)) < 128;
        stretches += dark && !inside;
        inside = dark;
    }
    EXPECT_EQ(stretches, 1);
    EXPECT_LT(qGray(a.pixel(400, 9710 / 15)), 128);  // the one left is the later frame's top border
    EXPECT_EQ(qGray(a.pixel(400, 9805 / 15)), 255);  // the earlier one's bottom border is covered
}

} // namespace
} // namespace kova
