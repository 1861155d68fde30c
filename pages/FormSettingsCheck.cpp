#include "pages/FormSettingsCheck.h"

#include "editors/Bits.h"
#include "editors/PropertyNumbers.h"
#include "editors/PropertyPage.h"
#include "pages/SettingModels.h"
#include "text/NumberText.h"

#include <algorithm>
#include <memory>

namespace kova {

namespace {

// A stored value as the file writes it: a text quoted, a number in plain
// decimals.
std::string shown(const PropValue& v)
{
    if (const auto* d = std::get_if<double>(&v))
        return plainNumber(*d);
    const std::string t = propText(v);
    return std::holds_alternative<std::string>(v) ? "\"" + t + "\"" : t;
}

} // namespace

std::vector<SettingProblem> settingProblems(const PageForm& form)
{
    std::vector<SettingProblem> problems;
    const PropertyBag empty;
    for (const auto& [name, kind] : form.controls) {
        std::unique_ptr<PropertyHost> control = makeSettingControl(kind);
        if (!control)
            continue;
        const PropertyBag* found = form.settings.find(name);
        const PropertyBag& bag = found ? *found : empty;
        const std::size_t before = problems.size();
        auto add = [&](const std::string& key, const std::string& value, const std::string& why) {
            problems.push_back({name, key, value, "settings." + name + (key.empty() ? "" : "." + key) + ": " + why});
        };
        for (const std::string& key : control->unknownKeys(bag))
            add(key, shown(bag.entries().at(key)), "unknown key");
        const std::vector<std::string> refused = control->loadSettings(bag);
        for (const PropertyHost::Setting& s : control->settings()) {
            if (!bag.contains(s.key))
                continue;
            const PropValue v = bag.read(s.key, s.readDefault);
            const bool converts = std::find(refused.begin(), refused.end(), s.key) == refused.end();
            // A scale with more than four decimals is refused, not rounded.
            const std::string reason = s.member ? numberTextReason(s.member, propText(v)) : "";
            if (!converts || (s.member && (!numberTextAcceptable(s.member, propText(v)) || !reason.empty()))) {
                add(PropertyBag::lowerKey(s.key), shown(v),
                    "Invalid value for " + std::string(s.member ? s.member : s.key) + ": " + shown(v) +
                        (reason.empty() ? "" : " " + reason));
            }
        }
        if (problems.size() == before)
            if (std::string why = settingsProblem(*control); !why.empty())
                add("", "", why);
    }
    return problems;
}

} // namespace kova
