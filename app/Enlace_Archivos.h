#pragma once

// The file routines' link to the running program: the register images, the
// link-state flags, the engine's decoded values and the short-date text.
// All wiring between setpoint files and the relay link is here.

#include "app/Manejo_de_Archivos.h"
#include "link/LinkState.h"
#include "link/RegisterImages.h"

#include <functional>

namespace kova {

class Enlace_Archivos : public IEnlace_Archivos
{
public:
    Enlace_Archivos(RegisterImages& imagenes, LinkState& estado);

    // The engine's decoded value at a position as text; until it is set,
    // every position reads as empty.
    std::function<std::string(int)> valorDecodificado;

    Imagen_Setpoints imagenPut() const override;
    Imagen_Actual imagenActual() const override;
    void ponerImagenPut(const Imagen_Setpoints& put) override;
    void ponerImagenActual(const Imagen_Actual& actual) override;
    void Copiar_Put_A_Get() override;
    std::string DatosDeVariables(int posicion) const override;
    void entrarModoArchivo() override;
    std::string textoFecha(const Fecha_Civil& fecha) const override;

private:
    RegisterImages& imagenes_;
    LinkState& estado_;
};

} // namespace kova
