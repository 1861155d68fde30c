#include "editors/PropConvert.h"

#include "text/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kova {

std::optional<std::int64_t> propToWhole(const PropValue& v)
{
    if (auto b = std::get_if<bool>(&v))
        return *b ? -1 : 0;
    if (auto i = std::get_if<std::int64_t>(&v))
        return *i;
    std::optional<Decimal4> d;
    if (auto r = std::get_if<double>(&v)) {
        if (!std::isfinite(*r))
            return std::nullopt;
        if (std::fabs(*r) >= 9e14) {
            if (std::trunc(*r) != *r || std::fabs(*r) > 9.2e18)
                return std::nullopt;
            return static_cast<std::int64_t>(*r);
        }
        d = Decimal4::fromDouble(*r);
    } else {
        d = Decimal4::parse(std::get<std::string>(v));
    }
    if (!d)
        return std::nullopt;
    return d->roundToInt64HalfEven();
}

namespace {

template <class T>
std::optional<T> narrow(std::optional<std::int64_t> n)
{
    if (!n || *n < std::numeric_limits<T>::min() || *n > std::numeric_limits<T>::max())
        return std::nullopt;
    return static_cast<T>(*n);
}

} // namespace

std::optional<std::int32_t> propToInt32(const PropValue& v) { return narrow<std::int32_t>(propToWhole(v)); }
std::optional<std::int16_t> propToInt16(const PropValue& v) { return narrow<std::int16_t>(propToWhole(v)); }
std::optional<std::uint8_t> propToByte(const PropValue& v) { return narrow<std::uint8_t>(propToWhole(v)); }

std::optional<std::uint32_t> propToColor(const PropValue& v)
{
    auto n = propToWhole(v);
    if (!n || *n < std::numeric_limits<std::int32_t>::min() || *n > 0xFFFFFFFFll)
        return std::nullopt;
    return static_cast<std::uint32_t>(*n);
}

std::optional<bool> propToBool(const PropValue& v)
{
    if (auto b = std::get_if<bool>(&v))
        return *b;
    if (auto s = std::get_if<std::string>(&v)) {
        const std::string k = PropertyBag::lowerKey(*s);
        if (k == "true")
            return true;
        if (k == "false")
            return false;
    }
    const auto n = propToReal(v);
    if (!n)
        return std::nullopt;
    return *n != 0.0;
}

std::optional<double> propToReal(const PropValue& v)
{
    if (auto n = propNumber(v))
        return n;
    if (auto s = std::get_if<std::string>(&v))
        return parseNumber(*s);
    return std::nullopt;
}

std::optional<std::string> propToText(const PropValue& v)
{
    if (auto s = std::get_if<std::string>(&v))
        return *s;
    if (auto b = std::get_if<bool>(&v))
        return std::string(*b ? "True" : "False");
    if (auto i = std::get_if<std::int64_t>(&v)) {
        char buf[24];
        auto r = std::to_chars(buf, buf + sizeof buf, *i);
        return std::string(buf, r.ptr);
    }
    return generalNumber(std::get<double>(v));
}

std::optional<Decimal4> propToDecimal4(const PropValue& v)
{
    if (auto i = std::get_if<std::int64_t>(&v))
        return Decimal4::fromInt(*i);
    if (auto d = std::get_if<double>(&v))
        return Decimal4::fromDouble(*d);
    if (auto s = std::get_if<std::string>(&v))
        return Decimal4::parse(*s);
    return std::nullopt;
}

bool scaleAcceptable(const PropValue& v, Decimal4 d)
{
    const std::int64_t c = d.count() < 0 ? -d.count() : d.count();
    if (c == 0) {
        auto n = propToReal(v);
        return n && *n == 0.0;
    }
    return c <= 100000 * Decimal4::kScale;
}

NumOrText propToNumOrText(const PropValue& v)
{
    if (auto b = std::get_if<bool>(&v))
        return NumOrText(static_cast<std::int16_t>(*b ? -1 : 0));
    if (auto i = std::get_if<std::int64_t>(&v)) {
        if (*i >= std::numeric_limits<std::int32_t>::min() && *i <= std::numeric_limits<std::int32_t>::max())
            return NumOrText(static_cast<std::int32_t>(*i));
        return NumOrText(static_cast<double>(*i));
    }
    if (auto d = std::get_if<double>(&v))
        return NumOrText(*d);
    return NumOrText(std::get<std::string>(v));
}

PropValue numOrTextToProp(const NumOrText& v)
{
    struct Visitor {
        PropValue operator()(std::monostate) const { return std::string(); }
        PropValue operator()(std::int16_t x) const { return std::int64_t{x}; }
        PropValue operator()(std::int32_t x) const { return std::int64_t{x}; }
        PropValue operator()(float x) const { return static_cast<double>(x); }
        PropValue operator()(double x) const { return x; }
        PropValue operator()(const std::string& x) const { return x; }
    };
    return std::visit(Visitor{}, v.storage());
}

PropValue decimal4ToProp(Decimal4 d)
{
    if (d.count() % Decimal4::kScale == 0)
        return std::int64_t{d.count() / Decimal4::kScale};
    return d.toDouble();
}

} // namespace kova
