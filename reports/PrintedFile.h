#pragma once
// Whether a print to file reached the disk. Qt's PDF output reports no
// failed write (a full disk, a device that takes no data): the file itself
// is looked at once the job has ended.

#include <QString>

#include <string>

class QPagedPaintDevice;

namespace kova {

// A regular, non-empty file whose content ends with "%%EOF" (line ends and
// blanks after it allowed).
bool pdfFileComplete(const QString& path);

// False when `device` is a printer that printed to a PDF file and that file
// is not complete; true for any other device.
bool printedFileWritten(const QPagedPaintDevice& device);

// When `device` printed to a PDF file that is not complete: the detail line
// that says so and names the file, with the system's reason where it can be
// told ("No space left on device" when the file's file system is full);
// "" otherwise.
std::string incompleteFileDetail(const QPagedPaintDevice& device);

} // namespace kova
