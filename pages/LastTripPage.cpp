#include "pages/LastTripPage.h"

namespace kova {

void LastTripPage::Activa_Timer()
{
    if (host().comunicando())
        setTimer(true);
    else
        host().setHabilitaReset(true);
}

} // namespace kova
