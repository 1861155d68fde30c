#include "reports/support/PdfText.h"

#include "reports/ReportPrinter.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

namespace kova::test {

namespace {

constexpr int kTwipsPerPoint = 20;

// A tool's standard output; "" when it fails to run or reports failure.
QString run(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    const bool done = p.waitForStarted(10000) && p.waitForFinished(60000);
    if (!done) p.kill();
    const bool good = done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return good ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

QStringList pageArgs(int page)
{
    if (page <= 0) return {};
    return {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page)};
}

// A PDF page is a whole number of points: rounded up, so the page prints
// at scale 1.
QPageSize pageSizeOf(const ReportCanvas& c)
{
    auto points = [](int twips) { return (twips + kTwipsPerPoint - 1) / kTwipsPerPoint; };
    return QPageSize(QSize(points(c.clientWidth()), points(c.clientHeight())), QString(), QPageSize::ExactMatch);
}

} // namespace

void ensureGuiApp()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kova-report-tests";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

std::string printPdf(const std::string& path, const std::vector<ReportCanvas>& pages)
{
    ensureGuiApp();
    if (pages.empty())
        return "no pages";
    QPdfWriter writer(QString::fromStdString(path));
    writer.setResolution(1440);
    writer.setPageLayout(QPageLayout(pageSizeOf(pages.front()), QPageLayout::Portrait, QMarginsF()));
    ReportPrinter printer(writer);
    if (!printer.begin())
        return "the PDF writer could not be started";
    for (std::size_t i = 0; i < pages.size(); ++i) {
        // A page's size applies from the next new page on.
        if (i > 0)
            writer.setPageSize(pageSizeOf(pages[i]));
        if (!printer.printPage(pages[i]))
            return "page " + std::to_string(i + 1) + " could not be printed";
    }
    printer.end();
    return {};
}

int pdfPageCount(const std::string& path)
{
    const QString info = run(QStringLiteral("pdfinfo"), {QString::fromStdString(path)});
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

std::string pdfText(const std::string& path, int page, bool layout)
{
    QStringList args = pageArgs(page);
    if (layout)
        args << QStringLiteral("-layout");
    args << QString::fromStdString(path) << QStringLiteral("-");
    return run(QStringLiteral("pdftotext"), args).toStdString();
}

std::vector<PdfWord> pdfWords(const std::string& path, int page)
{
    const QString html = run(QStringLiteral("pdftotext"), pageArgs(page) << QStringLiteral("-bbox")
                                                              << QString::fromStdString(path) << QStringLiteral("-"));
    static const QRegularExpression pageOrWord(
        QStringLiteral("<page\\b|<word xMin=\"([-0-9.]+)\" yMin=\"([-0-9.]+)\" xMax=\"([-0-9.]+)\" "
                       "yMax=\"([-0-9.]+)\">([^<]*)</word>"));
    std::vector<PdfWord> words;
    int current = page > 0 ? page - 1 : 0;
    for (auto it = pageOrWord.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page")))
            ++current;
        else
            words.push_back({current, m.captured(5).toStdString(), m.captured(1).toDouble() * kTwipsPerPoint,
                             m.captured(2).toDouble() * kTwipsPerPoint, m.captured(3).toDouble() * kTwipsPerPoint,
                             m.captured(4).toDouble() * kTwipsPerPoint});
    }
    return words;
}

PdfWord pdfWord(const std::string& path, const std::string& text, int page)
{
    for (const PdfWord& w : pdfWords(path, page))
        if (w.text == text)
            return w;
    return {};
}

// pdffonts' rows: name, type, encoding, then emb, sub and uni ("yes" or
// "no") and the object ID.
std::vector<PdfFont> pdfFonts(const std::string& path)
{
    static const QRegularExpression row(QStringLiteral("^(\\S+) .* (yes|no) +(?:yes|no) +(?:yes|no) +\\d+ +\\d+\\s*$"),
                                        QRegularExpression::MultilineOption);
    std::vector<PdfFont> fonts;
    for (auto it = row.globalMatch(run(QStringLiteral("pdffonts"), {QString::fromStdString(path)})); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        fonts.push_back({m.captured(1).toStdString(), m.captured(2) == QStringLiteral("yes")});
    }
    return fonts;
}

} // namespace kova::test
