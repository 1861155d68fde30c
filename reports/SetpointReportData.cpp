#include "reports/SetpointReportData.h"

#include "reports/LayoutJson.h"
#include "reports/ReportLayout.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <stdexcept>

namespace kova {

namespace {

struct Fault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

QJsonValue member(const QJsonObject& o, const char* key, bool required)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (required && v.isUndefined())
        throw Fault(std::string("\"") + key + "\" is missing");
    return v;
}

std::string text(const QJsonObject& o, const char* key)
{
    const QJsonValue v = member(o, key, true);
    if (!v.isString() || v.toString().isEmpty())
        throw Fault(std::string("\"") + key + "\" is not a name");
    return v.toString().toStdString();
}

int count(const QJsonObject& o, const char* key)
{
    const QJsonValue v = member(o, key, true);
    if (!v.isDouble() || v.toDouble() < 0 || v.toDouble() != static_cast<double>(v.toInt()))
        throw Fault(std::string("\"") + key + "\" is not a count");
    return v.toInt();
}

QJsonArray list(const QJsonObject& o, const char* key)
{
    const QJsonValue v = member(o, key, false);
    if (v.isUndefined())
        return {};
    if (!v.isArray())
        throw Fault(std::string("\"") + key + "\" is not a list");
    return v.toArray();
}

QJsonObject object(const QJsonValue& v)
{
    if (!v.isObject())
        throw Fault("an entry is not an object");
    return v.toObject();
}

std::vector<std::string> names(const QJsonObject& o, const char* key)
{
    std::vector<std::string> out;
    for (const QJsonValue& v : list(o, key)) {
        if (!v.isString())
            throw Fault(std::string("\"") + key + "\" holds a value that is not a name");
        out.push_back(v.toString().toStdString());
    }
    return out;
}

SetpointSource source(const QJsonObject& o)
{
    SetpointSource s;
    s.form = text(o, "form");
    s.keep = member(o, "keep", false).toBool(false);
    for (const QJsonValue& v : list(o, "copies")) {
        const QJsonObject c = object(v);
        s.copies.push_back({text(c, "label"), text(c, "control")});
    }
    for (const QJsonValue& v : list(o, "boxCopies")) {
        const QJsonObject c = object(v);
        s.boxCopies.push_back({text(c, "from"), count(c, "first"), text(c, "to"), count(c, "at"), count(c, "count")});
    }
    for (const QJsonValue& v : list(o, "rules")) {
        const QJsonObject r = object(v);
        s.rules.push_back({text(r, "selector"), names(r, "first"), names(r, "other")});
    }
    return s;
}

} // namespace

std::optional<std::vector<SetpointSource>> readSetpointSources(std::string_view json, std::string_view name,
                                                               std::string* error)
{
    try {
        std::vector<SetpointSource> sources;
        for (const QJsonValue& v : list(layoutJsonObject(json), "sources"))
            sources.push_back(source(object(v)));
        if (sources.empty())
            throw Fault("\"sources\" names no page");
        return sources;
    } catch (const std::exception& e) {
        if (error)
            *error = std::string(name) + ": " + e.what();
        return std::nullopt;
    }
}

} // namespace kova
