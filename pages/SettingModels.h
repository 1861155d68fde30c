#pragma once
// The value-editor model a form names by its kind ("Byte_UnR", "Word_DosR",
// "Word_TresR"); nothing for any other kind.

#include "editors/ValueEditorModel.h"

#include <memory>
#include <string>

namespace kova {

std::unique_ptr<ValueEditorModel> makeSettingEditor(const std::string& kind);

} // namespace kova
