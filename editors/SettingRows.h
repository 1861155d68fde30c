#pragma once
// Builders of the rows of the editors' persisted-settings tables.

#include "editors/PropConvert.h"
#include "editors/PropertyHost.h"

namespace kova::rows {

using Setting = PropertyHost::Setting;

template <class M>
Setting text(const char* key, const char* member, const char* def,
             const std::string& (M::*get)() const, void (M::*set)(const std::string&))
{
    return {key, member, std::string(def), PropValue(std::string(def)),
            [get](const PropertyHost& m) { return PropValue((static_cast<const M&>(m).*get)()); },
            [set](PropertyHost& m, const PropValue& v) {
                auto t = propToText(v);
                if (!t)
                    return false;
                (static_cast<M&>(m).*set)(*t);
                return true;
            }};
}

template <class M>
Setting flag(const char* key, const char* member, bool def, bool (M::*get)() const, void (M::*set)(bool))
{
    return {key, member, def, PropValue(def),
            [get](const PropertyHost& m) { return PropValue((static_cast<const M&>(m).*get)()); },
            [set](PropertyHost& m, const PropValue& v) {
                auto b = propToBool(v);
                if (!b)
                    return false;
                (static_cast<M&>(m).*set)(*b);
                return true;
            }};
}

template <class M, class T>
Setting whole(const char* key, const char* member, T def, T (M::*get)() const, void (M::*set)(T),
              std::optional<T> (*conv)(const PropValue&))
{
    return {key, member, std::int64_t{def}, PropValue(std::int64_t{def}),
            [get](const PropertyHost& m) {
                return PropValue(std::int64_t{(static_cast<const M&>(m).*get)()});
            },
            [set, conv](PropertyHost& m, const PropValue& v) {
                auto n = conv(v);
                if (!n)
                    return false;
                (static_cast<M&>(m).*set)(*n);
                return true;
            }};
}

template <class M>
Setting int32(const char* key, const char* member, std::int32_t def,
              std::int32_t (M::*get)() const, void (M::*set)(std::int32_t))
{
    return whole<M, std::int32_t>(key, member, def, get, set, &propToInt32);
}

template <class M>
Setting int16(const char* key, const char* member, std::int16_t def,
              std::int16_t (M::*get)() const, void (M::*set)(std::int16_t))
{
    return whole<M, std::int16_t>(key, member, def, get, set, &propToInt16);
}

template <class M>
Setting decimal(const char* key, const char* member, Decimal4 (M::*get)() const,
                void (M::*set)(Decimal4))
{
    return {key, member, std::int64_t{0}, PropValue(std::int64_t{0}),
            [get](const PropertyHost& m) {
                return decimal4ToProp((static_cast<const M&>(m).*get)());
            },
            [set](PropertyHost& m, const PropValue& v) {
                auto d = propToDecimal4(v);
                if (!d)
                    return false;
                (static_cast<M&>(m).*set)(*d);
                return true;
            }};
}

// A display scale: 0 (not set) or a magnitude from 0.0001 to 100000 that
// four decimals hold; anything else is refused.
template <class M>
Setting scale(const char* key, const char* member, Decimal4 (M::*get)() const,
              void (M::*set)(Decimal4))
{
    Setting s = decimal<M>(key, member, get, set);
    s.set = [set](PropertyHost& m, const PropValue& v) {
        auto d = propToDecimal4(v);
        if (!d || !scaleAcceptable(v, *d))
            return false;
        (static_cast<M&>(m).*set)(*d);
        return true;
    };
    return s;
}

template <class M>
Setting numOrText(const char* key, const char* member, const NumOrText& (M::*get)() const,
                  void (M::*set)(const NumOrText&))
{
    return {key, member, std::int64_t{0}, PropValue(std::int64_t{0}),
            [get](const PropertyHost& m) {
                return numOrTextToProp((static_cast<const M&>(m).*get)());
            },
            [set](PropertyHost& m, const PropValue& v) {
                (static_cast<M&>(m).*set)(propToNumOrText(v));
                return true;
            }};
}

} // namespace kova::rows
