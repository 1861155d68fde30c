#include "reports/PrintedFile.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>

#include <cerrno>
#include <cstring>
#include <sys/statvfs.h>
#include <unistd.h>

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

namespace {

// The PDF file a printer prints to; "" for any other device.
QString pdfFileOf(const QPagedPaintDevice& device)
{
    const auto* printer = dynamic_cast<const QPrinter*>(&device);
    if (printer == nullptr || printer->outputFormat() != QPrinter::PdfFormat)
        return {};
    return printer->outputFileName();
}

// Qt's PDF output keeps no write error, so the one reason that can be told
// afterwards is a file system left with no free block for this process.
bool fileSystemFull(const QString& path)
{
    struct statvfs fs {};
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (::statvfs(folder.constData(), &fs) != 0 || fs.f_blocks == 0)
        return false;
    return (::geteuid() == 0 ? fs.f_bfree : fs.f_bavail) == 0;
}

} // namespace

PrintedFile::PrintedFile(QPagedPaintDevice& device)
{
    auto* printer = dynamic_cast<QPrinter*>(&device);
    if (printer == nullptr || printer->outputFormat() != QPrinter::PdfFormat || printer->outputFileName().isEmpty())
        return;
    const QFileInfo existing(printer->outputFileName());
    if (existing.exists() && !existing.isFile())
        return;
    printer_ = printer;
    path_ = printer->outputFileName();
    replacement_ = std::make_unique<WholeFileReplacement>(QFile::encodeName(path_).toStdString());
    if (replacement_->ready())
        printer_->setOutputFileName(QFile::decodeName(replacement_->temporaryPath().c_str()));
}

PrintedFile::~PrintedFile() { restoreName(); }

void PrintedFile::restoreName()
{
    if (printer_ && !printer_->paintingActive() && printer_->outputFileName() != path_)
        printer_->setOutputFileName(path_);
}

std::string PrintedFile::notWritten(const std::string& reason) const
{
    std::string detail = "The file " + QFile::encodeName(path_).toStdString() + " was not written";
    if (!reason.empty())
        detail += ": " + reason;
    detail += ".";
    if (replacement_->replacesAFile())
        detail += " The earlier file of that name is unchanged.";
    return detail;
}

std::string PrintedFile::refused() const
{
    return replacement_ && !replacement_->ready() ? notWritten(replacement_->reason()) : std::string();
}

std::string PrintedFile::place()
{
    restoreName();
    if (!replacement_ || !replacement_->ready())
        return {};
    const QString temporary = QFile::decodeName(replacement_->temporaryPath().c_str());
    if (!pdfFileComplete(temporary))
        return drop();
    return replacement_->place() ? std::string() : notWritten(replacement_->reason());
}

std::string PrintedFile::drop()
{
    restoreName();
    if (!replacement_ || !replacement_->ready())
        return {};
    // Looked at before the temporary file goes and frees its blocks.
    const bool full = fileSystemFull(QFile::decodeName(replacement_->temporaryPath().c_str()));
    replacement_->discard();
    return notWritten(full ? std::strerror(ENOSPC) : "");
}

bool printedFileWritten(const QPagedPaintDevice& device)
{
    const QString path = pdfFileOf(device);
    return path.isEmpty() || pdfFileComplete(path);
}

std::string incompleteFileDetail(const QPagedPaintDevice& device)
{
    const QString path = pdfFileOf(device);
    if (path.isEmpty() || pdfFileComplete(path))
        return {};
    std::string detail = "The file " + QFile::encodeName(path).toStdString() + " is incomplete";
    if (fileSystemFull(path))
        detail += std::string(": ") + std::strerror(ENOSPC);
    return detail + ".";
}

} // namespace kova
