#include "app/Enlace_Archivos.h"

#include "text/DateText.h"

namespace kova {

static_assert(RegisterImages::kSetpointBytes == std::tuple_size_v<Imagen_Setpoints>);
static_assert(RegisterImages::kActualBytes == std::tuple_size_v<Imagen_Actual>);

Enlace_Archivos::Enlace_Archivos(RegisterImages& imagenes, LinkState& estado, const KOVA200& motor)
    : imagenes_(imagenes)
    , estado_(estado)
    , motor_(motor)
{
}

Imagen_Setpoints Enlace_Archivos::imagenPut() const
{
    return imagenes_.put;
}

Imagen_Actual Enlace_Archivos::imagenActual() const
{
    return imagenes_.actual;
}

void Enlace_Archivos::ponerImagenPut(const Imagen_Setpoints& put)
{
    imagenes_.put = put;
}

void Enlace_Archivos::ponerImagenActual(const Imagen_Actual& actual)
{
    imagenes_.actual = actual;
}

void Enlace_Archivos::Copiar_Put_A_Get()
{
    kova::Copiar_Put_A_Get(imagenes_);
}

std::string Enlace_Archivos::DatosDeVariables(int posicion) const
{
    // Numbers as the program's general number text ("." as the point).
    return motor_.DatosDeVariables(static_cast<std::int16_t>(posicion)).toText();
}

void Enlace_Archivos::entrarModoArchivo()
{
    estado_.Comunicando = false;
    estado_.Detener_Comunicacion = true;
    if (alEntrarModoArchivo_)
        alEntrarModoArchivo_();
}

std::string Enlace_Archivos::textoFecha(const Fecha_Civil& fecha) const
{
    return shortDate(fecha.anio, fecha.mes, fecha.dia);
}

} // namespace kova
