#pragma once
// The last-trip page opened offline allows the reset command.

#include "pages/ValuePage.h"

namespace kova {

class LastTripPage : public ValuePage {
public:
    using ValuePage::ValuePage;

protected:
    void Activa_Timer() override;
};

} // namespace kova
