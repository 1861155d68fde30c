#include "reports/ReportValueLines.h"

#include "pages/ModAutoRango.h"
#include "pages/StampSplit.h"
#include "text/NumberText.h"


namespace kova {

namespace {

NumOrText entry(const PageHost& host, int posicion)
{
    return host.DatosDeVariables(static_cast<std::int16_t>(posicion));
}

} // namespace

std::string indexed(const char* array, int index) { return std::string(array) + "(" + integerText(index) + ")"; }

void valueLine(ReportCanvas& page, const PageHost& host, int posicion, int kind, int i)
{
    std::string Valor_Medida;
    std::string Unidad_Medida;
    Mostrar_Medida(kind, entry(host, posicion), Valor_Medida, Unidad_Medida);
    page.setText(indexed("LblMed", i), std::move(Valor_Medida));
    page.setText(indexed("LblUni", i), std::move(Unidad_Medida));
}

void textLine(ReportCanvas& page, const PageHost& host, int posicion, const std::string& label)
{
    page.setText(label, entry(host, posicion).toText());
}

void stampLine(ReportCanvas& page, const PageHost& host, int posicion, const std::string& dateLabel,
               const std::string& timeLabel)
{
    StampParts parts = splitStamp(entry(host, posicion).toText());
    page.setText(dateLabel, std::move(parts.fecha));
    page.setText(timeLabel, std::move(parts.hora));
}

} // namespace kova
