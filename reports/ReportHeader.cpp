#include "reports/ReportHeader.h"

#include <cstdio>

namespace kova {

void fillReportHeader(ReportCanvas& canvas, const ReportStamp& stamp) {
    canvas.setText("Fecha", stamp.fecha);
    canvas.setText("LblTime", stamp.horaImpresion);
    // The event pages name their header labels apart.
    canvas.setText(canvas.find("Label50(4)") ? "Label50(4)" : "Label(5)", stamp.nombreRele);
}

std::string horaImpresionText(int hour, int minute, int second) {
    const int h12 = hour % 12 == 0 ? 12 : hour % 12;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d %s", h12, minute, second, hour < 12 ? "AM" : "PM");
    return buf;
}

} // namespace kova
