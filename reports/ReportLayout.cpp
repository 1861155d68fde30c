#include "reports/ReportLayout.h"

#include "reports/LayoutJson.h"
#include "platform/BuiltInFile.h"
#include "text/NumberText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>

// The layouts are a resource of this static library: registered once, from
// the global namespace as Qt requires.
static void registerReportLayouts()
{
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(layouts); });
}

namespace kova {

namespace {

struct Fault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A fault of another file (the common header) that already names that file.
struct FaultOfFile : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Twips of a position or size; a line's width and a grid's size in their
// own units. Fractions, negatives and values above the range are refused.
constexpr int kMaxTwips = 32767;
constexpr int kMaxLineWidth = 255;
constexpr int kMaxGridSize = 1000;
constexpr double kMaxPoints = 1000;

[[noreturn]] void fail(const std::string& at, const std::string& what) { throw Fault(at + ": " + what); }

std::string place(const std::string& at, const char* key) { return at.empty() ? key : at + "." + key; }

void onlyKeys(const QJsonObject& o, const std::string& at, std::initializer_list<const char*> keys)
{
    for (auto it = o.begin(); it != o.end(); ++it) {
        const std::string k = it.key().toStdString();
        if (std::none_of(keys.begin(), keys.end(), [&](const char* a) { return k == a; }))
            fail(at.empty() ? k : at + "." + k, "unknown key");
    }
}

int whole(const QJsonValue& v, const std::string& at, int lo, int hi)
{
    const double d = v.toDouble();
    if (!v.isDouble() || d != static_cast<double>(static_cast<long long>(d)) || d < lo || d > hi)
        fail(at, (v.isDouble() ? generalNumber(d) + " is not" : std::string("not")) +
                     " a whole number from " + integerText(lo) + " to " + integerText(hi));
    return static_cast<int>(d);
}

int number(const QJsonObject& o, const std::string& at, const char* key, int hi, int fallback = 0)
{
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isUndefined() ? fallback : whole(v, place(at, key), 0, hi);
}

std::string text(const QJsonObject& o, const std::string& at, const char* key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined())
        return {};
    if (!v.isString())
        fail(place(at, key), "not a text");
    return v.toString().toStdString();
}

bool flag(const QJsonObject& o, const std::string& at, const char* key, bool fallback)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined())
        return fallback;
    if (!v.isBool())
        fail(place(at, key), "not true or false");
    return v.toBool();
}

ReportAlign alignOf(const std::string& a, const std::string& at)
{
    if (a.empty() || a == "left")
        return ReportAlign::Left;
    if (a == "center")
        return ReportAlign::Center;
    if (a == "right")
        return ReportAlign::Right;
    fail(at, "unknown alignment \"" + a + "\"");
}

ReportFont fontOf(const QJsonObject& parent, const std::string& at, ReportFont font)
{
    const QJsonValue v = parent.value(QLatin1String("font"));
    if (v.isUndefined())
        return font;
    const std::string fat = place(at, "font");
    if (!v.isObject())
        fail(fat, "not an object");
    const QJsonObject o = v.toObject();
    onlyKeys(o, fat, {"family", "points", "bold"});
    if (o.contains(QLatin1String("family")))
        font.family = text(o, fat, "family");
    if (o.contains(QLatin1String("points"))) {
        const QJsonValue p = o.value(QLatin1String("points"));
        if (!p.isDouble() || p.toDouble() <= 0 || p.toDouble() > kMaxPoints)
            fail(fat + ".points", "not a number above 0 and up to " + generalNumber(kMaxPoints));
        font.points = p.toDouble();
    }
    font.bold = flag(o, fat, "bold", font.bold);
    return font;
}

QJsonArray listOf(const QJsonObject& o, const std::string& at, const char* key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined())
        return {};
    if (!v.isArray())
        fail(place(at, key), "not a list");
    return v.toArray();
}

struct Reader {
    ReportCanvas& canvas;
    ReportFont font;
    std::set<std::string> names;

    void items(const QJsonObject& holder, const std::string& at, const std::string& parent, int dx, int dy)
    {
        const QJsonArray list = listOf(holder, at, "items");
        for (qsizetype i = 0; i < list.size(); ++i) {
            const std::string iat = place(at, "items") + "[" + integerText(i) + "]";
            if (!list[i].isObject())
                fail(iat, "not an object");
            item(list[i].toObject(), iat, parent, dx, dy);
        }
    }

    void item(const QJsonObject& o, const std::string& at, const std::string& parent, int dx, int dy)
    {
        static const std::map<std::string, ReportItem::Kind> kinds = {
            {"label", ReportItem::Kind::Label}, {"frame", ReportItem::Kind::Frame},
            {"line", ReportItem::Kind::Line},   {"check", ReportItem::Kind::CheckBox},
            {"grid", ReportItem::Kind::Grid}};
        ReportItem it;
        const std::string kind = text(o, at, "kind");
        const auto k = kinds.find(kind);
        if (k == kinds.end())
            fail(at + ".kind", "unknown item kind \"" + kind + "\"");
        it.kind = k->second;
        if (it.kind == ReportItem::Kind::Frame)
            onlyKeys(o, at, {"kind", "name", "left", "top", "width", "height", "text", "align", "font", "background",
                             "visible", "lineWidth", "items"});
        else if (it.kind == ReportItem::Kind::Grid)
            onlyKeys(o, at, {"kind", "name", "left", "top", "width", "height", "text", "align", "font", "background",
                             "visible", "lineWidth", "rows", "cols", "fixedRows", "fixedCols", "rowHeight",
                             "colWidths", "colAlign"});
        else
            onlyKeys(o, at, {"kind", "name", "left", "top", "width", "height", "text", "align", "font", "background",
                             "visible", "lineWidth", "autoSize", "checked"});
        it.name = text(o, at, "name");
        if (!it.name.empty() && !names.insert(it.name).second)
            fail(at + ".name", "\"" + it.name + "\" is placed twice");
        it.parent = parent;
        it.left = number(o, at, "left", kMaxTwips) + dx;
        it.top = number(o, at, "top", kMaxTwips) + dy;
        it.width = number(o, at, "width", kMaxTwips);
        it.height = number(o, at, "height", kMaxTwips);
        it.lineWidth = number(o, at, "lineWidth", kMaxLineWidth, 1);
        it.visible = flag(o, at, "visible", true);
        it.text = text(o, at, "text");
        it.font = fontOf(o, at, font);
        it.align = alignOf(text(o, at, "align"), at + ".align");
        it.autoSize = flag(o, at, "autoSize", false);
        const std::string bg = text(o, at, "background");
        if (!bg.empty()) {
            bool ok = false;
            it.background = QString::fromStdString(bg).toUInt(&ok, 16);
            if (!ok || bg.size() != 6)
                fail(at + ".background", "\"" + bg + "\" is not six hexadecimal digits");
        }
        it.checked = flag(o, at, "checked", false);
        if (it.kind == ReportItem::Kind::Grid) {
            it.grid.resize(number(o, at, "rows", kMaxGridSize), number(o, at, "cols", kMaxGridSize));
            it.grid.fixedRows = number(o, at, "fixedRows", kMaxGridSize, 1);
            it.grid.fixedCols = number(o, at, "fixedCols", kMaxGridSize, 1);
            it.grid.rowHeight = number(o, at, "rowHeight", kMaxTwips, 240);
            const QJsonArray widths = listOf(o, at, "colWidths");
            const QJsonArray aligns = listOf(o, at, "colAlign");
            for (const auto& [list, key] : {std::pair{&widths, "colWidths"}, std::pair{&aligns, "colAlign"}})
                if (list->size() > it.grid.cols)
                    fail(place(at, key), "more entries than the " + integerText(it.grid.cols) + " columns");
            for (qsizetype c = 0; c < widths.size(); ++c)
                it.grid.colWidths[static_cast<std::size_t>(c)] =
                    whole(widths[c], at + ".colWidths[" + integerText(c) + "]", 0, kMaxTwips);
            for (qsizetype c = 0; c < aligns.size(); ++c) {
                const std::string cat = at + ".colAlign[" + integerText(c) + "]";
                if (!aligns[c].isString())
                    fail(cat, "not a text");
                it.grid.colAlign[static_cast<std::size_t>(c)] = alignOf(aligns[c].toString().toStdString(), cat);
            }
        }
        const std::string self = it.name;
        const int fx = it.left;
        const int fy = it.top;
        canvas.add(std::move(it));
        if (kinds.at(kind) == ReportItem::Kind::Frame) {
            if (self.empty() && o.contains(QLatin1String("items")))
                fail(at + ".items", "a frame holding items needs a name");
            items(o, at, self, fx, fy);
        }
    }
};

// An item a header variant names for its parameter or page text.
void setNamed(ReportCanvas& canvas, const QJsonObject& variant, const std::string& at, const char* key,
              const std::string& value)
{
    const std::string label = text(variant, at, key);
    if (label.empty())
        return;
    if (!canvas.find(label))
        fail(place(at, key), "\"" + label + "\" is no item of the header");
    canvas.setText(label, value);
}

// The header variant a layout names, from reports/layouts/header.json.
QJsonObject headerVariant(const std::string& variant);

} // namespace

std::string reportLayoutFile(std::string_view file)
{
    registerReportLayouts();
    return builtInFilePath(QStringLiteral(":/layouts"), "KOVA_LAYOUTS_DIR", file).toStdString();
}

std::string layoutFaultPrefix(std::string_view window)
{
    const std::string file = reportLayoutFile(window);
    return isEditedFile(QString::fromStdString(file)) ? file : std::string(window);
}

std::string reportLayoutText(std::string_view file)
{
    return reportLayoutFileText(file).value_or(std::string());
}

std::optional<std::string> reportLayoutFileText(std::string_view file)
{
    registerReportLayouts();
    return builtInFileText(QStringLiteral(":/layouts"), "KOVA_LAYOUTS_DIR", file);
}

namespace {

QJsonObject headerVariant(const std::string& variant)
{
    // The common header is read once, for every page of every print.
    static const QJsonObject header = [] {
        try {
            const auto text = reportLayoutFileText("header");
            if (!text)
                throw std::runtime_error("(file): cannot be read");
            return layoutJsonObject(*text);
        } catch (const std::exception& e) {
            throw FaultOfFile(layoutFaultPrefix("header") + ": " + e.what());
        }
    }();
    const QJsonValue variants = header.value(QLatin1String("variants"));
    const std::string at = "variants." + variant;
    try {
        onlyKeys(header, "", {"variants"});
        if (!variants.isObject())
            fail("variants", "not an object");
        const QJsonValue v = variants.toObject().value(QString::fromStdString(variant));
        if (v.isObject())
            onlyKeys(v.toObject(), at, {"parameterLabel", "pageLabel", "items"});
        else if (!v.isUndefined())
            fail(at, "not an object");
    } catch (const Fault& e) {
        throw FaultOfFile(layoutFaultPrefix("header") + ": " + e.what());
    }
    const QJsonValue v = variants.toObject().value(QString::fromStdString(variant));
    if (v.isUndefined())
        fail("header", "unknown header \"" + variant + "\"");
    return v.toObject();
}

} // namespace

std::optional<ReportCanvas> readReportLayout(std::string_view json, std::string_view name, std::string* error)
{
    try {
        const QJsonObject o = layoutJsonObject(json);
        // "sources" belongs to the setpoint reports (SetpointReportData.h).
        onlyKeys(o, "", {"window", "width", "height", "header", "parameter", "page", "font", "items", "sources"});
        ReportCanvas canvas(text(o, "", "window"), number(o, "", "width", kMaxTwips),
                            number(o, "", "height", kMaxTwips));
        if (canvas.window().empty() || canvas.clientWidth() <= 0 || canvas.clientHeight() <= 0)
            throw Fault("\"window\", \"width\" and \"height\" are required");
        Reader reader{canvas, fontOf(o, "", ReportFont{}), {}};
        const std::string variant = text(o, "", "header");
        if (!variant.empty()) {
            const QJsonObject v = headerVariant(variant);
            // A fault of the header's items names the header file.
            const std::string at = "variants." + variant;
            try {
                Reader head{canvas, ReportFont{}, {}};
                head.items(v, at, {}, 0, 0);
                reader.names = head.names;
                setNamed(canvas, v, at, "parameterLabel", text(o, "", "parameter"));
                setNamed(canvas, v, at, "pageLabel", text(o, "", "page"));
            } catch (const Fault& e) {
                throw FaultOfFile(layoutFaultPrefix("header") + ": " + e.what());
            }
        }
        reader.items(o, "", {}, 0, 0);
        return canvas;
    } catch (const FaultOfFile& e) {
        if (error)
            *error = e.what();
        return std::nullopt;
    } catch (const std::exception& e) {
        // The layout's own faults, its text's included, name the layout.
        if (error)
            *error = std::string(name) + ": " + e.what();
        return std::nullopt;
    }
}

std::optional<ReportCanvas> loadReportLayout(std::string_view window, std::string* error)
{
    return readReportLayoutFile(window, reportLayoutFileText(window), error);
}

std::optional<ReportCanvas> readReportLayoutFile(std::string_view window, const std::optional<std::string>& json,
                                                 std::string* error)
{
    const std::string where = layoutFaultPrefix(window);
    if (!json) {
        if (error)
            *error = where + (isEditedFile(QString::fromStdString(where)) ? ": (file): cannot be read" : ": no layout");
        return std::nullopt;
    }
    return readReportLayout(*json, where, error);
}

ReportCanvas reportLayout(std::string_view window)
{
    std::string error;
    std::optional<ReportCanvas> page = loadReportLayout(window, &error);
    if (!page)
        throw std::runtime_error(error);
    return std::move(*page);
}

} // namespace kova
