#include "reports/support/PdfText.h"

#include "reports/ReportPrinter.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <optional>

namespace kova::test {

namespace {

constexpr int kTwipsPerPoint = 20;

// A tool's standard output; "" when it fails to run or reports failure.
QString run(const QString& tool, const QStringList& args, bool* ok = nullptr)
{
    QProcess p;
    p.start(tool, args);
    const bool done = p.waitForStarted(10000) && p.waitForFinished(60000);
    const bool good = done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (ok) *ok = good;
    if (!done) p.kill();
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

std::string unescape(QString s)
{
    s.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    s.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    s.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    s.replace(QStringLiteral("&apos;"), QStringLiteral("'"));
    s.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return s.toStdString();
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
    bool ok = false;
    const QString info = run(QStringLiteral("pdfinfo"), {QString::fromStdString(path)}, &ok);
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption).match(info);
    return ok && m.hasMatch() ? m.captured(1).toInt() : -1;
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
        else if (unescape(m.captured(5)) == text)
            return {current, text, m.captured(1).toDouble() * kTwipsPerPoint, m.captured(2).toDouble() * kTwipsPerPoint,
                    m.captured(3).toDouble() * kTwipsPerPoint, m.captured(4).toDouble() * kTwipsPerPoint};
    }
    return {};
}

namespace {

struct FontRow {
    std::string name;
    bool embedded = false;
};

// pdffonts' rows; nullopt when it fails. The rule under the heads gives the
// columns: name, type, encoding, emb, sub, uni, object ID.
std::optional<std::vector<FontRow>> fontRows(const std::string& path)
{
    bool ok = false;
    const QStringList lines =
        run(QStringLiteral("pdffonts"), {QString::fromStdString(path)}, &ok).split(QLatin1Char('\n'));
    int rule = -1;
    for (int i = 0; i < lines.size() && rule < 0; ++i)
        if (lines[i].startsWith(QStringLiteral("---")))
            rule = i;
    if (!ok || rule < 0)
        return std::nullopt;
    // Start and width of each dash group.
    std::vector<std::pair<qsizetype, qsizetype>> columns;
    for (auto it = QRegularExpression(QStringLiteral("-+")).globalMatch(lines[rule]); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        columns.emplace_back(m.capturedStart(), m.capturedLength());
    }
    if (columns.size() < 4)
        return std::nullopt;
    std::vector<FontRow> rows;
    for (int i = rule + 1; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        FontRow row;
        row.name = lines[i].mid(columns[0].first, columns[0].second).trimmed().toStdString();
        row.embedded = lines[i].mid(columns[3].first, columns[3].second).trimmed() == QStringLiteral("yes");
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

bool pdfFontsEmbedded(const std::string& path)
{
    const auto rows = fontRows(path);
    if (!rows || rows->empty())
        return false;
    for (const FontRow& r : *rows)
        if (!r.embedded)
            return false;
    return true;
}

std::vector<std::string> pdfFonts(const std::string& path)
{
    std::vector<std::string> names;
    if (const auto rows = fontRows(path))
        for (const FontRow& r : *rows)
            names.push_back(r.name);
    return names;
}

} // namespace kova::test
