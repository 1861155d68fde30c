#pragma once
// Prints report pages: one painter session per print command on the chosen
// device (a QPrinter, or a QPdfWriter in tests), a new sheet between pages.
// Each page is painted as text and lines (never as an image of a window),
// scaled uniformly by min(1, printable width / client width, printable
// height / client height) and anchored at the printable top-left corner.

#include "reports/ReportCanvas.h"

#include <QPainter>
#include <QTransform>

class QPagedPaintDevice;
class QPaintDevice;

namespace kova {

class ReportPrinter {
public:
    explicit ReportPrinter(QPagedPaintDevice& device);
    ~ReportPrinter();

    // False: the printer could not be started.
    bool begin();
    bool started() const { return painter_.isActive(); }
    // Prints one page; false when the printer reported an error.
    bool printPage(const ReportCanvas& page);
    // Ends the job (also done by the destructor); false when the printer
    // reported an error.
    bool end();
    int pagesPrinted() const { return pages_; }

    // Paints a page at scale 1 on a painter whose units are twips.
    static void paint(QPainter& painter, const ReportCanvas& page);
    // Twips to device pixels for a page of this client size: the page
    // shrunk uniformly to fit the printable area when it is larger.
    static QTransform pageTransform(const QPaintDevice& device, int clientWidth, int clientHeight);

private:
    QPagedPaintDevice& device_;
    QPainter painter_;
    int pages_ = 0;
};

} // namespace kova
