#include "pages/SettingModels.h"

#include "editors/Bits.h"
#include "editors/Byte_UnR.h"
#include "editors/Word_DosR.h"
#include "editors/Word_TresR.h"

namespace kova {

std::unique_ptr<ValueEditorModel> makeSettingEditor(const std::string& kind)
{
    if (kind == "Byte_UnR")
        return std::make_unique<Byte_UnR>();
    if (kind == "Word_DosR")
        return std::make_unique<Word_DosR>();
    if (kind == "Word_TresR")
        return std::make_unique<Word_TresR>();
    return nullptr;
}

std::unique_ptr<PropertyHost> makeSettingControl(const std::string& kind)
{
    if (auto e = makeSettingEditor(kind))
        return e;
    if (kind == "Bits")
        return std::make_unique<Bits>();
    return nullptr;
}

} // namespace kova
