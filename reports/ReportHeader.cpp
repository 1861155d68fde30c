#include "reports/ReportHeader.h"
#include "text/NumberText.h"


namespace kova {

void fillReportHeader(ReportCanvas& canvas, const ReportStamp& stamp) {
    canvas.setText("Fecha", stamp.fecha);
    canvas.setText("LblTime", stamp.horaImpresion);
    // The event pages name their header labels apart.
    canvas.setText(canvas.find("Label50(4)") ? "Label50(4)" : "Label(5)", stamp.nombreRele);
}

std::string horaImpresionText(int hour, int minute, int second) {
    const int h12 = hour % 12 == 0 ? 12 : hour % 12;
    return formatPattern(h12, "00") + ":" + formatPattern(minute, "00") + ":" + formatPattern(second, "00") +
           (hour < 12 ? " AM" : " PM");
}

} // namespace kova
