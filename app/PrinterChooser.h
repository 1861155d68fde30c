#pragma once
// The printer dialog of the Print commands. Print to file stays offered: on
// Linux it is the "Print to File (PDF)" entry, and without a configured
// printer the only one. Selection, page range and current page are off: the
// commands print a fixed series of pages.

#include <QAbstractPrintDialog>

#include <memory>

class QPrinter;
class QWidget;

namespace kova {

inline constexpr QAbstractPrintDialog::PrintDialogOptions kPrintDialogOptions =
    QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintCollateCopies |
    QAbstractPrintDialog::PrintShowPageSize;

// Shows the dialog modally over parent (unless it is disabled); the printer
// chosen, or nothing when cancelled. A symbolic link chosen as the PDF file
// is kept: the print writes the file it names.
std::unique_ptr<QPrinter> choosePrinter(QWidget* parent);

} // namespace kova
