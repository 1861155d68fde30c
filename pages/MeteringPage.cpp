#include "pages/MeteringPage.h"

namespace kova {

namespace {
constexpr int kReadSetpointBlock1 = 61;
}

void MeteringPage::Form_Load()
{
    if (host().imprimiendo())
        return;
    host().setCerrarPagina(false);
    if (host().comunicando()) {
        host().queueRequest(0, kReadSetpointBlock1);
        Timer1_Timer();
    }
    showPage();
    Activa_Timer();
    Actualiza_Valores();
}

} // namespace kova
