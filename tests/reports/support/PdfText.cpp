#include "reports/support/PdfText.h"

#include "reports/ReportPrinter.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

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

PdfWord pdfWord(const std::string& path, const std::string& text, int page)
{
    const QString html = run(QStringLiteral("pdftotext"), pageArgs(page) << QStringLiteral("-bbox")
                                                              << QString::fromStdString(path) << QStringLiteral("-"));
    static const QRegularExpression pageOrWord(
        QStringLiteral("<page\\b|<word xMin=\"([-0-9.]+)\" yMin=\"([-0-9.]+)\" xMax=\"([-0-9.]+)\" "
                       "yMax=\"([-0-9.]+)\">([^<]*)</word>"));
    int current = page > 0 ? page - 1 : 0;
    for (auto it = pageOrWord.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page")))
            ++current;
        else if (m.captured(5).toStdString() == text)
            return {current, text, m.captured(1).toDouble() * kTwipsPerPoint, m.captured(2).toDouble() * kTwipsPerPoint,
                    m.captured(3).toDouble() * kTwipsPerPoint, m.captured(4).toDouble() * kTwipsPerPoint};
    }
    return {};
}

// pdffonts' rows; the rule under the heads gives the columns: name, type,
// encoding, emb, sub, uni, object ID.
std::vector<PdfFont> pdfFonts(const std::string& path)
{
    const QStringList lines = run(QStringLiteral("pdffonts"), {QString::fromStdString(path)}).split(QLatin1Char('\n'));
    const auto rule = std::find_if(lines.begin(), lines.end(), [](const QString& l) { return l.startsWith("---"); });
    if (rule == lines.end())
        return {};
    std::vector<std::pair<qsizetype, qsizetype>> columns; // start and width of each dash group
    for (auto it = QRegularExpression(QStringLiteral("-+")).globalMatch(*rule); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        columns.emplace_back(m.capturedStart(), m.capturedLength());
    }
    std::vector<PdfFont> fonts;
    for (auto line = rule + 1; line != lines.end() && columns.size() >= 4; ++line)
        if (!line->trimmed().isEmpty())
            fonts.push_back({line->mid(columns[0].first, columns[0].second).trimmed().toStdString(),
                             line->mid(columns[3].first, columns[3].second).trimmed() == QStringLiteral("yes")});
    return fonts;
}

} // namespace kova::test
