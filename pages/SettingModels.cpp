#include "pages/SettingModels.h"

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

} // namespace kova
