#pragma once
// A value that holds nothing, a number (of the kind it was stored as) or a
// text, kept in its original form. Where it takes part in arithmetic it
// counts as the number its text spells.

#include "text/Decimal4.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace kova {

class NumOrText {
public:
    using Storage = std::variant<std::monostate, std::int16_t, std::int32_t, float, double, std::string>;

    NumOrText() = default;
    NumOrText(std::int16_t v) : v_(v) {}
    NumOrText(std::int32_t v) : v_(v) {}
    NumOrText(float v) : v_(v) {}
    NumOrText(double v) : v_(v) {}
    NumOrText(std::string v) : v_(std::move(v)) {}
    NumOrText(const char* v) : v_(std::string(v)) {}

    const Storage& storage() const { return v_; }
    template <class T>
    bool holds() const { return std::holds_alternative<T>(v_); }
    template <class T>
    const T* getIf() const { return std::get_if<T>(&v_); }

    // Nothing stored, or an empty text.
    bool isEmpty() const;
    bool isText() const { return holds<std::string>(); }
    bool isNumber() const { return !isText() && !holds<std::monostate>(); }

    // Integers as plain decimals, float and double as general numbers, a
    // text unchanged, nothing as "".
    std::string toText() const;
    // The number held or spelt by the text; nothing counts as 0; a text
    // that spells no number gives nullopt.
    std::optional<double> toNumber() const;
    // The same as a four-decimal number (a float or double rounded to four
    // decimals on its shortest digits, a text read exactly).
    std::optional<Decimal4> asDecimal() const;

    friend bool operator==(const NumOrText&, const NumOrText&) = default;

private:
    Storage v_;
};

} // namespace kova
