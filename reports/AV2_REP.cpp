#include "reports/AV2_REP.h"

#include "pages/ModAutoRango.h"
#include "reports/ReportLayout.h"
#include "reports/ReportValueLines.h"

namespace kova {

ReportCanvas AV2_REP(PageHost& host, const ReportStamp& stamp)
{
    ReportCanvas page = reportLayout("AV2_REP");
    fillReportHeader(page, stamp);

    // Demand: last and maximum values, and when each maximum was reached.
    host.Devuelve_Datos(5);
    const int demandPositions[] = {56, 57, 58, 59, 61, 63};
    const int demandKinds[] = {kAmps, kWatts, kVars, kAmps, kWatts, kVars};
    for (int i = 0; i < 6; ++i)
        valueLine(page, host, demandPositions[i], demandKinds[i], i);
    for (int i = 0; i <= 2; ++i)
        stampLine(page, host, 60 + 2 * i, indexed("LblDemandDate", i), indexed("LblDemandTime", i));

    // Last trip.
    host.Devuelve_Datos(7);
    textLine(page, host, 65, "LblMed(6)");
    textLine(page, host, 66, "LblMed(7)");
    for (int i = 8; i <= 15; ++i)
        valueLine(page, host, i + 59, i <= 12 ? kAmps : kVolts, i);
    valueLine(page, host, 75, kHertz, 16);
    valueLine(page, host, 76, kPowerFactor, 17);

    // Maintenance: counters as the relay gives them, accumulated amperes.
    host.Devuelve_Datos(6);
    textLine(page, host, 77, "LblMed(24)");
    textLine(page, host, 81, "LblMed(23)");
    textLine(page, host, 82, "LblMed(22)");
    textLine(page, host, 83, "LblMed(21)");
    for (int i = 0; i <= 2; ++i)
        valueLine(page, host, 78 + i, kAmps, 18 + i);
    return page;
}

} // namespace kova
