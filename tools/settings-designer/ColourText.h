#pragma once
// A stored colour as the property browser shows it: a system colour
// (0x800000nn) by its name ("Window Background"), any other as #RRGGBB
// (stored as 0x00BBGGRR); and back from either text.

#include <QString>

#include <cstdint>
#include <optional>

namespace kova {

QString colourText(std::uint32_t stored);
// nullopt when the text is neither a system colour's name nor #RRGGBB.
std::optional<std::uint32_t> colourFromText(const QString& text);

} // namespace kova
