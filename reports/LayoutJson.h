#pragma once
// The JSON object of a layout file's text; a text that is no JSON object
// throws std::runtime_error saying why.

#include <QJsonObject>

#include <string_view>

namespace kova {

QJsonObject layoutJsonObject(std::string_view json);

} // namespace kova
