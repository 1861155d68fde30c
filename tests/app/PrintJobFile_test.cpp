// A print to file that did not reach the disk is a printer error, not a printout; its detail line names
// the file not written (or left incomplete, for a device) and, where it can be told, the system's reason.
#include "app/PrintJob.h"
#include "platform/FullFolder.h"
#include "reports/PrintedFile.h"
#include "reports/ReportLayout.h"
#include "reports/support/PdfText.h"
#include <QFileInfo>
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

// A file system that fills up in the middle of the print: the text stays the printer error's, the detail
// says the file was not written and why; an earlier file of that name stays as it was, and no broken or
// temporary file is left.
TEST(PrintJobToFile, AFileSystemFilledMidPrintLeavesTheEarlierFile)
{
    test::ensureGuiApp();
    for (const bool earlier : {false, true}) {
        SCOPED_TRACE(earlier);
        const test::SmallTmpfs disk(256);
        if (!disk.mounted()) {
            GTEST_SKIP() << "no tmpfs can be mounted here";
        }
        const QString pdf = disk.filePath("out.pdf");
        QFile old(pdf);
        if (earlier) {
            ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("%PDF-1.4 earlier\n%%EOF\n") > 0);
        }
        old.close();
        ASSERT_TRUE(disk.fill(8));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        PrintJob job(printer);
        for (const char* page : {"AV1_REP", "AV2_REP"})
            EXPECT_TRUE(job.page([&] { return *loadReportLayout(page); }));
        job.finish();
        EXPECT_EQ(job.failure(), "Printing stopped: the printer reported an error. Pages printed: 2.");
        EXPECT_EQ(job.failureDetail(), "The file " + pdf.toStdString() + " was not written: " + std::strerror(ENOSPC) +
                                           "." + (earlier ? " The earlier file of that name is unchanged." : ""));
        EXPECT_EQ(printer.outputFileName(), pdf);
        EXPECT_EQ(test::folderNames(disk.path()), earlier ? QStringList({".filler", "out.pdf"}) : QStringList{".filler"});
        if (earlier) {
            ASSERT_TRUE(old.open(QIODevice::ReadOnly));
            EXPECT_EQ(old.readAll(), "%PDF-1.4 earlier\n%%EOF\n");
        }
    }
}

// A whole file is no failure and has no detail; it takes an earlier file's place, through a link whose
// file does not exist yet too (the link stays). A file that cannot be replaced prints nothing.
TEST(PrintJobToFile, AWholeFileHasNoDetail)
{
    test::ensureGuiApp();
    QTemporaryDir dir;
    const QString pdf = dir.filePath("out.pdf");
    ASSERT_TRUE(QFile::link(dir.filePath("target.pdf"), dir.filePath("link.pdf")));
    for (const QString& path : {pdf, pdf, dir.filePath("link.pdf")}) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        PrintJob job(printer);
        EXPECT_TRUE(job.page([&] { return *loadReportLayout("AV1_REP"); }));
        job.finish();
        EXPECT_FALSE(job.failure());
        EXPECT_EQ(incompleteFileDetail(printer), "");
        EXPECT_TRUE(pdfFileComplete(path));
    }
    EXPECT_TRUE(QFileInfo(dir.filePath("link.pdf")).isSymLink());
    EXPECT_EQ(test::folderNames(dir.path()), QStringList({"link.pdf", "out.pdf", "target.pdf"}));

    ASSERT_TRUE(QFile::setPermissions(pdf, QFile::ReadOwner));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    PrintJob job(printer);
    EXPECT_FALSE(job.page([&] { return *loadReportLayout("AV1_REP"); }));
    job.finish();
    EXPECT_EQ(job.failure(), "Printing stopped: the printer could not be started. Pages printed: 0.");
    EXPECT_EQ(job.failureDetail(),
              "The file " + pdf.toStdString() + " was not written: read-only. The earlier file of that name is unchanged.");
    EXPECT_EQ(test::folderNames(dir.path()), QStringList({"link.pdf", "out.pdf", "target.pdf"}));
}
}  // namespace kova
