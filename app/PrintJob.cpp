#include "app/PrintJob.h"

#include "platform/StderrLine.h"
#include "reports/PrintedFile.h"
#include "text/NumberText.h"

#include <exception>

namespace kova {

PrintJob::PrintJob(QPagedPaintDevice& device) : device_(device), file_(device), printer_(device) {}

std::string PrintJob::notStarted() { return "Printing stopped: the printer could not be started. Pages printed: 0."; }

std::string PrintJob::printerError(int pagesPrinted)
{
    return "Printing stopped: the printer reported an error. Pages printed: " + integerText(pagesPrinted) + ".";
}

std::string PrintJob::fillFailed(int pagesPrinted)
{
    return "Printing stopped: page " + integerText(pagesPrinted + 1) +
           " could not be filled. Pages printed: " + integerText(pagesPrinted) + ".";
}

bool PrintJob::page(const std::function<ReportCanvas()>& fill)
{
    if (failure_) return false;
    ReportCanvas canvas;
    try {
        canvas = fill();
    } catch (const std::exception& e) {
        failure_ = fillFailed(pagesPrinted());
        detail_ = e.what();
        return false;
    } catch (...) {
        failure_ = fillFailed(pagesPrinted());
        return false;
    }
    if (!printer_.started()) {
        if (!file_.refused().empty() || !printer_.begin()) {
            failure_ = notStarted();
            detail_ = file_.refused();
            return false;
        }
        begun_ = true;
    }
    if (!printer_.printPage(canvas)) {
        failure_ = printerError(pagesPrinted());
        printerFailed_ = true;
        return false;
    }
    return true;
}

void PrintJob::addDetail(const std::string& more)
{
    if (more.empty()) return;
    if (!detail_.empty()) detail_ += detail_.back() == '.' ? " " : ". ";
    detail_ += more;
}

void PrintJob::finish()
{
    if (!printer_.end() && !failure_) {
        failure_ = printerError(pagesPrinted());
        printerFailed_ = true;
    }
    // The file is whole or cut short only once the job has ended.
    if (file_.held()) {
        if (failure_) {
            // A file the printer never began holds nothing to tell of.
            const std::string notWritten = file_.drop();
            if (begun_) addDetail(notWritten);
        } else if (pagesPrinted() == 0) {
            file_.drop();  // nothing printed, nothing to put in place
        } else if (const std::string notPlaced = file_.place(); !notPlaced.empty()) {
            failure_ = printerError(pagesPrinted());
            printerFailed_ = true;
            detail_ = notPlaced;
        }
    } else if (printerFailed_ && detail_.empty()) {
        detail_ = incompleteFileDetail(device_);
    }
    if (failure_ && !detail_.empty()) writeStderrLine("kova: " + *failure_ + " " + detail_);
}

} // namespace kova
