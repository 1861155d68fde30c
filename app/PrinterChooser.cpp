#include "app/PrinterChooser.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

namespace kova {

std::unique_ptr<QPrinter> choosePrinter(QWidget* parent)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // A child of a disabled window (the setpoints command disables the main
    // window first) would be disabled too.
    QPrintDialog dialog(printer.get(), parent && parent->isEnabled() ? parent : nullptr);
    dialog.setObjectName(QStringLiteral("Dialogo1"));
    dialog.setOptions(kPrintDialogOptions);
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    return printer;
}

} // namespace kova
