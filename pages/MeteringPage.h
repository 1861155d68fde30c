#pragma once
// The metering page polls at once when opened online: it queues a re-read
// of the setpoint block that holds the VT connection and runs one tick
// before it is sized and shown. Its voltage frame follows the VT
// connection text (a form layout).

#include "pages/ValuePage.h"

namespace kova {

class MeteringPage : public ValuePage {
public:
    using ValuePage::ValuePage;
    void Form_Load() override;
};

} // namespace kova
