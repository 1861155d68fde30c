#pragma once
// The relay's event record as kept by the engine: the 20 newest events,
// decoded into the event table (positions 84..303 of the decoded-value
// table: column c of row r is position 84 + 20c + r; row r holds the event
// numbered newest - r). Rows with no event hold " No Trip " in column 0.
//
// Event numbers are unsigned 16-bit values.

#include "link/DecodedValues.h"
#include "link/RegisterImages.h"
#include "link/TextTables.h"

#include <cstdint>
#include <string_view>

namespace kova {

class EventLog {
public:
    static constexpr int kFirstPosition = 84;
    static constexpr int kRows = 20;
    static constexpr int kColumns = 11;

    EventLog(DecodedValues& table, const TextTables& texts) : table_(table), texts_(texts) {}

    // Event number to select for event position n (1 = newest): newest - n
    // + 1; past the newest, event 1 while rows n..20 are marked as having no
    // event. Selecting the newest also marks the rows past a newest number
    // below 20, so no earlier relay's events stay behind.
    std::uint16_t seleccionar(const RegisterImages& im, int n);

    // Marks event positions max(start, 1)..20 as having no event.
    void Write_NotEvent(int start);

    // True when one of the first min(n, 20) rows of column 0 is empty.
    bool Evento_Incompleto(int n) const;

    // Decodes the record now in the actual-values image into row
    // newest - k; a record outside rows 0..19 is stored nowhere.
    void Procesar_Bloque_0600(const RegisterImages& im, std::string_view datePattern);

    // Positions 312 and 313: the newest number and its stamp with cause.
    void Ultimo_Evento(const RegisterImages& im, std::string_view datePattern);

    // The relay's newest event number as the last reply to its read
    // (register 0x0600) left it in the actual-values image.
    static std::uint16_t newestIn(const RegisterImages& im);

    // Newest number seen by the last record decode.
    std::uint16_t Ultimo_Numero_Evento() const { return ultimo_; }

    // How many further events a reading pass fetches after the newest one:
    // 19 past 20 events, 1 with none, otherwise newest - 1.
    static int eventosPorRevisar(std::uint16_t newest);

    static constexpr int position(int column, int row) { return kFirstPosition + 20 * column + row; }

private:
    DecodedValues& table_;
    const TextTables& texts_;
    std::uint16_t ultimo_ = 0;
};

} // namespace kova
