#include "reports/ReportPrinter.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace kova {

ReportPrinter::ReportPrinter(QPagedPaintDevice& device) : device_(device) {}

ReportPrinter::~ReportPrinter() { end(); }

bool ReportPrinter::begin()
{
    painter_ = new QPainter;
    if (!painter_->begin(&device_)) {
        delete painter_;
        painter_ = nullptr;
        return false;
    }
    return true;
}

bool ReportPrinter::printPage(const ReportCanvas& page)
{
    if (!painter_)
        return false;
    if (pages_ > 0 && !device_.newPage())
        return false;
    painter_->save();
    paint(*painter_, page);
    painter_->restore();
    ++pages_;
    return true;
}

void ReportPrinter::end()
{
    if (painter_) {
        painter_->end();
        delete painter_;
        painter_ = nullptr;
    }
}

void ReportPrinter::paint(QPainter&, const ReportCanvas&) {}

} // namespace kova
