#pragma once
// The five printed setpoint pages. Each takes every value from the setpoint
// pages it loads unseen (values as the page shows them, relay boxes, the
// rows a selector shows or hides) and unloads them again; it reads no
// register itself. A page that cannot be filled throws (every page it
// loaded is unloaded by then).

#include "pages/PageHost.h"
#include "reports/ReportCanvas.h"
#include "reports/ReportHeader.h"

#include <string_view>

namespace kova {

ReportCanvas SET1_REP(PageHost& host, const ReportStamp& stamp);   // "Page 1": system setup
ReportCanvas SET2_REP(PageHost& host, const ReportStamp& stamp);   // "Page 2": phase protections
ReportCanvas SET4_REP(PageHost& host, const ReportStamp& stamp);   // "Page 3": ground and voltage
ReportCanvas SET11_REP(PageHost& host, const ReportStamp& stamp);  // "Page 4": frequency and power
ReportCanvas SET12_REP(PageHost& host, const ReportStamp& stamp);  // "Page 5": demand, outputs, inputs, events

// The fill they share, over the window's layout file and its "sources".
ReportCanvas fillSetpointReport(std::string_view window, PageHost& host, const ReportStamp& stamp);

} // namespace kova
