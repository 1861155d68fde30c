#include "reports/Events_Rep.h"

#include "reports/EventsPage.h"
#include "reports/ReportLayout.h"
#include "reports/SourcePageSession.h"
#include "text/NumberText.h"
#include "text/VbNumbers.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace kova {

namespace {

constexpr int kFilasBloque = 11;
constexpr int kEventosPorPagina = 3;
// The events page lists at most this many events.
constexpr int kUltimoEvento = 20;

struct Columna {
    const char* titulo;
    double fraccion;  // of the grid's width
};
constexpr Columna kColumnas[] = {
    {"EVENT ID", 0.2}, {"EVENT DATA", 0.4}, {"VALUE", 0.3}, {"UNIT", 0.1}};

// Rows 2 to 11 of an event's block: caption, the list's sub-item, unit.
struct FilaValor {
    const char* dato;
    int subItem;
    const char* unidad;
};
constexpr FilaValor kFilasValor[] = {
    {"Phase A RMS", 3, " Amp "},
    {"Phase B RMS", 4, " Amp "},
    {"Phase C RMS", 5, " Amp "},
    {"Ground RMS", 6, " Amp "},
    {"Negative Seq. Current RMS", 7, " Amp "},
    {"Phase Vab RMS", 8, " Volt "},
    {"Phase Vbc RMS", 9, " Volt "},
    {"Phase Vca RMS", 10, " Volt "},
    {"Frequency", 11, " Hz "},
    {"Power Factor", 12, " --- "},
};

void escribirFila(ReportGrid& grid, int fila, const std::string& id, std::string dato, std::string valor,
                  const char* unidad)
{
    grid.cell(fila, 0) = id;
    grid.cell(fila, 1) = std::move(dato);
    grid.cell(fila, 2) = std::move(valor);
    grid.cell(fila, 3) = unidad;
}

// The block of list item e, from row r on. The cause keeps its leading
// blank, so "EVENT 57:" is followed by the blank of " Events Clear".
void escribirBloque(ReportGrid& grid, int r, const KeyedList& lista, int e)
{
    const std::string& id = lista.text(e);
    escribirFila(grid, r, id, "EVENT " + id + ":" + lista.subItem(e, 1), lista.subItem(e, 2), " --- ");
    for (int i = 0; i < kFilasBloque - 1; ++i) {
        const FilaValor& f = kFilasValor[i];
        escribirFila(grid, r + 1 + i, id, f.dato, lista.subItem(e, f.subItem), f.unidad);
    }
}

ReportCanvas cargarVentana(const char* ventana, const ReportStamp& stamp)
{
    ReportCanvas canvas = reportLayout(ventana);
    // The grid holds the four columns and every row of the events listed.
    const ReportItem* grid = canvas.find("GrdEventos");
    const int rows = 1 + kFilasBloque * kEventosPorPagina;
    if (!grid || grid->kind != ReportItem::Kind::Grid || grid->grid.cols != 4 || grid->grid.rows < rows)
        throw std::runtime_error(layoutFaultPrefix(ventana) + ": GrdEventos: a grid of 4 columns and at least " +
                                 integerText(rows) + " rows is required");
    fillReportHeader(canvas, stamp);
    Fill_Titulos_GridEventos(canvas.at("GrdEventos"));
    return canvas;
}

// Loads the events page unseen, sets Contador_Eventos to the number of
// events it lists and writes the blocks of events primero..ultimo that it
// lists into the grid; the page is unloaded again on every path.
void llenarEventos(ReportCanvas& canvas, PageHost& host, int primero, int ultimo, std::int32_t& Contador_Eventos)
{
    ReportGrid& grid = canvas.at("GrdEventos").grid;
    EventsPage pagina(host);
    SourcePageSession sesion([&] { pagina.Form_Load(); }, [&] { pagina.Form_Unload(); });
    const KeyedList& lista = pagina.ListView1();
    const int n = lista.count();
    Contador_Eventos = n;
    const int hasta = std::min({n, ultimo, kUltimoEvento});
    for (int e = primero; e <= hasta; ++e)
        escribirBloque(grid, 1 + kFilasBloque * (e - primero), lista, e);
}

} // namespace

void Llena_Eventos_Tit(TitulosGrid& Titulos_Grid)
{
    for (int c = 0; c < 4; ++c)
        Titulos_Grid[static_cast<std::size_t>(c)] = kColumnas[c].titulo;
}

void Fill_Titulos_GridEventos(ReportItem& item)
{
    TitulosGrid Titulos_Grid;
    Llena_Eventos_Tit(Titulos_Grid);
    ReportGrid& grid = item.grid;
    for (int c = 0; c < 4; ++c)
        grid.colWidths.at(static_cast<std::size_t>(c)) =
            static_cast<int>(vb::roundHalfEven(item.width * kColumnas[c].fraccion));
    grid.colAlign.at(3) = ReportAlign::Center;
    grid.colAlign.at(0) = ReportAlign::Center;
    grid.colAlign.at(2) = ReportAlign::Left;
    for (int c = 0; c < 4; ++c) {
        grid.setBold(0, c, true);
        grid.setAlign(0, c, ReportAlign::Center);
        grid.cell(0, c) = Titulos_Grid[static_cast<std::size_t>(c)];
    }
    grid.colAlign.at(1) = ReportAlign::Left;
}

ReportCanvas Events_Rep(PageHost& host, const ReportStamp& stamp, std::int32_t& Contador_Eventos)
{
    ReportCanvas canvas = cargarVentana("Events_Rep", stamp);
    llenarEventos(canvas, host, 1, kEventosPorPagina, Contador_Eventos);
    return canvas;
}

ReportCanvas Events_Rep2(PageHost& host, const ReportStamp& stamp, std::int32_t Pagina_Eventos,
                         std::int32_t& Contador_Eventos)
{
    if (Pagina_Eventos < 1 || Pagina_Eventos > 7)
        throw std::invalid_argument("no event page " + integerText(Pagina_Eventos));
    ReportCanvas canvas = cargarVentana("Events_Rep2", stamp);
    canvas.setText("LblPag", "Page " + integerText(Pagina_Eventos));
    llenarEventos(canvas, host, kEventosPorPagina * Pagina_Eventos - 2, kEventosPorPagina * Pagina_Eventos,
                  Contador_Eventos);
    return canvas;
}

} // namespace kova
