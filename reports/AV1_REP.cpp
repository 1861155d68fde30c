#include "reports/AV1_REP.h"

#include "pages/ModAutoRango.h"
#include "reports/ReportLayout.h"
#include "reports/ReportValueLines.h"
#include "text/NumberText.h"

namespace kova {

namespace {

constexpr int kVtConnection = 325;  // " Wye ", " Delta-Delta ", " Open Delta "
constexpr int kPowerTop = 7605;     // the first frame under the metering frame
constexpr int kTotalsUnderPhases = 9705;

} // namespace

ReportCanvas AV1_REP(PageHost& host, const ReportStamp& stamp)
{
    ReportCanvas page = reportLayout("AV1_REP");
    fillReportHeader(page, stamp);

    host.Devuelve_Datos(1);
    host.Devuelve_Datos(2);
    valueLine(page, host, 36, kHertz, 0);
    textLine(page, host, 37, "LblMed(1)");
    textLine(page, host, kVtConnection, "LblMed(2)");
    // Line voltages print in both voltage frames, phase voltages only in
    // the star one.
    for (int i = 3; i <= 9; ++i) {
        valueLine(page, host, i + 26, kVolts, i);
        if (i <= 5)
            valueLine(page, host, i + 26, kVolts, i + 16);
        if (i == 9)
            valueLine(page, host, i + 26, kVolts, 22);
    }
    for (int i = 0; i <= 8; ++i)
        valueLine(page, host, i + 20, i >= 5 && i <= 7 ? kPercent : kAmps, i + 10);

    // The voltage frame of the connection; any other text keeps the star one.
    const std::string shownVt = upperTrimmed(page.text("LblMed(2)"));
    if (shownVt == "WYE") {
        page.setVisible("OD_DD_VT1(0)", true);
        page.setVisible("OD_DD_VT1(1)", false);
    } else if (shownVt == "OPEN DELTA" || shownVt == "DELTA-DELTA") {
        page.setVisible("OD_DD_VT1(0)", false);
        page.setVisible("OD_DD_VT1(1)", true);
    }

    host.Devuelve_Datos(3);
    host.Devuelve_Datos(4);
    host.Devuelve_Datos(2);
    // Per-phase powers only for a star connection, the totals under them;
    // otherwise the totals take their place under the frame's caption.
    const int totalsLeft = page.at("Frame1").left;
    if (upperTrimmed(host.DatosDeVariables(kVtConnection).toText()) == "WYE") {
        page.setText("Frame1", "");
        page.moveTo("Frame1", totalsLeft, kTotalsUnderPhases);
        page.moveTo("Frame2", page.at("Frame2").left, kPowerTop);
        page.setVisible("Frame2", true);
    } else {
        page.moveTo("Frame1", totalsLeft, kPowerTop);
        page.setText("Frame1", "Power And Energy");
        page.setVisible("Frame2", false);
    }
    page.setVisible("Frame1", true);

    const int totalsKinds[] = {kWatts, kVars, kVoltAmps, kPowerFactor};
    for (int i = 0; i < 4; ++i)
        valueLine(page, host, 38 + i, totalsKinds[i], 25 + i);
    valueLine(page, host, 51, kKwh, 29);
    valueLine(page, host, 52, kKwh, 30);
    valueLine(page, host, 53, kKvarh, 31);
    valueLine(page, host, 54, kKvarh, 32);
    for (int i = 42; i <= 50; ++i)
        valueLine(page, host, i, i <= 44 ? kWatts : i <= 47 ? kVars : kVoltAmps, i + 8);
    stampLine(page, host, 55, "lblEnergyDate", "lblEnergyTime");
    return page;
}

} // namespace kova
