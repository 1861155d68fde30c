#pragma once

// The file routines' link to the running program: the register images, the
// link-state flags, the engine's decoded values and the short-date text.
// All wiring between setpoint files and the relay link is here.

#include "app/Manejo_de_Archivos.h"
#include "link/KOVA200.h"
#include "link/LinkState.h"
#include "link/RegisterImages.h"

#include <functional>

namespace kova {

class Enlace_Archivos : public IEnlace_Archivos
{
public:
    // The engine supplies the decoded event table a save stores outside
    // file mode.
    Enlace_Archivos(RegisterImages& imagenes, LinkState& estado, const KOVA200& motor);

    Imagen_Setpoints imagenPut() const override;
    Imagen_Actual imagenActual() const override;
    void ponerImagenPut(const Imagen_Setpoints& put) override;
    void ponerImagenActual(const Imagen_Actual& actual) override;
    void Copiar_Put_A_Get() override;
    std::string DatosDeVariables(int posicion) const override;
    void entrarModoArchivo() override;
    std::string textoFecha(const Fecha_Civil& fecha) const override;

    // Runs each time a file read puts the program in file mode.
    void setAlEntrarModoArchivo(std::function<void()> hook) { alEntrarModoArchivo_ = std::move(hook); }

private:
    std::function<void()> alEntrarModoArchivo_;
    RegisterImages& imagenes_;
    LinkState& estado_;
    const KOVA200& motor_;
};

} // namespace kova
