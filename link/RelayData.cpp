#include "link/RelayData.h"

namespace kova {

bool RelayData::Devuelve_Datos(int Bloque)
{
    const std::string pattern = datePattern();
    switch (Bloque) {
    case 0: values.Procesar_Bloque_0203(images_, texts); break;
    case 1: values.Procesar_Bloque_020D(images_); break;
    case 2: values.Procesar_Bloque_0217(images_, texts); break;
    case 3: values.Leer_Valores_022F(images_); break;
    case 4: values.Leer_Valores_025F(images_, texts, pattern); break;
    case 5: values.Leer_Valores_026A(images_, texts, pattern); break;
    case 6: values.Maintenance_Data(images_); break;
    case 7: values.Leer_Valores_027F(images_, texts, pattern); break;
    case 8: values.Date_Time_System(images_, texts, pattern); break;
    case 9: events.Procesar_Bloque_0600(images_, pattern); break;
    default: break;
    }
    return false;
}

} // namespace kova
