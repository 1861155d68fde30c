#pragma once
// A print to a PDF file, written like any other file: into a temporary file
// beside it, put in its place only once whole, so a print cut short leaves
// any earlier file of that name as it was and no broken file. Qt's PDF
// output reports no failed write (a full disk, a device that takes no
// data): the file itself is looked at once the job has ended.

#include "platform/WholeFileWriter.h"

#include <QString>

#include <memory>
#include <string>

class QPagedPaintDevice;
class QPrinter;

namespace kova {

// While an instance lives, a printer that prints to a PDF file prints to a
// temporary file beside it. Any other device, and a PDF print to something
// that is not a file (a device such as /dev/full, a pipe), prints as it is.
class PrintedFile {
public:
    explicit PrintedFile(QPagedPaintDevice& device);
    ~PrintedFile();
    PrintedFile(const PrintedFile&) = delete;
    PrintedFile& operator=(const PrintedFile&) = delete;

    // Whether the print goes to a temporary file to be put in place.
    bool held() const { return replacement_ != nullptr; }
    // "" when the print may start; else the detail line saying why the file
    // cannot be written.
    std::string refused() const;
    // Once the painter has ended on a whole file: puts it in place. "" when
    // done or when nothing is held; else the detail line saying the file was
    // not written and why.
    std::string place();
    // A print cut short: the temporary file goes. The detail line naming the
    // file, saying it was not written and, where it can be told, why
    // ("No space left on device"), and that an earlier file is unchanged.
    std::string drop();

private:
    std::string notWritten(const std::string& reason) const;
    void restoreName();

    QPrinter* printer_ = nullptr;
    QString path_;
    std::unique_ptr<WholeFileReplacement> replacement_;
};

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
