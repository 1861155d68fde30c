// A print to file that did not reach the disk is a printer error, not a printout.
#include "app/PrintJob.h"
#include "reports/PrintedFile.h"
#include "reports/ReportLayout.h"
#include "reports/support/PdfText.h"
#include <QPrinter>
#include <QTemporaryFile>
#include <gtest/gtest.h>

namespace kova {
TEST(PrintJobToFile, FullDiskIsAPrinterErrorACutFileIsIncomplete)
{
    test::ensureGuiApp();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName("/dev/full");
    PrintJob job(printer);
    EXPECT_TRUE(
        job.page([] { return *readReportLayout(R"({"window":"T","width":11700,"height":12465,"items":[]})", "T"); }));
    job.finish();
    EXPECT_EQ(job.failure(), "Printing stopped: the printer reported an error. Pages printed: 1.");
    QTemporaryFile cut;
    ASSERT_TRUE(cut.open() && cut.write("%PDF-1.4\n1 0 obj\n") > 0 && cut.flush());
    EXPECT_FALSE(pdfFileComplete(cut.fileName()));
}
}  // namespace kova
