#include "pages/ValueFormReader.h"
#include "text/NumberText.h"

#include <QJsonArray>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

namespace kova {

namespace {

struct Fault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What a value page may ask on every refresh: reads only (the values, 2 and
// 4 to 10, and the setpoint blocks, 61 to 66), never a command or a write.
bool readRequest(int code) { return code == 2 || (code >= 4 && code <= 10) || (code >= 61 && code <= 66); }

class Reader {
public:
    explicit Reader(std::string form) : form_(std::move(form)) {}

    [[noreturn]] void fail(const std::string& key, const std::string& what) const
    {
        throw Fault(form_ + ": " + key + ": " + what);
    }

    void onlyKeys(const QJsonObject& o, const std::string& at, std::initializer_list<const char*> keys) const
    {
        for (auto it = o.begin(); it != o.end(); ++it) {
            const std::string k = it.key().toStdString();
            if (std::none_of(keys.begin(), keys.end(), [&](const char* a) { return k == a; }))
                fail(at + k, "unknown key");
        }
    }

    QJsonValue need(const QJsonObject& o, const char* key, const std::string& where) const
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            fail(where + key, "missing");
        return v;
    }
    std::string text(const QJsonValue& v, const std::string& key) const
    {
        if (!v.isString())
            fail(key, "not a text");
        return v.toString().toStdString();
    }
    int number(const QJsonValue& v, const std::string& key) const
    {
        if (!v.isDouble() || v.toDouble() != static_cast<double>(v.toInt()))
            fail(key, "not a whole number");
        return v.toInt();
    }
    QJsonArray array(const QJsonValue& v, const std::string& key) const
    {
        if (!v.isArray())
            fail(key, "not a list");
        return v.toArray();
    }
    QJsonObject object(const QJsonValue& v, const std::string& key) const
    {
        if (!v.isObject())
            fail(key, "not an object");
        return v.toObject();
    }
    std::vector<std::string> texts(const QJsonValue& v, const std::string& key) const
    {
        std::vector<std::string> out;
        const QJsonArray a = array(v, key);
        for (int i = 0; i < a.size(); ++i)
            out.push_back(text(a[i], key + "[" + integerText(i) + "]"));
        return out;
    }
    Twips twips(const QJsonValue& v, const std::string& key) const
    {
        const QJsonArray a = array(v, key);
        if (a.size() != 2)
            fail(key, "not [left, top]");
        return {number(a[0], key), number(a[1], key)};
    }

    PageForm::Frame frame(const QJsonObject& o, const std::string& key) const
    {
        onlyKeys(o, key, {"name", "caption", "twips", "visible", "headers", "rows"});
        PageForm::Frame f;
        f.name = text(need(o, "name", key), key + "name");
        f.caption = text(need(o, "caption", key), key + "caption");
        f.at = twips(need(o, "twips", key), key + "twips");
        if (o.contains(QLatin1String("visible"))) {
            if (!o.value(QLatin1String("visible")).isBool())
                fail(key + "visible", "not true or false");
            f.visible = o.value(QLatin1String("visible")).toBool();
        }
        if (o.contains(QLatin1String("headers")))
            f.headers = texts(o.value(QLatin1String("headers")), key + "headers");
        const QJsonArray rows = array(need(o, "rows", key), key + "rows");
        for (int i = 0; i < rows.size(); ++i) {
            const std::string rk = key + "rows[" + integerText(i) + "].";
            const QJsonObject r = object(rows[i], rk);
            ValueRow row;
            if (r.contains(QLatin1String("separator"))) {
                onlyKeys(r, rk, {"separator"});
                row.separator = text(r.value(QLatin1String("separator")), rk + "separator");
            } else {
                onlyKeys(r, rk, {"label", "cells"});
                row.label = text(need(r, "label", rk), rk + "label");
                const QJsonArray cells = array(need(r, "cells", rk), rk + "cells");
                for (int c = 0; c < cells.size(); ++c)
                    row.cells.push_back(texts(cells[c], rk + "cells[" + integerText(c) + "]"));
            }
            f.rows.push_back(std::move(row));
        }
        return f;
    }

    ValueBinding binding(const QJsonObject& o, const std::string& key) const
    {
        onlyKeys(o, key, {"posicion", "unidad", "parte"});
        ValueBinding b;
        b.posicion = number(need(o, "posicion", key), key + "posicion");
        if (o.contains(QLatin1String("unidad")))
            b.unidad = number(o.value(QLatin1String("unidad")), key + "unidad");
        if (o.contains(QLatin1String("parte"))) {
            const std::string p = text(o.value(QLatin1String("parte")), key + "parte");
            if (p == "fecha")
                b.parte = ValueBinding::Parte::Fecha;
            else if (p == "hora")
                b.parte = ValueBinding::Parte::Hora;
            else
                fail(key + "parte", "neither fecha nor hora");
            if (b.unidad)
                fail(key + "unidad", "a stamp part has no unit");
        }
        return b;
    }

    ClearCommand clear(const QJsonObject& o, const std::string& key) const
    {
        onlyKeys(o, key, {"button", "question", "icon", "title", "request"});
        ClearCommand c;
        c.button = text(need(o, "button", key), key + "button");
        c.question = text(need(o, "question", key), key + "question");
        const std::string icon = text(need(o, "icon", key), key + "icon");
        if (icon == "information")
            c.icon = ClearCommand::Icon::Information;
        else if (icon == "question")
            c.icon = ClearCommand::Icon::Question;
        else
            fail(key + "icon", "neither information nor question");
        c.title = text(need(o, "title", key), key + "title");
        c.request = number(need(o, "request", key), key + "request");
        if (c.request != 12 && c.request != 19)
            fail(key + "request", "request " + integerText(c.request) + " is not a clear command (12 or 19)");
        return c;
    }

    VtLayout layout(const QJsonObject& o, const std::string& key) const
    {
        onlyKeys(o, key, {"label", "posicion", "cases"});
        VtLayout l;
        if (o.contains(QLatin1String("label")))
            l.label = text(o.value(QLatin1String("label")), key + "label");
        else
            l.posicion = number(need(o, "posicion", key), key + "posicion");
        const QJsonArray cases = array(need(o, "cases", key), key + "cases");
        for (int i = 0; i < cases.size(); ++i) {
            const std::string ck = key + "cases[" + integerText(i) + "].";
            const QJsonObject c = object(cases[i], ck);
            onlyKeys(c, ck, {"texts", "show", "hide", "tops"});
            LayoutCase lc;
            lc.texts = texts(need(c, "texts", ck), ck + "texts");
            if (c.contains(QLatin1String("show")))
                lc.show = texts(c.value(QLatin1String("show")), ck + "show");
            if (c.contains(QLatin1String("hide")))
                lc.hide = texts(c.value(QLatin1String("hide")), ck + "hide");
            if (c.contains(QLatin1String("tops"))) {
                const QJsonObject tops = object(c.value(QLatin1String("tops")), ck + "tops");
                for (auto it = tops.begin(); it != tops.end(); ++it)
                    lc.tops[it.key().toStdString()] = number(it.value(), ck + "tops." + it.key().toStdString());
            }
            l.cases.push_back(std::move(lc));
        }
        return l;
    }

    PageForm read(const QJsonObject& o) const
    {
        onlyKeys(o, "", {"form", "caption", "frames", "labels", "design", "values", "buttons", "protocol", "layouts"});
        PageForm f;
        f.form = text(need(o, "form", ""), "form");
        if (f.form != form_)
            fail("form", "\"" + f.form + "\" is not the file's name");
        f.caption = text(need(o, "caption", ""), "caption");
        const QJsonArray frames = array(need(o, "frames", ""), "frames");
        for (int i = 0; i < frames.size(); ++i) {
            const std::string fk = "frames[" + integerText(i) + "].";
            f.frames.push_back(frame(object(frames[i], fk), fk));
        }
        for (const char* map : {"labels", "design"}) {
            const QJsonObject m = object(need(o, map, ""), map);
            auto& dest = std::string(map) == "labels" ? f.labels : f.design;
            for (auto it = m.begin(); it != m.end(); ++it)
                dest[it.key().toStdString()] = text(it.value(), std::string(map) + "." + it.key().toStdString());
        }
        const QJsonObject values = object(need(o, "values", ""), "values");
        for (auto it = values.begin(); it != values.end(); ++it) {
            const std::string k = "values." + it.key().toStdString() + ".";
            f.values[it.key().toStdString()] = binding(object(it.value(), k), k);
        }
        const QJsonArray buttons = array(need(o, "buttons", ""), "buttons");
        for (int i = 0; i < buttons.size(); ++i) {
            const std::string bk = "buttons[" + integerText(i) + "].";
            const QJsonObject b = object(buttons[i], bk);
            onlyKeys(b, bk, {"name", "caption", "twips"});
            f.buttons.push_back({text(need(b, "name", bk), bk + "name"), text(need(b, "caption", bk), bk + "caption"),
                                 twips(need(b, "twips", bk), bk + "twips")});
        }
        const QJsonObject p = object(need(o, "protocol", ""), "protocol");
        onlyKeys(p, "protocol.", {"interval", "tick", "blocks", "clear"});
        f.interval = number(need(p, "interval", "protocol."), "protocol.interval");
        if (f.interval <= 0)
            fail("protocol.interval", "not above 0");
        const QJsonArray tick = array(need(p, "tick", "protocol."), "protocol.tick");
        for (int i = 0; i < tick.size(); ++i) {
            const std::string tk = "protocol.tick[" + integerText(i) + "]";
            const QJsonArray t = array(tick[i], tk);
            if (t.size() != 2)
                fail(tk, "not [queue, request]");
            const TickRequest r{number(t[0], tk), number(t[1], tk)};
            if (r.queue != 0 && r.queue != 1)
                fail(tk, "queue " + integerText(r.queue) + " is neither 0 nor 1");
            if (!readRequest(r.code))
                fail(tk, "request " + integerText(r.code) + " is not a read");
            // A request named twice is queued twice a tick and starves the status poll.
            for (const TickRequest& before : f.tick)
                if (before.code == r.code)
                    fail(tk, "request " + integerText(r.code) + " is named twice");
            f.tick.push_back(r);
        }
        const QJsonArray blocks = array(need(p, "blocks", "protocol."), "protocol.blocks");
        for (int i = 0; i < blocks.size(); ++i)
            f.blocks.push_back(number(blocks[i], "protocol.blocks"));
        if (p.contains(QLatin1String("clear")))
            f.clear = clear(object(p.value(QLatin1String("clear")), "protocol.clear."), "protocol.clear.");
        if (o.contains(QLatin1String("layouts")))
            f.layout = layout(object(o.value(QLatin1String("layouts")), "layouts."), "layouts.");
        checkNames(f);
        return f;
    }

    // Every label shown once and bound (unit labels excepted), every
    // binding shown, every caption defined, and every control a layout or
    // the Clear command names is a frame or button of the form.
    void checkNames(const PageForm& f) const
    {
        std::map<std::string, int> seen;
        std::set<std::string> controls;
        for (const PageForm::Frame& frame : f.frames) {
            controls.insert(frame.name);
            for (const std::string& h : frame.headers)
                if (!f.labels.count(h))
                    fail("frames", "\"" + h + "\" is not in labels");
            for (const ValueRow& r : frame.rows)
                if (r.separator.empty() && !f.labels.count(r.label))
                    fail("frames", "\"" + r.label + "\" is not in labels");
        }
        for (const ValueButton& b : f.buttons)
            controls.insert(b.name);
        for (const std::string& label : f.shownLabels()) {
            if (++seen[label] > 1)
                fail("frames", label + " shown twice");
            if (splitInstance(label).first != "LblUni" && !f.values.count(label))
                fail("values", label + " shown but not bound");
        }
        for (const auto& [label, b] : f.values)
            if (!seen.count(label))
                fail("values." + label, "bound but not shown");
        if (f.clear && !controls.count(f.clear->button))
            fail("protocol.clear.button", "\"" + f.clear->button + "\" is not a button");
        if (f.layout)
            for (const LayoutCase& c : f.layout->cases) {
                std::vector<std::string> named = c.show;
                named.insert(named.end(), c.hide.begin(), c.hide.end());
                for (const auto& [name, top] : c.tops)
                    named.push_back(name);
                for (const std::string& n : named)
                    if (!controls.count(n))
                        fail("layouts.cases", "\"" + n + "\" is not a frame or button");
            }
    }

private:
    std::string form_;
};

} // namespace

std::optional<PageForm> readValueForm(const QJsonObject& o, std::string_view name, std::string* error)
{
    try {
        return Reader(std::string(name)).read(o);
    } catch (const Fault& e) {
        if (error)
            *error = e.what();
        return std::nullopt;
    }
}

} // namespace kova
