#pragma once
// The engine's fixed texts: event cause texts by cause code, and the state
// texts of the status and voltage decoders. The texts keep their blanks and
// spelling exactly: pages and saved files compare and split them.

#include <array>
#include <string>
#include <vector>

namespace kova {

// The four state-text tables, in Textos_Estado order.
enum class StateTexts : int {
    Relay = 0,        // " Energized ", " De-energized "
    Contact = 1,      // " Open ", " Closed "
    PhaseSequence = 2,// " Not Sequence ", " A-B-C ", " A-C-B "
    VtConnection = 3, // " Wye ", " Delta-Delta ", " Open Delta "
};

class TextTables {
public:
    static constexpr int kCauseCodes = 201; // codes 0..200

    // Filled on construction.
    TextTables() { Llenar_Textos_Eventos(); }

    // Fills both tables; codes without a text hold "".
    void Llenar_Textos_Eventos();

    // The cause text of a code; "" for a code without a text, also for codes
    // past the table (a stamp's cause field reaches 511).
    const std::string& causa(int code) const;

    // Text n of a state table; nullptr when the table has no such text.
    const std::string* estado(StateTexts table, int n) const;

    std::array<std::string, kCauseCodes> Textos_Eventos;
    std::array<std::vector<std::string>, 4> Textos_Estado;
};

} // namespace kova
