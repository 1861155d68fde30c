#include "editors/PropertyBag.h"

#include "platform/WholeFileWriter.h"

#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>

namespace kova {

std::optional<double> propNumber(const PropValue& v)
{
    if (auto i = std::get_if<std::int64_t>(&v))
        return static_cast<double>(*i);
    if (auto d = std::get_if<double>(&v))
        return *d;
    return std::nullopt;
}

bool samePropValue(const PropValue& a, const PropValue& b)
{
    if (auto ia = std::get_if<std::int64_t>(&a))
        if (auto ib = std::get_if<std::int64_t>(&b))
            return *ia == *ib;
    auto na = propNumber(a), nb = propNumber(b);
    if (na || nb)
        return na && nb && *na == *nb;
    return a == b;
}

std::string PropertyBag::lowerKey(std::string_view key)
{
    std::string k(key);
    for (char& c : k)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return k;
}

PropValue PropertyBag::read(std::string_view key, const PropValue& readDefault) const
{
    auto it = entries_.find(lowerKey(key));
    return it == entries_.end() ? readDefault : it->second;
}

void PropertyBag::write(std::string_view key, const PropValue& value,
                        const std::optional<PropValue>& writeDefault)
{
    if (writeDefault && samePropValue(value, *writeDefault))
        return;
    entries_[lowerKey(key)] = value;
}

bool PropertyBag::contains(std::string_view key) const
{
    return entries_.count(lowerKey(key)) != 0;
}

void PropertyBag::erase(std::string_view key)
{
    entries_.erase(lowerKey(key));
}

const PropertyBag* PropertyStore::find(const std::string& instance) const
{
    auto it = bags_.find(instance);
    return it == bags_.end() ? nullptr : &it->second;
}

namespace {

QJsonValue toJsonValue(const PropValue& v)
{
    if (auto b = std::get_if<bool>(&v))
        return QJsonValue(*b);
    if (auto i = std::get_if<std::int64_t>(&v))
        return QJsonValue(static_cast<qint64>(*i));
    if (auto d = std::get_if<double>(&v))
        return QJsonValue(*d);
    return QJsonValue(QString::fromStdString(std::get<std::string>(v)));
}

// Whole numbers that a double holds exactly come back as whole numbers.
std::optional<PropValue> fromJsonValue(const QJsonValue& v)
{
    switch (v.type()) {
    case QJsonValue::Bool:
        return PropValue(v.toBool());
    case QJsonValue::String:
        return PropValue(v.toString().toStdString());
    case QJsonValue::Double: {
        const double d = v.toDouble();
        if (std::isfinite(d) && std::trunc(d) == d && std::fabs(d) <= 9007199254740992.0)
            return PropValue(static_cast<std::int64_t>(d));
        return PropValue(d);
    }
    default:
        return std::nullopt;
    }
}

} // namespace

std::string PropertyStore::toJson() const
{
    QJsonObject root;
    for (const auto& [name, bag] : bags_) {
        QJsonObject o;
        for (const auto& [key, value] : bag.entries())
            o.insert(QString::fromStdString(key), toJsonValue(value));
        root.insert(QString::fromStdString(name), o);
    }
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

bool PropertyStore::fromJson(std::string_view json, std::string* error)
{
    QJsonParseError perr{};
    const auto doc = QJsonDocument::fromJson(
        QByteArray(json.data(), static_cast<qsizetype>(json.size())), &perr);
    auto fail = [&](const std::string& what) {
        if (error)
            *error = what;
        return false;
    };
    if (perr.error != QJsonParseError::NoError)
        return fail("malformed settings: " + perr.errorString().toStdString());
    if (!doc.isObject())
        return fail("malformed settings: the top level is not an object");
    std::map<std::string, PropertyBag> bags;
    const QJsonObject root = doc.object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        if (!it.value().isObject())
            return fail("malformed settings of " + it.key().toStdString());
        PropertyBag bag;
        const QJsonObject o = it.value().toObject();
        for (auto kv = o.begin(); kv != o.end(); ++kv) {
            auto v = fromJsonValue(kv.value());
            if (!v)
                return fail("unsupported value under " + it.key().toStdString() + "."
                            + kv.key().toStdString());
            bag.write(kv.key().toStdString(), *v, std::nullopt);
        }
        bags[it.key().toStdString()] = std::move(bag);
    }
    bags_ = std::move(bags);
    return true;
}

bool PropertyStore::save(const std::string& path, std::string* error) const
{
    std::string reason;
    if (writeWholeFile(path, toJson(), &reason))
        return true;
    if (error)
        *error = "cannot write " + path + ": " + reason;
    return false;
}

bool PropertyStore::load(const std::string& path, std::string* error)
{
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = "cannot read " + path + ": " + f.errorString().toStdString();
        return false;
    }
    const QByteArray data = f.readAll();
    return fromJson(std::string_view(data.constData(), static_cast<size_t>(data.size())), error);
}

} // namespace kova
