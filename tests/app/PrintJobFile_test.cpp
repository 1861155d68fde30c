// A print to file that did not reach the disk is a printer error, not a
// printout: Qt's PDF output reports no failed write itself.
#include "app/PrintJob.h"
#include "reports/PrintedFile.h"
#include "reports/ReportLayout.h"
#include "reports/support/PdfText.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kova {
namespace {

ReportCanvas onePage()
{
    auto page = readReportLayout(R"({"window": "T", "width": 11700, "height": 12465, "items": [
        {"kind": "label", "left": 175, "top": 425, "width": 2000, "height": 195, "text": "Word"}]})", "T");
    return *page;
}

TEST(PrintJobToFile, FileThatWasNotWrittenIsAPrinterError)
{
    test::ensureGuiApp();
    QTemporaryDir dir;
    const struct { QString path; std::optional<std::string> failure; } cases[] = {
        {"/dev/full", "Printing stopped: the printer reported an error. Pages printed: 1."},
        {dir.filePath("out.pdf"), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(c.path);
        PrintJob job(printer);
        EXPECT_TRUE(job.page(onePage));
        job.finish();
        EXPECT_EQ(job.failure(), c.failure);
    }
}

TEST(PrintJobToFile, CompletePdfIsARegularNonEmptyFileEndingInEof)
{
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        return f.fileName();
    };
    const struct { QString path; bool complete; } cases[] = {
        {write("whole.pdf", "%PDF-1.4\n...\n%%EOF\n"), true}, {write("crlf.pdf", "%PDF-1.4\r\n%%EOF\r\n"), true},
        {write("cut.pdf", "%PDF-1.4\n1 0 obj\n"), false},     {write("empty.pdf", ""), false},
        {dir.filePath("missing.pdf"), false},                 {dir.path(), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pdfFileComplete(c.path), c.complete) << c.path.toStdString();
}

} // namespace
} // namespace kova
