#include "app/PrinterChooser.h"

#include "platform/WholeFileWriter.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

namespace kova {

namespace {

// The dialog tries a file name that is not there by creating the file and
// removing it again: through a symbolic link whose file does not exist yet,
// that removes the link and leaves an empty file where it pointed. So on
// Print such a name is shown to the dialog as the file the link names; the
// name chosen is returned in `link` (empty otherwise) for the printer. A
// relative name is made whole first: the dialog writes it in the home
// folder but would try it in the working folder.
void keepLinksOnPrint(QPrintDialog& dialog, QString& link)
{
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    auto* fileName = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
    if (!buttons || !fileName) return;
    // Emitted before the dialog looks at the name.
    QObject::connect(buttons, &QDialogButtonBox::clicked, &dialog, [buttons, fileName, &link](QAbstractButton* b) {
        link.clear();
        if (buttons->buttonRole(b) != QDialogButtonBox::AcceptRole || !fileName->isEnabled()) return;
        QString path = fileName->text();
        if (!path.isEmpty() && QDir::isRelativePath(path)) {
            path = QDir::homePath() + QLatin1Char('/') + path;
            fileName->setText(path);
        }
        const QFileInfo info(path);
        std::string target;
        if (!info.isSymLink() || info.exists() || !resolveSymbolicLinks(QFile::encodeName(path).toStdString(), target))
            return;
        link = path;
        fileName->setText(QFile::decodeName(target.c_str()));
    });
}

} // namespace

std::unique_ptr<QPrinter> choosePrinter(QWidget* parent)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // A child of a disabled window (the setpoints command disables the main
    // window first) would be disabled too.
    QPrintDialog dialog(printer.get(), parent && parent->isEnabled() ? parent : nullptr);
    dialog.setObjectName(QStringLiteral("Dialogo1"));
    dialog.setOptions(kPrintDialogOptions);
    QString link;
    keepLinksOnPrint(dialog, link);
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    // The print goes through the link, which stays (PrintedFile).
    if (!link.isEmpty() && printer->outputFormat() == QPrinter::PdfFormat) printer->setOutputFileName(link);
    return printer;
}

} // namespace kova
