#include "pages/FormControls.h"

#include "pages/SettingModels.h"
#include "text/HexText.h"

namespace kova {

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
