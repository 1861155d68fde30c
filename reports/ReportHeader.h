#pragma once
// The common page header's variable texts, written by every report's load:
// the print date, the relay name (all 20 characters, blanks kept) and the
// print time. Both stamps come from one clock reading per print command.

#include "reports/ReportCanvas.h"

#include <string>

namespace kova {

struct ReportStamp {
    std::string fecha;           // short date
    std::string horaImpresion;   // "hh:mm:ss AM"
    std::string nombreRele;      // Nombre_Rele
};

void fillReportHeader(ReportCanvas& canvas, const ReportStamp& stamp);

// "hh:mm:ss AM"/"PM" of a 24-hour time (15:07:09 -> "03:07:09 PM").
std::string horaImpresionText(int hour, int minute, int second);

} // namespace kova
