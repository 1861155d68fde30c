#include "editors/PropertyPageDef.h"
#include "text/NumberText.h"

#include <map>

namespace kova {

namespace {

using Kind = PropertyPageDef::Kind;
using Field = PropertyPageDef::Field;

Field text(const char* name, const char* property, const char* caption)
{
    return {Kind::Text, name, property, caption};
}
Field dataLen() { return {Kind::DataLen, "CmbDataLong", "DataLen", "Long. Data:"}; }
Field high() { return {Kind::High, "CmbHigh", "High", "High: "}; }

std::vector<std::string> split(const char* list)
{
    std::vector<std::string> out;
    std::string cur;
    for (const char* p = list;; ++p) {
        if (*p == ' ' || *p == '\0') {
            if (!cur.empty())
                out.push_back(cur);
            cur.clear();
            if (!*p)
                break;
        } else {
            cur += *p;
        }
    }
    return out;
}

PropertyPageDef oneRange(const char* name, const char* writes, const char* reads)
{
    return {name,
            {text("txtTitulo", "Titulo", "Titulo:"), text("txtDireccion", "Direccion", "Direccion:"), dataLen(),
             high(), text("txtMin", "Min", "Min:"), text("txtMax", "Max", "Max:"),
             text("txtSmallChange", "SmallChange", "SmallChange:"), text("txtPaso", "Paso", "Paso:"),
             text("txtFormato", "Formato", "Formato:"), text("txtMedida", "Medida", "Medida:")},
            split(reads),
            split(writes)};
}

PropertyPageDef word2R()
{
    const char* order = "Titulo Direccion Min Max Formato Medida Inc_B Inc_A Cambio_de_paso Paso_B Paso_A High DataLen";
    return {"Word_2R",
            {text("txtTitulo", "Titulo", "Titulo:"), text("txtDireccion", "Direccion", "Direccion:"), dataLen(),
             high(), text("txtMin", "Min", "Min:"), text("txtMax", "Max", "Max:"),
             text("txtFormato", "Formato", "Formato:"), text("txtMedida", "Medida", "Medida:"),
             text("txtCambio_de_paso", "Cambio_de_paso", "Cambio_de_paso:"), text("TxtInc_A", "Inc_A", "Inc_A:"),
             text("TxtInc_B", "Inc_B", "Inc_B:"), text("TxtPaso_A", "Paso_A", "Paso_A:"),
             text("TxtPaso_B", "Paso_B", "Paso_B:")},
            split(order),
            split(order)};
}

PropertyPageDef word3R()
{
    return {"Word_3R",
            {text("txtTitulo", "Titulo", "Título:"), text("txtDireccion", "Direccion", "Direccion:"), dataLen(),
             high(), text("txtMin", "Min", "Min:"), text("txtMax", "Max", "Max:"),
             text("txtMedida", "Medida", "Medida:"), text("txtCambio_A", "Cambio_A", "Cambio A:"),
             text("txtCambio_B", "Cambio_B", "Cambio B:"), text("TxtInc_A", "Inc_A", "Incremento A:"),
             text("TxtInc_B", "Inc_B", "Incremento B:"), text("txtInc_C", "Inc_C", "Incremento C:"),
             text("TxtPaso_A", "Paso_A", "Paso A:"), text("TxtPaso_B", "Paso_B", "Paso B:"),
             text("txtPaso_C", "Paso_C", "Paso C:"), text("txtFormatoA", "FormatoA", "Formato A:"),
             text("txtFormatoB", "FormatoB", "Formato B:"), text("txtFormatoC", "FormatoC", "Formato C:")},
            split("FormatoC FormatoB FormatoA Paso_C Paso_B Paso_A Inc_A Inc_B Inc_C Cambio_B Cambio_A Titulo Min Max "
                  "Medida High DataLen Direccion"),
            split("FormatoC FormatoB FormatoA Paso_C Paso_A Paso_B Inc_A Inc_B Inc_C Cambio_B Cambio_A High DataLen "
                  "Direccion Medida Min Max Titulo")};
}

PropertyPageDef rele()
{
    PropertyPageDef d;
    d.name = "Rele";
    d.fields = {text("txtDireccion", "Direccion", "Direccion:"), dataLen(), high(), text("TxtPaso", "Paso", "Paso:"),
                {Kind::Tipo, "Combo1", "Tipo", "Tipo de Control:"},
                {Kind::Items, "Items", "Cantidad_Items", "Cantidad de Items:"}};
    for (int b = 1; b <= 4; ++b) {
        const std::string n = integerText(b);
        d.fields.push_back({Kind::Text, "txtBit" + n, "Bit" + n, "Bit" + n + ":"});
    }
    std::vector<std::string> names;
    for (int k = 0; k < 16; ++k) {
        const std::string n = integerText(k + 1);
        d.fields.push_back({Kind::Text, "txtNombre(" + integerText(k) + ")", "Nombre" + n, "Nombre" + n + ":"});
        names.insert(names.begin(), "Nombre" + n);
    }
    d.readOrder = names;
    d.writeOrder = names;
    for (const char* p : {"Direccion", "DataLen", "High", "Paso", "Bit4", "Bit3", "Bit2", "Bit1", "Tipo",
                          "Cantidad_Items"})
        d.writeOrder.push_back(p);
    for (const char* p : {"Direccion", "DataLen", "High", "Bit4", "Bit3", "Bit2", "Bit1", "Tipo", "Cantidad_Items",
                          "Paso"})
        d.readOrder.push_back(p);
    return d;
}

const std::map<std::string, PropertyPageDef, std::less<>>& pages()
{
    static const std::map<std::string, PropertyPageDef, std::less<>> all = [] {
        std::map<std::string, PropertyPageDef, std::less<>> m;
        m["Word_1R"] = oneRange("Word_1R", "Direccion Titulo SmallChange Min Max Formato Medida Paso DataLen High",
                                "Direccion Titulo SmallChange Min Max Formato Medida Paso High DataLen");
        const char* byteOrder = "Direccion Titulo SmallChange Min Max Formato Medida Paso High DataLen";
        m["Byte_1R"] = oneRange("Byte_1R", byteOrder, byteOrder);
        m["Word_2R"] = word2R();
        m["Word_3R"] = word3R();
        m["Rele"] = rele();
        return m;
    }();
    return all;
}

} // namespace

const PropertyPageDef::Field* PropertyPageDef::field(std::string_view property) const
{
    for (const Field& f : fields)
        if (f.property == property)
            return &f;
    return nullptr;
}

std::vector<std::string> PropertyPageDef::items(const Field& f) const
{
    switch (f.kind) {
    case Kind::DataLen:
        if (name == "Rele")
            return {"Byte", "Word"};
        return {"Byte", "Word", "Double Word"};
    case Kind::High:
        return {"False", "True"};
    case Kind::Tipo:
        return {"1 Bit", "2 Bits", "3 Bits", "4 Bits"};
    default:
        return {};
    }
}

const PropertyPageDef* propertyPageDef(std::string_view page)
{
    auto it = pages().find(page);
    return it == pages().end() ? nullptr : &it->second;
}

const std::vector<std::string>& propertyPageNames()
{
    static const std::vector<std::string> names = {"Word_1R", "Byte_1R", "Word_2R", "Word_3R", "Rele"};
    return names;
}

} // namespace kova
