#pragma once
// Printing into a PDF through the program's own printer dialog, and reading
// the PDF back with poppler's tools.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QRegularExpression>
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

// The PDF's text as pdftotext lays it out: one page, or all (page 0).
inline QString pdfLayoutText(const QString& pdf, int page = 0)
{
    QStringList args{QStringLiteral("-layout")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args << pdf << QStringLiteral("-"));
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline int pdfPageCount(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(30000);
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace kova::test
