#include "reports/ReportLayout.h"

#include "reports/LayoutJson.h"
#include "platform/BuiltInFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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

int number(const QJsonObject& o, const char* key, int fallback = 0)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined())
        return fallback;
    if (!v.isDouble())
        throw Fault(std::string("\"") + key + "\" is not a number");
    return v.toInt();
}

std::string text(const QJsonObject& o, const char* key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined())
        return {};
    if (!v.isString())
        throw Fault(std::string("\"") + key + "\" is not a text");
    return v.toString().toStdString();
}

ReportAlign alignOf(const std::string& a)
{
    if (a.empty() || a == "left")
        return ReportAlign::Left;
    if (a == "center")
        return ReportAlign::Center;
    if (a == "right")
        return ReportAlign::Right;
    throw Fault("unknown alignment \"" + a + "\"");
}

ReportFont fontOf(const QJsonValue& v, ReportFont font)
{
    if (v.isUndefined())
        return font;
    if (!v.isObject())
        throw Fault("\"font\" is not an object");
    const QJsonObject o = v.toObject();
    if (o.contains(QLatin1String("family")))
        font.family = text(o, "family");
    if (o.contains(QLatin1String("points")))
        font.points = o.value(QLatin1String("points")).toDouble();
    if (o.contains(QLatin1String("bold")))
        font.bold = o.value(QLatin1String("bold")).toBool();
    return font;
}

struct Reader {
    ReportCanvas& canvas;
    ReportFont font;
    std::set<std::string> names;

    void items(const QJsonValue& list, const std::string& parent, int dx, int dy)
    {
        if (list.isUndefined())
            return;
        if (!list.isArray())
            throw Fault("\"items\" is not a list");
        for (const QJsonValue& v : list.toArray()) {
            if (!v.isObject())
                throw Fault("an item is not an object");
            item(v.toObject(), parent, dx, dy);
        }
    }

    void item(const QJsonObject& o, const std::string& parent, int dx, int dy)
    {
        static const std::map<std::string, ReportItem::Kind> kinds = {
            {"label", ReportItem::Kind::Label}, {"frame", ReportItem::Kind::Frame},
            {"line", ReportItem::Kind::Line},   {"check", ReportItem::Kind::CheckBox},
            {"grid", ReportItem::Kind::Grid}};
        ReportItem it;
        const std::string kind = text(o, "kind");
        const auto k = kinds.find(kind);
        if (k == kinds.end())
            throw Fault("unknown item kind \"" + kind + "\"");
        it.kind = k->second;
        it.name = text(o, "name");
        if (!it.name.empty() && !names.insert(it.name).second)
            throw Fault("\"" + it.name + "\" is placed twice");
        it.parent = parent;
        it.left = number(o, "left") + dx;
        it.top = number(o, "top") + dy;
        it.width = number(o, "width");
        it.height = number(o, "height");
        it.lineWidth = number(o, "lineWidth", 1);
        it.visible = o.value(QLatin1String("visible")).toBool(true);
        it.text = text(o, "text");
        it.font = fontOf(o.value(QLatin1String("font")), font);
        it.align = alignOf(text(o, "align"));
        it.autoSize = o.value(QLatin1String("autoSize")).toBool(false);
        const std::string bg = text(o, "background");
        if (!bg.empty())
            it.background = static_cast<std::uint32_t>(std::stoul(bg, nullptr, 16));
        it.checked = o.value(QLatin1String("checked")).toBool(false);
        if (it.kind == ReportItem::Kind::Grid) {
            it.grid.resize(number(o, "rows"), number(o, "cols"));
            it.grid.fixedRows = number(o, "fixedRows", 1);
            it.grid.fixedCols = number(o, "fixedCols", 1);
            it.grid.rowHeight = number(o, "rowHeight", 240);
            const QJsonArray widths = o.value(QLatin1String("colWidths")).toArray();
            for (int c = 0; c < it.grid.cols && c < widths.size(); ++c)
                it.grid.colWidths[static_cast<std::size_t>(c)] = widths[c].toInt();
            const QJsonArray aligns = o.value(QLatin1String("colAlign")).toArray();
            for (int c = 0; c < it.grid.cols && c < aligns.size(); ++c)
                it.grid.colAlign[static_cast<std::size_t>(c)] = alignOf(aligns[c].toString().toStdString());
        }
        const std::string self = it.name;
        const int fx = it.left;
        const int fy = it.top;
        canvas.add(std::move(it));
        if (kinds.at(kind) == ReportItem::Kind::Frame) {
            if (self.empty() && o.contains(QLatin1String("items")))
                throw Fault("a frame holding items needs a name");
            items(o.value(QLatin1String("items")), self, fx, fy);
        }
    }
};

} // namespace

std::string reportLayoutText(std::string_view file)
{
    registerReportLayouts();
    return readBuiltInFile(QStringLiteral(":/layouts"), "KOVA_LAYOUTS_DIR", file);
}

std::optional<ReportCanvas> readReportLayout(std::string_view json, std::string_view name, std::string* error)
{
    try {
        const QJsonObject o = layoutJsonObject(json);
        ReportCanvas canvas(text(o, "window"), number(o, "width"), number(o, "height"));
        if (canvas.window().empty() || canvas.clientWidth() <= 0 || canvas.clientHeight() <= 0)
            throw Fault("\"window\", \"width\" and \"height\" are required");
        Reader reader{canvas, fontOf(o.value(QLatin1String("font")), ReportFont{}), {}};
        const std::string variant = text(o, "header");
        if (!variant.empty()) {
            // The common header is read once, for every page of every print.
            static const QJsonObject header = layoutJsonObject(reportLayoutText("header"));
            const QJsonObject v = header.value(QLatin1String("variants")).toObject().value(
                QString::fromStdString(variant)).toObject();
            if (v.isEmpty())
                throw Fault("unknown header \"" + variant + "\"");
            Reader head{canvas, ReportFont{}, {}};
            head.items(v.value(QLatin1String("items")), {}, 0, 0);
            reader.names = head.names;
            canvas.setText(text(v, "parameterLabel"), text(o, "parameter"));
            canvas.setText(text(v, "pageLabel"), text(o, "page"));
        }
        reader.items(o.value(QLatin1String("items")), {}, 0, 0);
        return canvas;
    } catch (const std::exception& e) {
        if (error)
            *error = std::string(name) + ": " + e.what();
        return std::nullopt;
    }
}

std::optional<ReportCanvas> loadReportLayout(std::string_view window, std::string* error)
{
    const std::string json = reportLayoutText(window);
    if (json.empty()) {
        if (error)
            *error = std::string(window) + ": no layout";
        return std::nullopt;
    }
    return readReportLayout(json, window, error);
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
