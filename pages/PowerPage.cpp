#include "pages/PowerPage.h"

#include "pages/ModAutoRango.h"

namespace kova {

void PowerPage::Llena_Unidades() { unidades_ = {kWatts, kVars, kVoltAmps, kPowerFactor}; }

void PowerPage::Form_Load()
{
    Llena_Unidades();
    ValuePage::Form_Load();
}

int PowerPage::kindOf(const std::string& label, const ValueBinding& b) const
{
    // The totals LblMed(0..2) take list entries 0..2.
    const auto [array, i] = splitInstance(label);
    if (array == "LblMed" && i >= 0 && i < 3 && static_cast<std::size_t>(i) < unidades_.size())
        return unidades_[static_cast<std::size_t>(i)];
    return ValuePage::kindOf(label, b);
}

} // namespace kova
