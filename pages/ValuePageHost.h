#pragma once
// PROVISIONAL: what a value page uses of the program, until the shared page
// host lands.

#include "text/NumOrText.h"

#include <cstdint>
#include <string>

namespace kova {

class PageHost {
public:
    enum class Icon { Information, Question };
    virtual ~PageHost() = default;
    virtual bool Comunicando() const = 0;
    virtual bool Imprimiendo() const = 0;
    virtual bool Cerrar_Pagina() const = 0;
    virtual void setCerrar_Pagina(bool) = 0;
    virtual void setHabilita_Reset(bool) = 0;
    virtual void Agregar_Solicitud(int cola, int codigo) = 0;
    virtual void setMainWindowEnabled(bool) = 0;
    virtual bool Devuelve_Datos(std::int32_t Bloque) = 0;
    virtual NumOrText DatosDeVariables(std::int16_t posicion) const = 0;
    // Yes/No question; true for Yes.
    virtual bool ask(const std::string& text, Icon icon, const std::string& title) = 0;
    // Information box with an OK button.
    virtual void inform(const std::string& text, const std::string& title) = 0;
};

} // namespace kova
