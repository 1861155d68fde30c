#include "pages/LastTripPage.h"

namespace kova {

void LastTripPage::Activa_Timer()
{
    if (host().Comunicando())
        setTimer(true);
    else
        host().setHabilita_Reset(true);
}

} // namespace kova
