#include "pages/FormControls.h"

#include "pages/SettingModels.h"
#include "text/HexText.h"

#include <algorithm>

namespace kova {

std::vector<RegisterBit> editorBits(std::uint32_t reg, int dataLen, int high)
{
    std::vector<RegisterBit> bits;
    const int registers = dataLen == 2 ? 2 : 1;
    for (int r = 0; r < registers; ++r)
        for (int bit = 0; bit < 16; ++bit)
            if (dataLen != 0 || (high == 1 ? bit >= 8 : bit < 8))
                bits.emplace_back(reg + static_cast<std::uint32_t>(r), bit);
    return bits;
}

std::vector<int> selectorBits(const Bits& b)
{
    std::vector<int> bits;
    const int shift = b.DataLen() == 0 && b.High() == 1 ? 8 : 0;
    for (int n = 1; n <= std::clamp<int>(b.Tipo(), 0, 3) + 1; ++n)
        bits.push_back(b.Bit(n) + shift);
    return bits;
}

void forEachFormControl(const PageForm& form, const std::function<void(const FormControl&)>& visit)
{
    const PropertyBag empty;
    for (const auto& [name, kind] : form.controls) {
        const PropertyBag* bag = form.settings.find(name);
        if (auto e = makeSettingEditor(kind)) {
            e->loadSettings(bag ? *bag : empty);
            const std::string direccion = e->Direccion();
            const auto reg = direccion.empty() ? std::nullopt : parseHex(direccion);
            visit({name, kind, e.get(), nullptr, direccion, reg});
        } else if (kind == "Bits") {
            Bits b;
            b.loadSettings(bag ? *bag : empty);
            const std::string direccion = b.Direccion();
            const auto reg = direccion.empty() ? std::nullopt : parseHex(direccion);
            visit({name, kind, nullptr, &b, direccion, reg});
        }
    }
}

} // namespace kova
