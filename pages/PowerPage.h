#pragma once
// The power and energy page takes the unit kinds of its three power totals
// from a list filled at load, also while a print job runs. Its layout
// follows the VT connection text (a form layout).

#include "pages/ValuePage.h"

#include <cstdint>
#include <vector>

namespace kova {

class PowerPage : public ValuePage {
public:
    using ValuePage::ValuePage;
    void Form_Load() override;
    // Real, reactive and apparent power, power factor.
    void Llena_Unidades();
    const std::vector<std::int16_t>& unidades() const { return unidades_; }

protected:
    int kindOf(const std::string& label, const ValueBinding& b) const override;

private:
    std::vector<std::int16_t> unidades_;
};

} // namespace kova
