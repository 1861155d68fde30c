#include "editors/DesignMetadata.h"
#include "text/NumberText.h"

#include <algorithm>
#include <map>
#include <utility>

namespace kova {

namespace {

using Key = std::pair<std::string, std::string>;  // class, member

const std::map<Key, std::string>& descriptions()
{
    static const std::map<Key, std::string> table = [] {
        std::map<Key, std::string> t;
        auto on = [&t](std::initializer_list<const char*> classes, std::initializer_list<const char*> members,
                       const char* text) {
            for (const char* c : classes)
                for (const char* m : members)
                    t[{c, m}] = text;
        };
        const auto editors = {"Byte_UnR", "Word_UnR", "Word_DosR", "Word_TresR"};
        on(editors, {"Text"}, "Returns/sets the text contained in the control.");
        on(editors, {"Enabled"}, "Returns/sets a value that determines whether an object can respond to "
                                 "user-generated events.");
        on(editors, {"Font"}, "Returns a Font object.");
        on(editors, {"Refresh"}, "Forces a complete repaint of a object.");
        on({"Byte_UnR"}, {"BorderStyle"}, "Returns/sets the border style for an object.");
        on({"Byte_UnR"}, {"Alignment"}, "Returns/sets the alignment of a CheckBox or OptionButton, or a "
                                        "control's text.");
        on({"Byte_UnR", "LEDS"}, {"BackColor"}, "Returns/sets the background color used to display text and "
                                                "graphics in an object.");
        on({"LEDS"}, {"Interval"}, "Returns/sets the number of milliseconds between calls to a Timer control's "
                                   "Timer event.");
        on({"LEDS"}, {"Enabled"}, "Returns/sets a value that determines whether an object can respond to "
                                  "user-generated events.");
        on({"Bits"}, {"Enabled"}, "Devuelve o establece un valor que determina si un objeto puede responder a "
                                  "eventos generados por el usuario.");
        on({"Bits"}, {"Font"}, "Devuelve un objeto Font.");
        on({"Bits"}, {"BackColor"}, "Devuelve o establece el color de fondo usado para mostrar texto y gráficos "
                                    "en un objeto.");
        on({"Bits"}, {"ForeColor"}, "Devuelve o establece el color de primer plano usado para mostrar textos y "
                                    "gráficos en un objeto.");
        on({"Bits"}, {"ListCount"}, "Devuelve el número de elementos en la parte de lista de un control.");
        on({"Bits"}, {"BackStyle"}, "Indica si un control Label o el color de fondo de un control Shape es "
                                    "transparente u opaco.");
        const char* real = "El multiplo del valor obtenido desde el relé, para ser mostrado como valor real.";
        on({"Byte_UnR", "Word_UnR"}, {"Paso"}, real);
        on({"Word_DosR", "Word_TresR"}, {"Paso_A"}, (std::string(real) + " Primer Rango.").c_str());
        on({"Word_DosR"}, {"Paso_B"}, (std::string(real) + " Segundo Rango.").c_str());
        on({"Byte_UnR"}, {"Medida"}, "Texto que significa a que equivale el valor.");
        on({"Byte_UnR"}, {"Formato"}, "El formato como debe ser expresado el valor");
        on({"Word_DosR"}, {"Cambio_de_paso"}, "Valor Obtenido desde el relé, en el cual cambia de paso.");
        on({"Word_TresR"}, {"Cambio_A"}, "Valor Obtenido desde el relé, en el cual cambia de paso.");
        on({"Word_DosR", "Word_TresR"}, {"Inc_A"}, "Incremento en el relé para el Paso_A.");
        on({"Word_DosR", "Word_TresR"}, {"Inc_B"}, "Incremento en el relé para el Paso_B.");
        on({"Word_DosR", "Word_TresR"}, {"Dato"}, "Es el valor a introducir en el relé.");
        return t;
    }();
    return table;
}

bool among(std::string_view member, std::initializer_list<std::string_view> list)
{
    return std::find(list.begin(), list.end(), member) != list.end();
}

std::string boundPage(std::string_view cls, std::string_view member)
{
    if (cls == "Byte_UnR" &&
        among(member, {"Direccion", "Titulo", "SmallChange", "Min", "Max", "Formato", "Medida", "Paso"}))
        return "Byte_1R";
    if (cls == "Word_DosR" && among(member, {"Cambio_de_paso", "Direccion", "Formato", "Inc_A", "Inc_B", "Max",
                                             "Medida", "Min", "Titulo"}))
        return "Word_2R";
    if (cls == "Word_TresR" && among(member, {"Cambio_A", "Cambio_B", "Dato", "Enabled", "FormatoA", "FormatoB",
                                              "FormatoC", "Inc_C", "Paso_C", "Text", "Value"}))
        return "Word_3R";
    if (cls == "Bits") {
        if (among(member, {"Bit1", "Bit2", "Bit3", "Bit4", "Direccion", "Tipo"}))
            return "Rele";
        for (int n = 1; n <= 16; ++n)
            if (member == "Nombre" + integerText(n))
                return "Rele";
    }
    return {};
}

} // namespace

PropertyInfo propertyInfo(std::string_view cls, std::string_view member)
{
    PropertyInfo info;
    auto it = descriptions().find({std::string(cls), std::string(member)});
    if (it != descriptions().end())
        info.description = it->second;
    if (cls == "Byte_UnR" && among(member, {"Titulo", "SmallChange", "Min", "Max", "Formato", "Medida", "Paso"}))
        info.category = kMisPropiedades;
    info.boundPage = boundPage(cls, member);
    return info;
}

std::string propertyPageOf(std::string_view cls)
{
    if (cls == "Byte_UnR" || cls == "Word_UnR")
        return "Word_1R";
    if (cls == "Word_DosR")
        return "Word_2R";
    if (cls == "Word_TresR")
        return "Word_3R";
    if (cls == "Bits")
        return "Rele";
    return {};
}

} // namespace kova
