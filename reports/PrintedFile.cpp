#include "reports/PrintedFile.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>

namespace kova {

bool pdfFileComplete(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() == 0)
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 kCola = 64;
    f.seek(std::max<qint64>(0, info.size() - kCola));
    return f.read(kCola).trimmed().endsWith("%%EOF");
}

bool printedFileWritten(const QPagedPaintDevice& device)
{
    const auto* printer = dynamic_cast<const QPrinter*>(&device);
    if (printer == nullptr || printer->outputFormat() != QPrinter::PdfFormat || printer->outputFileName().isEmpty())
        return true;
    return pdfFileComplete(printer->outputFileName());
}

} // namespace kova
