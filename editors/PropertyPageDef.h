#pragma once
// The five design-time property pages as data: their fields (caption,
// field name, property), their list items, and the order in which a page
// reads its properties from a control and writes them back.

#include <string>
#include <string_view>
#include <vector>

namespace kova {

struct PropertyPageDef {
    enum class Kind {
        Text,     // one-line text box; its text goes to the property
        DataLen,  // length list: "Byte", "Word" (, "Double Word")
        High,     // byte list "False", "True"; with its label the High row
        Tipo,     // bit-count list "1 Bit" .. "4 Bits"
        Items,    // item count: the number its text begins with
    };
    struct Field {
        Kind kind;
        std::string name;      // e.g. "txtMin", "txtNombre(3)"
        std::string property;  // e.g. "Min"
        std::string caption;   // e.g. "Min:"
    };

    std::string name;
    std::vector<Field> fields;  // in the order the page shows them
    std::vector<std::string> readOrder;
    std::vector<std::string> writeOrder;

    const Field* field(std::string_view property) const;
    // The items of a list field.
    std::vector<std::string> items(const Field& f) const;
};

// "Word_1R", "Byte_1R", "Word_2R", "Word_3R", "Rele"; nullptr for others.
const PropertyPageDef* propertyPageDef(std::string_view page);
const std::vector<std::string>& propertyPageNames();

} // namespace kova
