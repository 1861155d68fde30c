#pragma once
// Reads the form file of a value page (one with "values"; see ValueForm.h)
// for readPageForm. A fault names the form and the key.

#include "pages/PageForm.h"

#include <QJsonObject>

#include <optional>
#include <string>
#include <string_view>

namespace kova {

std::optional<PageForm> readValueForm(const QJsonObject& o, std::string_view name, std::string* error);

} // namespace kova
