#include "pages/ValueForm.h"

#include "pages/PageForm.h"

namespace kova {

std::string unitLabelOf(const std::string& valueLabel)
{
    const auto [array, index] = splitInstance(valueLabel);
    return array == "LblMed" && index >= 0 ? PageForm::boxName("LblUni", index) : std::string();
}

std::vector<std::string> PageForm::shownLabels() const
{
    std::vector<std::string> out;
    for (const Frame& f : frames)
        for (const ValueRow& r : f.rows)
            for (const auto& cell : r.cells)
                out.insert(out.end(), cell.begin(), cell.end());
    return out;
}

std::string PageForm::designText(const std::string& label) const
{
    const auto it = design.find(splitInstance(label).first);
    return it == design.end() ? std::string() : it->second;
}

} // namespace kova
