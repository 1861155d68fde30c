#pragma once
// Per-instance settings of a placed editor: keys matched without regard to
// letter case (kept in lower case), a read default for an absent key, and no
// entry for a value equal to the write default. A store holds one bag per
// placed instance and loads and saves them as JSON.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace kova {

// A stored setting: a Boolean, a whole number, a real number or a text.
using PropValue = std::variant<bool, std::int64_t, double, std::string>;

// Equality as the store sees it: numbers compare by value whatever their
// kind, texts and Booleans only with their own kind.
bool samePropValue(const PropValue& a, const PropValue& b);

// The value as a real number, when it is one (texts are not converted).
std::optional<double> propNumber(const PropValue& v);

class PropertyBag {
public:
    static std::string lowerKey(std::string_view key);

    // The stored value under key, or readDefault when there is none.
    PropValue read(std::string_view key, const PropValue& readDefault) const;
    // Stores value unless it equals writeDefault; without a write default
    // the value is always stored. A value equal to the default leaves an
    // entry written earlier under the same key as it is.
    void write(std::string_view key, const PropValue& value,
               const std::optional<PropValue>& writeDefault);

    bool contains(std::string_view key) const;
    void erase(std::string_view key);
    void clear() { entries_.clear(); }
    bool empty() const { return entries_.empty(); }
    const std::map<std::string, PropValue>& entries() const { return entries_; }

    bool operator==(const PropertyBag&) const = default;

private:
    std::map<std::string, PropValue> entries_;
};

// The bags of every placed instance of a window (or of several windows),
// keyed by instance name, e.g. "Word_TresR1(0)".
class PropertyStore {
public:
    PropertyBag& bag(const std::string& instance) { return bags_[instance]; }
    const PropertyBag* find(const std::string& instance) const;
    const std::map<std::string, PropertyBag>& bags() const { return bags_; }

    // JSON object of objects: {"instance": {"key": value, ...}, ...}.
    // Numbers keep their kind (whole or real), texts stay texts.
    std::string toJson() const;
    // Replaces the contents; on a malformed text returns false, sets error
    // and leaves the store unchanged.
    bool fromJson(std::string_view json, std::string* error = nullptr);

    // Writes the whole file or leaves the old one; error names the file and
    // the system's reason.
    bool save(const std::string& path, std::string* error = nullptr) const;
    bool load(const std::string& path, std::string* error = nullptr);

private:
    std::map<std::string, PropertyBag> bags_;
};

} // namespace kova
