// A print to file that did not reach the disk is a printer error, not a printout; its detail line names
// the file left incomplete and, where it can be told, the system's reason.
#include "app/PrintJob.h"
#include "platform/FullFolder.h"
#include "reports/PrintedFile.h"
#include "reports/ReportLayout.h"
#include "reports/support/PdfText.h"
#include <QPrinter>
#include <QTemporaryFile>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

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
    EXPECT_EQ(job.failureDetail(), "The file /dev/full is incomplete.");
    QTemporaryFile cut;
    ASSERT_TRUE(cut.open() && cut.write("%PDF-1.4\n1 0 obj\n") > 0 && cut.flush());
    EXPECT_FALSE(pdfFileComplete(cut.fileName()));
}

// A file system that fills up in the middle of the print: the file is cut
// short, the text stays the printer error's, the detail says why.
TEST(PrintJobToFile, AFileSystemFilledMidPrintIsNamedWithItsReason)
{
    test::ensureGuiApp();
    const test::SmallTmpfs disk(256);
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs can be mounted here";
    ASSERT_TRUE(disk.fill(8));
    const QString pdf = disk.filePath("out.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    PrintJob job(printer);
    for (const char* page : {"AV1_REP", "AV2_REP"})
        EXPECT_TRUE(job.page([&] { return *loadReportLayout(page); }));
    job.finish();
    EXPECT_EQ(job.failure(), "Printing stopped: the printer reported an error. Pages printed: 2.");
    EXPECT_EQ(job.failureDetail(), "The file " + pdf.toStdString() + " is incomplete: " + std::strerror(ENOSPC) + ".");
    EXPECT_FALSE(pdfFileComplete(pdf));
}

// A whole file is no failure and has no detail.
TEST(PrintJobToFile, AWholeFileHasNoDetail)
{
    test::ensureGuiApp();
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("out.pdf"));
    PrintJob job(printer);
    EXPECT_TRUE(job.page([&] { return *loadReportLayout("AV1_REP"); }));
    job.finish();
    EXPECT_FALSE(job.failure());
    EXPECT_EQ(incompleteFileDetail(printer), "");
}
}  // namespace kova
