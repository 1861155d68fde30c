#pragma once
// Printing into a PDF through the program's own printer dialog; the PDF is
// read back with reports/support/PdfText.h.
#include "reports/support/PdfText.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QtTest>

namespace kova::test {

// Answers the printer dialog: its "Print to File (PDF)" entry into `path`.
inline void printToFile(const QString& path, bool& answered)
{
    QPrintDialog* dialog = nullptr;
    QTRY_VERIFY((dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())));
    auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
    auto* file = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
    QVERIFY(printers && file);
    printers->setCurrentIndex(printers->count() - 1); // "Print to File (PDF)" comes last
    file->setText(path);
    dialog->accept();
    answered = true;
}

} // namespace kova::test
