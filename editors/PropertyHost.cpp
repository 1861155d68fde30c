#include "editors/PropertyHost.h"

namespace kova {

void PropertyHost::changed(const char* member)
{
    if (onPropertyChanged)
        onPropertyChanged(member);
}

std::vector<std::string> PropertyHost::loadSettings(const PropertyBag& bag)
{
    std::vector<std::string> bad;
    for (const Setting& s : settings()) {
        const PropValue v = bag.read(s.key, s.readDefault);
        if (!s.set(*this, v)) {
            bad.push_back(s.key);
            s.set(*this, s.readDefault);
        }
    }
    return bad;
}

std::vector<std::string> PropertyHost::unknownKeys(const PropertyBag& bag) const
{
    std::vector<std::string> unknown;
    for (const auto& [key, value] : bag.entries()) {
        bool known = false;
        for (const Setting& s : settings())
            known = known || PropertyBag::lowerKey(s.key) == PropertyBag::lowerKey(key);
        if (!known)
            unknown.push_back(key);
    }
    return unknown;
}

void PropertyHost::saveSettings(PropertyBag& bag) const
{
    for (const Setting& s : settings())
        bag.write(s.key, s.get(*this), s.writeDefault);
}

namespace {

bool sameName(std::string_view a, std::string_view b)
{
    return PropertyBag::lowerKey(a) == PropertyBag::lowerKey(b);
}

} // namespace

std::optional<PropValue> PropertyHost::getProperty(std::string_view name) const
{
    for (const Setting& s : settings())
        if (s.member && sameName(s.member, name))
            return s.get(*this);
    return std::nullopt;
}

bool PropertyHost::setProperty(std::string_view name, const PropValue& v)
{
    for (const Setting& s : settings())
        if (s.member && sameName(s.member, name)) {
            if (!s.set(*this, v))
                return false;
            changed(s.member);
            return true;
        }
    return false;
}

} // namespace kova
