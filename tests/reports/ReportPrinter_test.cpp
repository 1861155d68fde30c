// The report painter: what a printed page holds, where, and at what scale.
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

#include <cmath>

namespace kova {
namespace {

using test::PdfWord;

ReportItem label(std::string name, int left, int top, int width, std::string text, ReportAlign align,
                 std::string parent = {})
{
    ReportItem it;
    it.name = std::move(name);
    it.parent = std::move(parent);
    it.left = left;
    it.top = top;
    it.width = width;
    it.height = 195;
    it.text = std::move(text);
    it.align = align;
    it.font.bold = true;
    return it;
}

// One of each kind, two of them hidden (one through its frame).
ReportCanvas sample()
{
    ReportCanvas c("T", 11700, 12465);
    ReportItem frame;
    frame.kind = ReportItem::Kind::Frame;
    frame.name = "F";
    frame.left = 825;
    frame.top = 2775;
    frame.width = 6000;
    frame.height = 3000;
    frame.text = "Framecap";
    c.add(frame);
    c.add(label("L", 1000, 3200, 2000, "Leftword", ReportAlign::Left, "F"));
    c.add(label("C", 1000, 3600, 2000, "Midword", ReportAlign::Center, "F"));
    c.add(label("R", 1000, 4000, 2000, "Rightword", ReportAlign::Right, "F"));
    ReportItem company = label("A", 255, 180, 300, "Velmora", ReportAlign::Left);
    company.font = {"Arial", 21.75, true};
    company.autoSize = true;
    c.add(company);
    ReportItem grey = label("G", 1000, 4400, 1500, "Greyword", ReportAlign::Center, "F");
    grey.background = 0xC0C0C0;
    c.add(grey);
    ReportItem box;
    box.kind = ReportItem::Kind::CheckBox;
    box.name = "K";
    box.left = 1000;
    box.top = 4800;
    box.width = 1500;
    box.height = 240;
    box.text = "Boxcap";
    box.checked = true;
    c.add(box);
    ReportItem hidden = label("H", 1000, 5200, 2000, "Hiddenword", ReportAlign::Left);
    hidden.visible = false;
    c.add(hidden);
    ReportItem hiddenFrame = frame;
    hiddenFrame.name = "HF";
    hiddenFrame.top = 8000;
    hiddenFrame.text = "Hiddenframe";
    hiddenFrame.visible = false;
    c.add(hiddenFrame);
    c.add(label("HL", 1000, 8400, 2000, "Innerword", ReportAlign::Left, "HF"));
    ReportItem line;
    line.kind = ReportItem::Kind::Line;
    line.left = 150;
    line.top = 810;
    line.width = 9345;
    line.lineWidth = 2;
    c.add(line);
    ReportItem grid;
    grid.kind = ReportItem::Kind::Grid;
    grid.name = "Grid";
    grid.left = 7000;
    grid.top = 3000;
    grid.grid.resize(2, 3);
    grid.grid.colWidths = {1000, 1500, 1000};
    grid.grid.colAlign = {ReportAlign::Left, ReportAlign::Center, ReportAlign::Right};
    grid.grid.cell(0, 0) = "Ga";
    grid.grid.cell(0, 1) = "Gb";
    grid.grid.cell(0, 2) = "Gc";
    grid.grid.setBold(0, 1, true);
    c.add(grid);
    return c;
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
    EXPECT_TRUE(test::pdfFontsEmbedded(path));

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

TEST_F(PrintedSample, WindowsFontsPrintWithTheirMetricTwin)
{
    // Arial and MS Sans Serif: Liberation Sans when installed (the setup
    // script installs it), else DejaVu Sans.
    const bool liberation = QFontDatabase::families().contains(QStringLiteral("Liberation Sans"));
    const std::string expected = liberation ? "LiberationSans" : "DejaVuSans";
    const auto fonts = test::pdfFonts(path);
    ASSERT_FALSE(fonts.empty());
    for (const std::string& f : fonts)
        EXPECT_NE(f.find(expected), std::string::npos) << f;
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
        ReportItem box;
        box.kind = ReportItem::Kind::CheckBox;
        box.name = "K";
        box.left = 150;
        box.top = 150;
        box.width = 300;
        box.height = 195;
        box.checked = checked;
        c.add(box);
        test::ensureGuiApp();
        QImage img(40, 40, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.scale(1.0 / 15, 1.0 / 15);
        ReportPrinter::paint(p, c);
        p.end();
        int dark = 0;
        for (int y = 12; y < 21; ++y)  // inside the border: 10..23
            for (int x = 12; x < 21; ++x)
                dark += qGray(img.pixel(x, y)) < 128;
        return dark;
    };
    EXPECT_EQ(inkInSquare(false), 0);
    EXPECT_GE(inkInSquare(true), 8);
}

TEST(ReportPrinter, NoPageWithoutAStartedPrinter)
{
    test::ensureGuiApp();
    QPdfWriter w(QStringLiteral("/dev/null"));
    ReportPrinter printer(w);
    EXPECT_FALSE(printer.printPage(sample()));
    EXPECT_EQ(printer.pagesPrinted(), 0);
}

} // namespace
} // namespace kova
