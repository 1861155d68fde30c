#pragma once
// The printed event record: three events a page in the grid GrdEventos, one
// block of 11 rows per event, copied from the events page's list.
// Events_Rep is page 1; Events_Rep2 is pages 2 to 7 (page number given).
//
// Every page loads the events page afresh, unseen and with its full load
// (the events print does not set Imprimiendo), reads its list and unloads it
// again, on every path: the main window it disabled is enabled again and its
// timer is gone, also when the page cannot be filled. Every page writes the
// number of listed events into Contador_Eventos; the print command decides
// from it whether a next page follows.

#include "pages/PageHost.h"
#include "reports/ReportCanvas.h"
#include "reports/ReportHeader.h"

#include <array>
#include <cstdint>
#include <string>

namespace kova {

// The grid's title array; elements 0 to 3 are used.
using TitulosGrid = std::array<std::string, 7>;

// Fills elements 0 to 3 of the title array with the four column titles.
void Llena_Eventos_Tit(TitulosGrid& Titulos_Grid);

// Sets up an event grid: titles in row 0 (bold, centred), column widths as
// fractions 0.2, 0.4, 0.3, 0.1 of the grid's width (rounded half to even)
// and the column alignments.
void Fill_Titulos_GridEventos(ReportItem& grid);

// Page 1.
ReportCanvas Events_Rep(PageHost& host, const ReportStamp& stamp, std::int32_t& Contador_Eventos);
// Page Pagina_Eventos (2..7): events 3p - 2 to 3p, never past 20.
ReportCanvas Events_Rep2(PageHost& host, const ReportStamp& stamp, std::int32_t Pagina_Eventos,
                         std::int32_t& Contador_Eventos);

} // namespace kova
