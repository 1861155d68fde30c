#pragma once
// Whether a print to file reached the disk. Qt's PDF output reports no
// failed write (a full disk, a device that takes no data): the file itself
// is looked at once the job has ended.

#include <QString>

class QPagedPaintDevice;

namespace kova {

// A regular, non-empty file whose content ends with "%%EOF" (line ends and
// blanks after it allowed).
bool pdfFileComplete(const QString& path);

// False when `device` is a printer that printed to a PDF file and that file
// is not complete; true for any other device.
bool printedFileWritten(const QPagedPaintDevice& device);

} // namespace kova
