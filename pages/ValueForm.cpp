#include "pages/ValueForm.h"

namespace kova {

std::string arrayName(const std::string& label)
{
    const auto open = label.find('(');
    return open == std::string::npos ? label : label.substr(0, open);
}

std::optional<int> arrayIndex(const std::string& label)
{
    const auto open = label.find('(');
    if (open == std::string::npos || label.back() != ')' || open + 2 >= label.size())
        return std::nullopt;
    int n = 0;
    for (std::size_t i = open + 1; i + 1 < label.size(); ++i) {
        const char c = label[i];
        if (c < '0' || c > '9' || n > 100000)
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string unitLabelOf(const std::string& valueLabel)
{
    const auto index = arrayIndex(valueLabel);
    if (arrayName(valueLabel) != "LblMed" || !index)
        return {};
    return "LblUni(" + std::to_string(*index) + ")";
}

std::vector<std::string> ValueForm::shownLabels() const
{
    std::vector<std::string> out;
    for (const ValueFrame& f : frames)
        for (const ValueRow& r : f.rows)
            for (const auto& cell : r.cells)
                for (const std::string& label : cell)
                    out.push_back(label);
    return out;
}

std::string ValueForm::designText(const std::string& label) const
{
    const auto it = design.find(arrayName(label));
    return it == design.end() ? std::string() : it->second;
}

} // namespace kova
