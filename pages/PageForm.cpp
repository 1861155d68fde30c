#include "pages/PageForm.h"

#include "pages/ValueFormReader.h"
#include "platform/BuiltInFile.h"
#include "text/HexText.h"
#include "text/NumberText.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <charconv>
#include <mutex>
#include <set>

// The forms are a resource of this static library: registered once, from
// the global namespace as Qt requires.
static void registerPageForms()
{
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(forms); });
}

namespace kova {

std::pair<std::string, int> splitInstance(std::string_view name)
{
    const auto open = name.find('(');
    if (open == std::string_view::npos || name.size() < open + 3 || name.back() != ')')
        return {std::string(name), -1};
    const std::string_view digits = name.substr(open + 1, name.size() - open - 2);
    int index = -1;
    const auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (ec != std::errc() || p != digits.data() + digits.size() || index < 0)
        return {std::string(name), -1};
    return {std::string(name.substr(0, open)), index};
}

std::string PageForm::boxName(std::string_view array, int index)
{
    return std::string(array) + "(" + integerText(index) + ")";
}

std::vector<std::string> PageForm::arrayMembers(std::string_view array) const
{
    std::vector<std::pair<int, std::string>> found;
    for (const auto& [name, kind] : controls) {
        const auto [a, i] = splitInstance(name);
        if (a == array)
            found.emplace_back(i, name);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> out;
    for (auto& f : found)
        out.push_back(std::move(f.second));
    return out;
}

namespace {

const std::set<std::string> kKinds = {"Byte_UnR", "Word_DosR", "Word_TresR", "Bits", "ComboBox"};

class Reader {
public:
    Reader(std::string_view name, std::string* error) : name_(name), error_(error) {}

    bool fail(const std::string& key, const std::string& what)
    {
        if (error_)
            *error_ = name_ + ": " + key + ": " + what;
        return false;
    }

    bool onlyKeys(const QJsonObject& o, const std::string& at, std::initializer_list<const char*> keys)
    {
        for (auto it = o.begin(); it != o.end(); ++it) {
            const std::string k = it.key().toStdString();
            if (std::none_of(keys.begin(), keys.end(), [&](const char* a) { return k == a; }))
                return fail(at.empty() ? k : at + "." + k, "unknown key");
        }
        return true;
    }

    bool text(const QJsonValue& v, const std::string& key, std::string& out)
    {
        if (!v.isString())
            return fail(key, "a text is required");
        out = v.toString().toStdString();
        return true;
    }

    bool whole(const QJsonValue& v, const std::string& key, int& out)
    {
        if (!v.isDouble() || v.toDouble() != static_cast<double>(v.toInt()))
            return fail(key, "a whole number is required");
        out = v.toInt();
        return true;
    }

    bool texts(const QJsonValue& v, const std::string& key, std::vector<std::string>& out)
    {
        if (!v.isArray())
            return fail(key, "a list of texts is required");
        const QJsonArray a = v.toArray();
        for (qsizetype i = 0; i < a.size(); ++i) {
            std::string t;
            if (!text(a[i], key + "[" + integerText(i) + "]", t))
                return false;
            out.push_back(std::move(t));
        }
        return true;
    }

    bool numbers(const QJsonValue& v, const std::string& key, std::vector<int>& out, int lo, int hi)
    {
        if (!v.isArray())
            return fail(key, "a list of numbers is required");
        const QJsonArray a = v.toArray();
        for (qsizetype i = 0; i < a.size(); ++i) {
            int n = 0;
            const std::string at = key + "[" + integerText(i) + "]";
            if (!whole(a[i], at, n))
                return false;
            if (n < lo || n > hi)
                return fail(at, integerText(n) + " is outside " + integerText(lo) + ".." + integerText(hi));
            out.push_back(n);
        }
        return true;
    }

    bool textMap(const QJsonValue& v, const std::string& key, std::map<std::string, std::string>& out)
    {
        if (!v.isObject())
            return fail(key, "an object is required");
        const QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it)
            if (!text(it.value(), key + "." + it.key().toStdString(), out[it.key().toStdString()]))
                return false;
        return true;
    }

private:
    std::string name_;
    std::string* error_;
};

bool readFrames(Reader& r, const QJsonValue& v, PageForm& f)
{
    if (!v.isArray())
        return r.fail("frames", "a list is required");
    const QJsonArray frames = v.toArray();
    for (qsizetype fi = 0; fi < frames.size(); ++fi) {
        const std::string at = "frames[" + integerText(fi) + "]";
        if (!frames[fi].isObject())
            return r.fail(at, "an object is required");
        const QJsonObject o = frames[fi].toObject();
        if (!r.onlyKeys(o, at, {"name", "caption", "columns"}))
            return false;
        PageForm::Frame frame;
        if (!r.text(o["name"], at + ".name", frame.name) || !r.text(o["caption"], at + ".caption", frame.caption))
            return false;
        if (!o["columns"].isArray())
            return r.fail(at + ".columns", "a list is required");
        const QJsonArray cols = o["columns"].toArray();
        for (qsizetype ci = 0; ci < cols.size(); ++ci) {
            const std::string cat = at + ".columns[" + integerText(ci) + "]";
            if (!cols[ci].isArray())
                return r.fail(cat, "a list of rows is required");
            std::vector<PageForm::Row> column;
            const QJsonArray rows = cols[ci].toArray();
            for (qsizetype ri = 0; ri < rows.size(); ++ri) {
                const std::string rat = cat + "[" + integerText(ri) + "]";
                if (!rows[ri].isObject())
                    return r.fail(rat, "an object is required");
                const QJsonObject row = rows[ri].toObject();
                PageForm::Row out;
                if (row.contains("line")) {
                    out.kind = PageForm::RowKind::Line;
                    if (!r.onlyKeys(row, rat, {"line"}) || !r.text(row["line"], rat + ".line", out.control))
                        return false;
                } else if (row.contains("boxes")) {
                    out.kind = PageForm::RowKind::Boxes;
                    if (!r.onlyKeys(row, rat, {"label", "boxes", "group"}) ||
                        !r.text(row["label"], rat + ".label", out.label) ||
                        !r.text(row["boxes"], rat + ".boxes", out.control) ||
                        !r.whole(row["group"], rat + ".group", out.group))
                        return false;
                } else {
                    if (!r.onlyKeys(row, rat, {"label", "control", "frame", "over"}) ||
                        !r.text(row["label"], rat + ".label", out.label) ||
                        !r.text(row["control"], rat + ".control", out.control))
                        return false;
                    if ((row.contains("frame") || row.contains("over")) &&
                        (!r.text(row["frame"], rat + ".frame", out.frame) ||
                         !r.text(row["over"], rat + ".over", out.over)))
                        return false;
                    if (row.contains("frame") && out.frame.empty())
                        return r.fail(rat + ".frame", "a sub-frame needs a name");
                }
                column.push_back(std::move(out));
            }
            frame.columns.push_back(std::move(column));
        }
        f.frames.push_back(std::move(frame));
    }
    return true;
}

bool readBoxes(Reader& r, const QJsonValue& v, PageForm& f)
{
    if (!v.isObject())
        return r.fail("boxes", "an object is required");
    const QJsonObject o = v.toObject();
    for (auto it = o.begin(); it != o.end(); ++it) {
        const std::string at = "boxes." + it.key().toStdString();
        if (!it.value().isObject())
            return r.fail(at, "an object is required");
        const QJsonObject b = it.value().toObject();
        PageForm::BoxArray arr;
        if (!r.onlyKeys(b, at, {"captions", "groups"}) || !r.texts(b["captions"], at + ".captions", arr.captions) ||
            !r.texts(b["groups"], at + ".groups", arr.groups))
            return false;
        if (arr.captions.size() != 4)
            return r.fail(at + ".captions", "four captions are required");
        if (arr.groups.empty())
            return r.fail(at + ".groups", "at least one group is required");
        for (std::size_t g = 0; g < arr.groups.size(); ++g)
            if (arr.groups[g].size() != 4 || !parseHex(arr.groups[g]))
                return r.fail(at + ".groups[" + integerText(g) + "]", "four hexadecimal digits are required");
        f.boxes[it.key().toStdString()] = std::move(arr);
    }
    return true;
}

bool readProtocol(Reader& r, const QJsonValue& v, PageForm& f)
{
    if (!v.isObject())
        return r.fail("protocol", "an object is required");
    const QJsonObject p = v.toObject();
    if (!r.onlyKeys(p, "protocol", {"selectorArrays", "read", "write", "restore", "display", "rules"}))
        return false;
    if (!r.texts(p["selectorArrays"], "protocol.selectorArrays", f.selectorArrays) ||
        !r.numbers(p["read"], "protocol.read", f.readCodes, 61, 66) ||
        !r.numbers(p["write"], "protocol.write", f.writeCodes, 27, 113) ||
        !r.numbers(p["restore"], "protocol.restore", f.restoreBlocks, 1, 6))
        return false;
    for (std::size_t i = 0; i < f.writeCodes.size(); ++i) {
        const int c = f.writeCodes[i];
        if (c != 27 && c != 28 && (c < 110 || c > 113))
            return r.fail("protocol.write[" + integerText(i) + "]", integerText(c) + " writes no setpoint block");
    }
    if (!p["display"].isObject())
        return r.fail("protocol.display", "an object is required");
    const QJsonObject d = p["display"].toObject();
    if (!r.onlyKeys(d, "protocol.display", {"first", "boxes", "arrays"}) ||
        !r.texts(d["first"], "protocol.display.first", f.displayFirst) ||
        !r.texts(d["arrays"], "protocol.display.arrays", f.displayArrays))
        return false;
    if (!d["boxes"].isArray())
        return r.fail("protocol.display.boxes", "a list is required");
    const QJsonArray steps = d["boxes"].toArray();
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const std::string at = "protocol.display.boxes[" + integerText(i) + "]";
        const QJsonArray s = steps[i].toArray();
        PageForm::BoxStep step;
        if (!steps[i].isArray() || s.size() != 2 || !r.text(s[0], at + "[0]", step.array) ||
            !r.whole(s[1], at + "[1]", step.group))
            return r.fail(at, "[box array, group] is required");
        f.displayBoxes.push_back(step);
    }
    if (!p["rules"].isArray())
        return r.fail("protocol.rules", "a list is required");
    const QJsonArray rules = p["rules"].toArray();
    for (qsizetype i = 0; i < rules.size(); ++i) {
        const std::string at = "protocol.rules[" + integerText(i) + "]";
        const QJsonObject o = rules[i].toObject();
        PageForm::Rule rule;
        std::string noItem;
        if (!rules[i].isObject())
            return r.fail(at, "an object is required");
        if (!r.onlyKeys(o, at, {"selector", "visibleFor", "noItem", "targets"}) ||
            !r.text(o["selector"], at + ".selector", rule.selector) ||
            !r.numbers(o["visibleFor"], at + ".visibleFor", rule.visibleFor, 0, 15) ||
            !r.text(o["noItem"], at + ".noItem", noItem) || !r.texts(o["targets"], at + ".targets", rule.targets))
            return false;
        if (noItem == "hide")
            rule.noItem = PageForm::NoItem::Hide;
        else if (noItem == "show")
            rule.noItem = PageForm::NoItem::Show;
        else if (noItem == "keep")
            rule.noItem = PageForm::NoItem::Keep;
        else
            return r.fail(at + ".noItem", "\"" + noItem + "\" is not hide, show or keep");
        f.rules.push_back(std::move(rule));
    }
    return true;
}

bool isSelector(const PageForm& f, const std::string& name)
{
    auto it = f.controls.find(name);
    return it != f.controls.end() && (it->second == "Bits" || it->second == "ComboBox");
}

bool hasArray(const PageForm& f, const std::string& array) { return !f.arrayMembers(array).empty(); }

// Every name a form uses is one it defines, and every control and caption
// is placed exactly once.
bool checkNames(Reader& r, const PageForm& f)
{
    std::map<std::string, int> placed;
    std::set<std::string> frameNames;
    for (std::size_t fi = 0; fi < f.frames.size(); ++fi) {
        const PageForm::Frame& frame = f.frames[fi];
        if (!frameNames.insert(frame.name).second)
            return r.fail("frames[" + integerText(fi) + "].name", "\"" + frame.name + "\" is named twice");
        for (std::size_t ci = 0; ci < frame.columns.size(); ++ci)
            for (std::size_t ri = 0; ri < frame.columns[ci].size(); ++ri) {
                const PageForm::Row& row = frame.columns[ci][ri];
                const std::string at = "frames[" + integerText(fi) + "].columns[" + integerText(ci) + "][" +
                                       integerText(ri) + "]";
                if (!row.frame.empty()) {
                    // A sub-frame covers exactly the plain row above it.
                    const PageForm::Row* above = ri > 0 ? &frame.columns[ci][ri - 1] : nullptr;
                    if (!above || above->kind != PageForm::RowKind::Control || !above->frame.empty() ||
                        above->control != row.over)
                        return r.fail(at + ".over", "\"" + row.over + "\" is not the control of the row above");
                    if (!frameNames.insert(row.frame).second)
                        return r.fail(at + ".frame", "\"" + row.frame + "\" is named twice");
                }
                if (row.kind == PageForm::RowKind::Line) {
                    ++placed[row.control];
                    continue;
                }
                if (!f.labels.count(row.label))
                    return r.fail(at + ".label", "\"" + row.label + "\" is not in labels");
                ++placed[row.label];
                if (row.kind == PageForm::RowKind::Boxes) {
                    auto b = f.boxes.find(row.control);
                    if (b == f.boxes.end())
                        return r.fail(at + ".boxes", "\"" + row.control + "\" is not in boxes");
                    if (row.group < 0 || row.group >= static_cast<int>(b->second.groups.size()))
                        return r.fail(at + ".group", integerText(row.group) + " is not a group of " + row.control);
                    ++placed[PageForm::boxName(row.control, 4 * row.group)];
                } else {
                    if (!f.controls.count(row.control))
                        return r.fail(at + ".control", "\"" + row.control + "\" is not in controls");
                    ++placed[row.control];
                }
            }
    }
    for (const auto& [name, kind] : f.controls) {
        if (!kKinds.count(kind))
            return r.fail("controls." + name, "unknown kind \"" + kind + "\"");
        if (placed[name] != 1)
            return r.fail("controls." + name, "placed " + integerText(placed[name]) + " times");
        const bool hasSettings = f.settings.find(name) != nullptr;
        if (kind == "ComboBox" ? !f.combos.count(name) : !hasSettings)
            return r.fail("controls." + name, kind == "ComboBox" ? "no items in combos" : "no settings");
    }
    for (const auto& [name, caption] : f.labels)
        if (placed[name] != 1)
            return r.fail("labels." + name, "placed " + integerText(placed[name]) + " times");
    for (const auto& [name, groups] : f.boxes)
        for (std::size_t g = 0; g < groups.groups.size(); ++g)
            if (placed[PageForm::boxName(name, 4 * static_cast<int>(g))] != 1)
                return r.fail("boxes." + name, "group " + integerText(g) + " is not placed once");
    for (const auto& [name, bag] : f.settings.bags()) {
        auto c = f.controls.find(name);
        if (c == f.controls.end() || c->second == "ComboBox")
            return r.fail("settings." + name, "not an editor or selector of the form");
    }
    for (const auto& [name, items] : f.combos)
        if (!f.controls.count(name) || f.controls.at(name) != "ComboBox")
            return r.fail("combos." + name, "not a combo of the form");
    for (std::size_t i = 0; i < f.selectorArrays.size(); ++i) {
        const std::string at = "protocol.selectorArrays[" + integerText(i) + "]";
        if (!hasArray(f, f.selectorArrays[i]))
            return r.fail(at, "no such array");
        for (const std::string& m : f.arrayMembers(f.selectorArrays[i]))
            if (f.controls.at(m) != "Bits")
                return r.fail(at, m + " is not a selector");
    }
    for (std::size_t i = 0; i < f.displayFirst.size(); ++i)
        if (!f.combos.count(f.displayFirst[i]))
            return r.fail("protocol.display.first[" + integerText(i) + "]", "not a combo of the form");
    for (std::size_t i = 0; i < f.displayBoxes.size(); ++i) {
        auto b = f.boxes.find(f.displayBoxes[i].array);
        if (b == f.boxes.end() || f.displayBoxes[i].group < 0 ||
            f.displayBoxes[i].group >= static_cast<int>(b->second.groups.size()))
            return r.fail("protocol.display.boxes[" + integerText(i) + "]", "no such box group");
    }
    for (std::size_t i = 0; i < f.displayArrays.size(); ++i)
        if (!hasArray(f, f.displayArrays[i]))
            return r.fail("protocol.display.arrays[" + integerText(i) + "]", "no such array");
    for (std::size_t i = 0; i < f.rules.size(); ++i) {
        const std::string at = "protocol.rules[" + integerText(i) + "]";
        if (!isSelector(f, f.rules[i].selector))
            return r.fail(at + ".selector", "\"" + f.rules[i].selector + "\" is not a selector or combo");
        for (const std::string& t : f.rules[i].targets)
            if (!f.controls.count(t) && !f.labels.count(t) && !frameNames.count(t))
                return r.fail(at + ".targets", "\"" + t + "\" is not a control, caption or frame");
    }
    return true;
}

} // namespace

std::optional<PageForm> readPageForm(std::string_view json, std::string_view name, std::string* error)
{
    Reader r(name, error);
    QJsonParseError perr{};
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())), &perr);
    if (perr.error != QJsonParseError::NoError) {
        r.fail("(text)", perr.errorString().toStdString() + " at offset " + integerText(perr.offset));
        return std::nullopt;
    }
    if (!doc.isObject()) {
        r.fail("(text)", "the top level is not an object");
        return std::nullopt;
    }
    const QJsonObject o = doc.object();
    if (o.contains("values"))
        return readValueForm(o, name, error);
    PageForm f;
    if (!r.onlyKeys(o, "", {"form", "caption", "frames", "labels", "controls", "settings", "boxes", "combos",
                            "protocol"}) ||
        !r.text(o["form"], "form", f.form) || !r.text(o["caption"], "caption", f.caption) ||
        !readFrames(r, o["frames"], f) || !r.textMap(o["labels"], "labels", f.labels) ||
        !r.textMap(o["controls"], "controls", f.controls) || !readBoxes(r, o["boxes"], f) ||
        !readProtocol(r, o["protocol"], f))
        return std::nullopt;
    if (f.form != name) {
        r.fail("form", "\"" + f.form + "\" is not the file's name");
        return std::nullopt;
    }
    if (!o["settings"].isObject()) {
        r.fail("settings", "an object is required");
        return std::nullopt;
    }
    std::string serr;
    if (!f.settings.fromJson(QJsonDocument(o["settings"].toObject()).toJson().toStdString(), &serr)) {
        r.fail("settings", serr);
        return std::nullopt;
    }
    if (!o["combos"].isObject()) {
        r.fail("combos", "an object is required");
        return std::nullopt;
    }
    const QJsonObject combos = o["combos"].toObject();
    for (auto it = combos.begin(); it != combos.end(); ++it)
        if (!r.texts(it.value(), "combos." + it.key().toStdString(), f.combos[it.key().toStdString()]))
            return std::nullopt;
    if (!checkNames(r, f))
        return std::nullopt;
    return f;
}

std::vector<std::string> pageFormNames()
{
    registerPageForms();
    std::vector<std::string> out;
    const QStringList files = QDir(QStringLiteral(":/forms")).entryList({QStringLiteral("*.json")}, QDir::Files,
                                                                        QDir::Name);
    for (const QString& f : files)
        out.push_back(f.chopped(5).toStdString());
    return out;
}

std::string pageFormText(std::string_view form) { return pageFormContent(form).value_or(std::string()); }

std::optional<std::string> pageFormContent(std::string_view form)
{
    registerPageForms();
    // A form edited in the settings designer is tried without a rebuild.
    return builtInFileText(QStringLiteral(":/forms"), "KOVA_FORMS_DIR", form);
}

std::string pageFormFile(std::string_view form)
{
    registerPageForms();
    return builtInFilePath(QStringLiteral(":/forms"), "KOVA_FORMS_DIR", form).toStdString();
}

bool pageFormExists(std::string_view form)
{
    const auto names = pageFormNames();
    return std::find(names.begin(), names.end(), form) != names.end();
}

} // namespace kova
