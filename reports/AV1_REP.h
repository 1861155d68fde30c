#pragma once
// Printed actual values, page 1: system, currents, voltages, power and
// energy, from the engine's table of decoded values as it stands.

#include "pages/PageHost.h"
#include "reports/ReportCanvas.h"
#include "reports/ReportHeader.h"

namespace kova {

// The filled page; throws when it cannot be filled.
ReportCanvas AV1_REP(PageHost& host, const ReportStamp& stamp);

} // namespace kova
