#include "text/NumOrText.h"

#include "text/NumberText.h"

#include <charconv>

namespace kova {

bool NumOrText::isEmpty() const
{
    if (holds<std::monostate>())
        return true;
    const auto* s = getIf<std::string>();
    return s && s->empty();
}

std::string NumOrText::toText() const
{
    struct Visitor {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(std::int16_t v) const { return integer(v); }
        std::string operator()(std::int32_t v) const { return integer(v); }
        std::string operator()(float v) const { return generalNumber(v); }
        std::string operator()(double v) const { return generalNumber(v); }
        std::string operator()(const std::string& v) const { return v; }
        static std::string integer(std::int32_t v)
        {
            char buf[16];
            auto r = std::to_chars(buf, buf + sizeof buf, v);
            return std::string(buf, r.ptr);
        }
    };
    return std::visit(Visitor{}, v_);
}

std::optional<double> NumOrText::toNumber() const
{
    struct Visitor {
        std::optional<double> operator()(std::monostate) const { return 0.0; }
        std::optional<double> operator()(std::int16_t v) const { return v; }
        std::optional<double> operator()(std::int32_t v) const { return v; }
        std::optional<double> operator()(float v) const { return static_cast<double>(v); }
        std::optional<double> operator()(double v) const { return v; }
        std::optional<double> operator()(const std::string& v) const { return parseNumber(v); }
    };
    return std::visit(Visitor{}, v_);
}

std::optional<Decimal4> NumOrText::asDecimal() const
{
    struct Visitor {
        std::optional<Decimal4> operator()(std::monostate) const { return Decimal4(); }
        std::optional<Decimal4> operator()(std::int16_t v) const { return Decimal4::fromInt(v); }
        std::optional<Decimal4> operator()(std::int32_t v) const { return Decimal4::fromInt(v); }
        std::optional<Decimal4> operator()(float v) const { return Decimal4::fromFloat(v); }
        std::optional<Decimal4> operator()(double v) const { return Decimal4::fromDouble(v); }
        std::optional<Decimal4> operator()(const std::string& v) const { return Decimal4::parse(v); }
    };
    return std::visit(Visitor{}, v_);
}

} // namespace kova
