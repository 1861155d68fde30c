#include "reports/ReportPrinter.h"

#include "reports/PrintedFile.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>

#include <algorithm>
#include <mutex>

namespace kova {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr int kTwipsPerPixel = 15;      // design pixels (96 dpi)
constexpr int kCheckSquare = 195;       // side of a check box's square
constexpr int kCheckGap = 60;           // square to caption
constexpr int kFrameCaptionLeft = 120;  // caption inset in a frame's top border
constexpr int kFrameCaptionPad = 45;    // blank either side of a frame caption
constexpr int kCellPad = 45;            // text inset in a grid cell
const QColor kFixedCell(0xC0, 0xC0, 0xC0);

// The windows were designed with Windows fonts. Liberation Sans has Arial's
// metrics, so texts keep their design widths; DejaVu Sans stands in when it
// is missing.
void registerSubstitutions()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QStringList sans{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
        QFont::insertSubstitutions(QStringLiteral("Arial"), sans);
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
    });
}

QFont fontOf(const ReportFont& f, bool bold)
{
    registerSubstitutions();
    QFont font(QString::fromStdString(f.family));
    font.setStyleHint(QFont::SansSerif);
    // Sizes in twips: the painter's units. A point size would be turned
    // into device pixels at the device's resolution and then scaled again.
    font.setPixelSize(std::max(1, static_cast<int>(f.points * 20.0 + 0.5)));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

int alignOf(ReportAlign a)
{
    switch (a) {
    case ReportAlign::Center: return Qt::AlignHCenter;
    case ReportAlign::Right: return Qt::AlignRight;
    case ReportAlign::Left: break;
    }
    return Qt::AlignLeft;
}

QPen pen(int designPixels)
{
    QPen p(Qt::black);
    p.setWidthF(std::max(1, designPixels) * kTwipsPerPixel);
    p.setCapStyle(Qt::FlatCap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

QString qs(const std::string& s) { return QString::fromStdString(s); }

void paintLabel(QPainter& p, const ReportItem& it)
{
    const QFont font = fontOf(it.font, it.font.bold);
    p.setFont(font);
    const QString text = qs(it.text);
    QRectF r(it.left, it.top, it.width, it.height);
    if (it.autoSize) {
        // The label takes its text's size: texts longer than the design
        // width (dates, the relay name) print whole.
        const QFontMetricsF fm(font, p.device());
        r.setWidth(fm.horizontalAdvance(text));
        r.setHeight(std::max<qreal>(it.height, fm.height()));
    }
    if (it.background)
        p.fillRect(r, QColor::fromRgb(static_cast<QRgb>(*it.background)));
    if (text.isEmpty())
        return;
    p.setPen(Qt::black);
    // Never clipped: a value wider than its label still prints in full.
    p.drawText(r, alignOf(it.align) | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine, text);
}

void paintFrame(QPainter& p, const ReportItem& it)
{
    const QFont font = fontOf(it.font, it.font.bold);
    const QFontMetricsF fm(font, p.device());
    const QString caption = qs(it.text);
    // The top border runs through the middle of the caption.
    const qreal border = caption.isEmpty() ? 0.0 : fm.height() / 2.0;
    const QPen line = pen(1);
    const qreal inset = line.widthF() / 2.0;  // the whole line inside the frame
    // The frame's ground first, in its own colour or the page's: a frame
    // laid over the edge of an earlier one covers that edge, so where two
    // frames meet one border prints, not two.
    p.fillRect(QRectF(it.left, it.top, it.width, it.height),
               it.background ? QColor::fromRgb(static_cast<QRgb>(*it.background)) : QColor(Qt::white));
    // A frame of line width 0 has no border (one laid over a row of another frame).
    if (it.lineWidth > 0) {
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(it.left + inset, it.top + border + inset, it.width - 2 * inset, it.height - border - 2 * inset));
    }
    if (caption.isEmpty())
        return;
    const qreal w = fm.horizontalAdvance(caption);
    const QRectF gap(it.left + kFrameCaptionLeft - kFrameCaptionPad, it.top, w + 2 * kFrameCaptionPad, fm.height());
    p.fillRect(gap, Qt::white);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRectF(it.left + kFrameCaptionLeft, it.top, w, fm.height()),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine, caption);
}

void paintLine(QPainter& p, const ReportItem& it)
{
    p.setPen(pen(it.lineWidth));
    p.drawLine(QPointF(it.left, it.top), QPointF(it.left + it.width, it.top + it.height));
}

void paintCheckBox(QPainter& p, const ReportItem& it)
{
    const qreal y = it.top + std::max(0, it.height - kCheckSquare) / 2.0;
    const QRectF box(it.left, y, kCheckSquare, kCheckSquare);
    p.setPen(pen(1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box.adjusted(7.5, 7.5, -7.5, -7.5));
    if (it.checked) {
        QPainterPath tick;
        tick.moveTo(box.left() + 0.22 * kCheckSquare, box.top() + 0.52 * kCheckSquare);
        tick.lineTo(box.left() + 0.42 * kCheckSquare, box.top() + 0.74 * kCheckSquare);
        tick.lineTo(box.left() + 0.80 * kCheckSquare, box.top() + 0.26 * kCheckSquare);
        p.setPen(pen(2));
        p.drawPath(tick);
    }
    if (it.text.empty())
        return;
    p.setFont(fontOf(it.font, it.font.bold));
    p.setPen(Qt::black);
    const qreal x = it.left + kCheckSquare + kCheckGap;
    p.drawText(QRectF(x, it.top, std::max<qreal>(0, it.left + it.width - x), std::max(it.height, kCheckSquare)),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip | Qt::TextSingleLine, qs(it.text));
}

// The font made smaller, when the text is wider than `width`, until it
// fits: a grid cell's text prints whole, never cut at the cell's edge (the
// printer's font may be wider than the one the grid was designed with).
QFont fittingFont(QFont font, const QString& text, qreal width, const QPaintDevice* device)
{
    for (qreal wide = QFontMetricsF(font, device).horizontalAdvance(text); wide > width && font.pixelSize() > 1;
         wide = QFontMetricsF(font, device).horizontalAdvance(text)) {
        // Widths grow about in proportion to the size; one step down at least.
        const int smaller = static_cast<int>(font.pixelSize() * std::max<qreal>(width, 0) / wide);
        font.setPixelSize(std::clamp(smaller, 1, font.pixelSize() - 1));
    }
    return font;
}

void paintGrid(QPainter& p, const ReportItem& it)
{
    const ReportGrid& g = it.grid;
    // Only the cells the grid's vectors describe.
    const int cols = std::min<int>(g.cols, static_cast<int>(g.colWidths.size()));
    const int rows = g.cols > 0 ? std::min<int>(g.rows, static_cast<int>(g.cells.size()) / g.cols) : 0;
    int gridWidth = 0;
    for (int c = 0; c < cols; ++c)
        gridWidth += g.colWidths[static_cast<std::size_t>(c)];
    p.save();
    // The grid shows what fits its rectangle, like the window's grid did.
    const QRectF area(it.left, it.top, it.width > 0 ? it.width : gridWidth,
                      it.height > 0 ? it.height : rows * g.rowHeight);
    const qreal halfPen = kTwipsPerPixel / 2.0;  // the outer lines print whole
    p.setClipRect(area.adjusted(-halfPen, -halfPen, halfPen, halfPen), Qt::IntersectClip);
    int y = it.top;
    for (int r = 0; r < rows; ++r, y += g.rowHeight) {
        int x = it.left;
        for (int c = 0; c < cols; ++c) {
            const int w = g.colWidths[static_cast<std::size_t>(c)];
            const QRectF cell(x, y, w, g.rowHeight);
            if (r < g.fixedRows || c < g.fixedCols)
                p.fillRect(cell, kFixedCell);
            p.setPen(pen(1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(cell);
            const std::string& text = g.cell(r, c);
            if (!text.empty()) {
                const QRectF inner = cell.adjusted(kCellPad, 0, -kCellPad, 0);
                const QString shown = qs(text);
                p.setFont(fittingFont(fontOf(it.font, g.isBold(r, c)), shown, inner.width(), p.device()));
                p.setPen(Qt::black);
                p.drawText(inner, alignOf(g.alignAt(r, c)) | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                           shown);
            }
            x += w;
        }
    }
    p.restore();
}

} // namespace

ReportPrinter::ReportPrinter(QPagedPaintDevice& device) : device_(device) {}

ReportPrinter::~ReportPrinter() { end(); }

bool ReportPrinter::begin() { return painter_.begin(&device_); }

namespace {

bool printerError(QPagedPaintDevice& device)
{
    const auto* printer = dynamic_cast<const QPrinter*>(&device);
    return printer && printer->printerState() == QPrinter::Error;
}

} // namespace

bool ReportPrinter::printPage(const ReportCanvas& page)
{
    const auto failed = [&] { return !painter_.isActive() || printerError(device_); };
    if (failed() || (pages_ > 0 && !device_.newPage()) || failed())
        return false;
    painter_.save();
    painter_.setTransform(QTransform(pageTransform(device_, page.clientWidth(), page.clientHeight())));
    paint(painter_, page);
    painter_.restore();
    if (failed())
        return false;
    ++pages_;
    return true;
}

QTransform ReportPrinter::pageTransform(const QPaintDevice& device, int clientWidth, int clientHeight)
{
    // The painter's origin is the printable area's top-left corner, and the
    // device's size is that area in device pixels.
    const double dpiX = device.logicalDpiX();
    const double dpiY = device.logicalDpiY();
    const double printableW = device.width() * kTwipsPerInch / dpiX;
    const double printableH = device.height() * kTwipsPerInch / dpiY;
    double s = 1.0;
    if (clientWidth > 0)
        s = std::min(s, printableW / clientWidth);
    if (clientHeight > 0)
        s = std::min(s, printableH / clientHeight);
    return QTransform::fromScale(s * dpiX / kTwipsPerInch, s * dpiY / kTwipsPerInch);
}

bool ReportPrinter::end()
{
    if (!painter_.isActive())
        return true;
    painter_.end();
    return !printerError(device_) && printedFileWritten(device_);
}

void ReportPrinter::paint(QPainter& painter, const ReportCanvas& page)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(QRectF(0, 0, page.clientWidth(), page.clientHeight()), Qt::white);
    for (const ReportItem& item : page.items()) {
        if (!page.shown(item))
            continue;
        switch (item.kind) {
        case ReportItem::Kind::Label: paintLabel(painter, item); break;
        case ReportItem::Kind::Frame: paintFrame(painter, item); break;
        case ReportItem::Kind::Line: paintLine(painter, item); break;
        case ReportItem::Kind::CheckBox: paintCheckBox(painter, item); break;
        case ReportItem::Kind::Grid: paintGrid(painter, item); break;
        }
    }
    painter.restore();
}

} // namespace kova
