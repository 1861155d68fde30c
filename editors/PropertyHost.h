#pragma once
// A control with persisted settings: its table of keys with read and write
// defaults, loading and saving through a property bag, and access to its
// properties by name. Every setter tells the host which property changed.

#include "editors/PropertyBag.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kova {

class PropertyHost {
public:
    virtual ~PropertyHost() = default;

    std::function<void(const std::string&)> onPropertyChanged;

    struct Setting {
        const char* key;     // persisted key (matched without letter case)
        const char* member;  // property name, nullptr when the key has none
        PropValue readDefault;
        std::optional<PropValue> writeDefault;  // none: always stored
        std::function<PropValue(const PropertyHost&)> get;
        std::function<bool(PropertyHost&, const PropValue&)> set;
    };
    // The keys in the order they are written.
    virtual const std::vector<Setting>& settings() const = 0;

    // Applies every key of the table (absent keys take their read default).
    // Values that do not convert keep the read default; their keys are
    // listed in the result.
    std::vector<std::string> loadSettings(const PropertyBag& bag);
    // The keys of a bag that are not in the table (as stored), which loading
    // would pass over.
    std::vector<std::string> unknownKeys(const PropertyBag& bag) const;
    void saveSettings(PropertyBag& bag) const;
    std::optional<PropValue> getProperty(std::string_view name) const;
    // False when there is no such property or the value does not convert.
    bool setProperty(std::string_view name, const PropValue& v);

protected:
    void changed(const char* member);
};

} // namespace kova
