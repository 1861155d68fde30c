#include "pages/MeteringPage.h"

namespace kova {

namespace {
constexpr int kReadSetpointBlock1 = 61;
}

void MeteringPage::Form_Load()
{
    if (host().Imprimiendo())
        return;
    host().setCerrar_Pagina(false);
    if (host().Comunicando()) {
        host().Agregar_Solicitud(0, kReadSetpointBlock1);
        Timer1_Timer();
    }
    showPage();
    Activa_Timer();
    Actualiza_Valores();
}

} // namespace kova
