#pragma once
// One print command's run of pages on the chosen printer: each page is
// filled, then printed, one painter session for them all, started with the
// first page that was filled. The first failure stops the job; the pages
// printed on paper before it stay printed and the failure is kept as the
// text to show the user: the printer could not be started, it reported an
// error, or a page could not be filled (then with the reason as its
// detail). A print to a PDF file is put in place only once whole
// (PrintedFile): when the job stops after the printer began, the detail
// also says the file was not written, naming it with, where known, the
// system's reason, and that an earlier file of that name is unchanged. A
// failure with a detail is also written to stderr.

#include "reports/PrintedFile.h"
#include "reports/ReportCanvas.h"
#include "reports/ReportPrinter.h"

#include <functional>
#include <optional>
#include <string>

class QPagedPaintDevice;

namespace kova {

class PrintJob {
public:
    explicit PrintJob(QPagedPaintDevice& device);

    // Fills and prints one page; false once the job has stopped.
    bool page(const std::function<ReportCanvas()>& fill);
    // Ends the painter session; a printer error found at the end stops the
    // job too.
    void finish();

    int pagesPrinted() const { return printer_.pagesPrinted(); }
    // What stopped the job; nothing when it printed every page.
    const std::optional<std::string>& failure() const { return failure_; }
    // Why a page could not be filled (the file, key and reason of a broken
    // form or layout) and the PDF file not written, or the PDF file a
    // printer error left incomplete; "" when the failure carries no reason.
    const std::string& failureDetail() const { return detail_; }

    static std::string notStarted();
    static std::string printerError(int pagesPrinted);
    static std::string fillFailed(int pagesPrinted);

private:
    void addDetail(const std::string& more);

    QPagedPaintDevice& device_;
    // Before the printer: the painter ends before the file is let go.
    PrintedFile file_;
    ReportPrinter printer_;
    bool printerFailed_ = false;
    bool begun_ = false;
    std::optional<std::string> failure_;
    std::string detail_;
};

} // namespace kova
