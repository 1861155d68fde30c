// The five setpoint pages printed to PDF: their header texts, the delay or
// the multiplier row of the phase timed curve, and ticked relay boxes that
// print darker than clear ones.
#include "pages/FakePageHost.h"
#include "reports/SetpointReports.h"
#include "reports/support/PdfText.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace kova {
namespace {

using test::FakePageHost;

std::vector<ReportCanvas> printAll(PageHost& host)
{
    const ReportStamp stamp{"12/7/26", "12:00:00 PM", "FEEDER 3            "};
    std::vector<ReportCanvas> pages;
    for (auto fill : {SET1_REP, SET2_REP, SET4_REP, SET11_REP, SET12_REP})
        pages.push_back(fill(host, stamp));
    return pages;
}

bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Dark pixels inside a check box's square on page 1 (pdftoppm at 144 dpi:
// 1 px = 10 twips; the square's border left out).
int inkInBox(const QImage& page, const ReportItem& box)
{
    int dark = 0;
    for (int y = box.top / 10 + 3; y < (box.top + 195) / 10 - 2; ++y)
        for (int x = box.left / 10 + 3; x < (box.left + 195) / 10 - 2; ++x)
            dark += qGray(page.pixel(x, y)) < 128;
    return dark;
}

TEST(SetpointReportsPdf, FivePagesPrintTheCurvesRowAndTheTickedBoxes)
{
    test::ensureGuiApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case { int curve; const char* printed; const char* absent; };
    for (const Case c : {Case{0, "Phase Timed O/C Delay:", "Phase Timed O/C Multiplier:"},
                         Case{6, "Phase Timed O/C Multiplier:", "Phase Timed O/C Delay:"}}) {
        SCOPED_TRACE(c.curve);
        FakePageHost host;
        host.setGet(0x1002, c.curve);
        host.setGet(0x012B, 0x0001);
        const auto pages = printAll(host);
        const std::string pdf = dir.filePath(QStringLiteral("setpoints%1.pdf").arg(c.curve)).toStdString();
        ASSERT_EQ(test::printPdf(pdf, pages), "");
        ASSERT_EQ(test::pdfPageCount(pdf), 5);
        for (int p = 1; p <= 5; ++p) {
            const std::string text = test::pdfText(pdf, p);
            EXPECT_TRUE(holds(text, "Parameter: Setpoints")) << p;
            EXPECT_TRUE(holds(text, "Page " + std::to_string(p))) << p;
        }
        const std::string page2 = test::pdfText(pdf, 2);
        EXPECT_TRUE(holds(page2, c.printed));
        EXPECT_FALSE(holds(page2, c.absent));
        if (c.curve != 0)
            continue;

        // Text extraction may merge blanks: captions with two are checked on the pages themselves.
        const std::pair<std::size_t, const char*> doubled[] = {
            {1, "Phase Inst. O/C  Relays:"}, {2, "OverVoltage  Relays:"}, {3, "Frequency 2  Relays:"}};
        for (const auto& [page, caption] : doubled)
            EXPECT_TRUE(std::any_of(pages[page].items().begin(), pages[page].items().end(),
                                    [&](const ReportItem& it) { return it.text == caption && pages[page].shown(it); }))
                << caption;

        const QString png = dir.filePath(QStringLiteral("page1"));
        ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"), QStringLiteral("-r 144 -f 1 -l 1 -png -singlefile").split(' ')
                                                                 << QString::fromStdString(pdf) << png), 0);
        const QImage image(png + QStringLiteral(".png"));
        ASSERT_FALSE(image.isNull());
        const int ticked = inkInBox(image, pages[0].at("chkDiscrep(0)"));
        const int clear = inkInBox(image, pages[0].at("chkDiscrep(1)"));
        EXPECT_GE(ticked, clear + 10) << ticked << " against " << clear;
    }
}

} // namespace
} // namespace kova
