#pragma once
// What the editor classes tell a form designer's property browser: a
// description per member, the category of a member, the property page of
// the class and the page a property's entry opens.

#include <string>
#include <string_view>
#include <vector>

namespace kova {

struct PropertyInfo {
    std::string description;  // "" when the member has none
    std::string category;     // "" when the member has none
    std::string boundPage;    // "" when the entry opens no page
};

// cls: "Byte_UnR", "Word_UnR", "Word_DosR", "Word_TresR", "Bits", "LEDS".
PropertyInfo propertyInfo(std::string_view cls, std::string_view member);
// The page on the class's property sheet ("" when none).
std::string propertyPageOf(std::string_view cls);

inline const std::string kMisPropiedades = "Mis Propiedades";

} // namespace kova
