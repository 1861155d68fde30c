#pragma once
// The JSON object of a layout file's text. A text that is no JSON object
// throws std::runtime_error "<place>: <reason>": the place is where the
// parser stopped ("line 3, column 7 (byte 41)"), or "top level" for a text
// that parses but holds no object.

#include <QJsonObject>

#include <string>
#include <string_view>

namespace kova {

QJsonObject layoutJsonObject(std::string_view json);

// "line L, column C (byte B)" for byte B of the text: lines and columns
// count from 1, a column counts characters (UTF-8 lead bytes).
std::string layoutTextPlace(std::string_view json, std::size_t byte);

} // namespace kova
