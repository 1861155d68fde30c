#pragma once
// The models a form names by their kind: value editors ("Byte_UnR",
// "Word_DosR", "Word_TresR") and, with makeSettingControl, selectors
// ("Bits") too; nothing for any other kind.

#include "editors/ValueEditorModel.h"

#include <memory>
#include <string>

namespace kova {

std::unique_ptr<ValueEditorModel> makeSettingEditor(const std::string& kind);
std::unique_ptr<PropertyHost> makeSettingControl(const std::string& kind);

} // namespace kova
