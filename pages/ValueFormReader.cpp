#include "pages/ValueFormReader.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

// Outside any namespace: the macro declares the resource's own function.
static bool registerValueForms()
{
    Q_INIT_RESOURCE(valueforms);
    return true;
}

namespace kova {

namespace {

class Reader {
public:
    explicit Reader(std::string form) : form_(std::move(form)) {}

    [[noreturn]] void fail(const std::string& key, const std::string& what) const
    {
        throw ValueFormError(form_ + ": " + key + ": " + what);
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
            out.push_back(text(a[i], key + "[" + std::to_string(i) + "]"));
        return out;
    }
    Twips twips(const QJsonValue& v, const std::string& key) const
    {
        const QJsonArray a = array(v, key);
        if (a.size() != 2)
            fail(key, "not [left, top]");
        return {number(a[0], key), number(a[1], key)};
    }

    ValueFrame frame(const QJsonObject& o, const std::string& key) const
    {
        ValueFrame f;
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
            const std::string rk = key + "rows[" + std::to_string(i) + "].";
            const QJsonObject r = object(rows[i], rk);
            ValueRow row;
            if (r.contains(QLatin1String("separator"))) {
                row.separator = text(r.value(QLatin1String("separator")), rk + "separator");
            } else {
                row.caption = text(need(r, "label", rk), rk + "label");
                const QJsonArray cells = array(need(r, "cells", rk), rk + "cells");
                for (int c = 0; c < cells.size(); ++c)
                    row.cells.push_back(texts(cells[c], rk + "cells[" + std::to_string(c) + "]"));
            }
            f.rows.push_back(std::move(row));
        }
        return f;
    }

    ValueBinding binding(const QJsonObject& o, const std::string& key) const
    {
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
        return c;
    }

    VtLayout layout(const QJsonObject& o, const std::string& key) const
    {
        VtLayout l;
        if (o.contains(QLatin1String("label")))
            l.label = text(o.value(QLatin1String("label")), key + "label");
        else
            l.posicion = number(need(o, "posicion", key), key + "posicion");
        const QJsonArray cases = array(need(o, "cases", key), key + "cases");
        for (int i = 0; i < cases.size(); ++i) {
            const std::string ck = key + "cases[" + std::to_string(i) + "].";
            const QJsonObject c = object(cases[i], ck);
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

    ValueForm read(const QByteArray& json) const
    {
        QJsonParseError err{};
        const QJsonDocument doc = QJsonDocument::fromJson(json, &err);
        if (err.error != QJsonParseError::NoError)
            fail("(file)", err.errorString().toStdString() + " at offset " + std::to_string(err.offset));
        if (!doc.isObject())
            fail("(file)", "not an object");
        const QJsonObject o = doc.object();
        ValueForm f;
        f.form = text(need(o, "form", ""), "form");
        f.caption = text(need(o, "caption", ""), "caption");
        const QJsonArray frames = array(need(o, "frames", ""), "frames");
        for (int i = 0; i < frames.size(); ++i) {
            const std::string fk = "frames[" + std::to_string(i) + "].";
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
            const std::string bk = "buttons[" + std::to_string(i) + "].";
            const QJsonObject b = object(buttons[i], bk);
            f.buttons.push_back({text(need(b, "name", bk), bk + "name"), text(need(b, "caption", bk), bk + "caption"),
                                 twips(need(b, "twips", bk), bk + "twips")});
        }
        const QJsonObject p = object(need(o, "protocol", ""), "protocol");
        f.interval = number(need(p, "interval", "protocol."), "protocol.interval");
        const QJsonArray tick = array(need(p, "tick", "protocol."), "protocol.tick");
        for (int i = 0; i < tick.size(); ++i) {
            const std::string tk = "protocol.tick[" + std::to_string(i) + "]";
            const QJsonArray t = array(tick[i], tk);
            if (t.size() != 2)
                fail(tk, "not [queue, request]");
            f.tick.push_back({number(t[0], tk), number(t[1], tk)});
        }
        const QJsonArray blocks = array(need(p, "blocks", "protocol."), "protocol.blocks");
        for (int i = 0; i < blocks.size(); ++i)
            f.blocks.push_back(number(blocks[i], "protocol.blocks"));
        if (p.contains(QLatin1String("clear")))
            f.clear = clear(object(p.value(QLatin1String("clear")), "protocol.clear."), "protocol.clear.");
        if (o.contains(QLatin1String("layouts")))
            f.layout = layout(object(o.value(QLatin1String("layouts")), "layouts."), "layouts.");

        // Each shown label once; each shown label bound, except unit labels.
        std::map<std::string, int> seen;
        for (const std::string& label : f.shownLabels()) {
            if (++seen[label] > 1)
                fail("frames", label + " shown twice");
            if (arrayName(label) != "LblUni" && !f.values.count(label))
                fail("values", label + " shown but not bound");
        }
        for (const auto& [label, b] : f.values)
            if (!seen.count(label))
                fail("values." + label, "bound but not shown");
        return f;
    }

private:
    std::string form_;
};

} // namespace

ValueForm readValueForm(const QByteArray& json, const std::string& formName)
{
    return Reader(formName).read(json);
}

namespace {

QString resourcePath(const std::string& formName)
{
    // The resource lives in a static library: register it before first use.
    static const bool registered = registerValueForms();
    (void)registered;
    return QStringLiteral(":/forms/") + QString::fromStdString(formName) + QStringLiteral(".json");
}

} // namespace

ValueForm loadValueForm(const std::string& formName)
{
    QFile f(resourcePath(formName));
    if (!f.open(QIODevice::ReadOnly))
        throw ValueFormError(formName + ": (file): not in the program");
    return readValueForm(f.readAll(), formName);
}

bool hasValueForm(const std::string& formName) { return QFile::exists(resourcePath(formName)); }

} // namespace kova
