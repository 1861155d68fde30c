#pragma once
// The value lines of the actual-value reports: a position of the engine's
// table of decoded values written into a page's labels, as the value pages
// show it (the same conversion and unit formatter).

#include "pages/PageHost.h"
#include "reports/ReportCanvas.h"

#include <string>

namespace kova {

// "LblMed(3)" for ("LblMed", 3).
std::string indexed(const char* array, int index);

// A numeric line: the position formatted with the unit kind into LblMed(i)
// and LblUni(i). A text that spells no number prints unchanged with no unit.
void valueLine(ReportCanvas& page, const PageHost& host, int posicion, int kind, int i);
// A text line: the position's text unchanged into the label.
void textLine(ReportCanvas& page, const PageHost& host, int posicion, const std::string& label);
// A time stamp split into its date and time labels.
void stampLine(ReportCanvas& page, const PageHost& host, int posicion, const std::string& dateLabel,
               const std::string& timeLabel);

} // namespace kova
