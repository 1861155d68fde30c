#include "link/TextTables.h"

#include <utility>

namespace kova {

void TextTables::Llenar_Textos_Eventos()
{
    static const std::pair<int, const char*> kCauses[] = {
        {0, " No Trip "},
        {1, " Events Clear "},
        {4, " Trip Relay OFF "},
        {5, " Trip Relay ON "},
        {6, " Aux. 1 Relay OFF "},
        {7, " Aux. 1 Relay ON "},
        {8, " Aux. 2 Relay OFF "},
        {9, " Aux. 2 Relay ON "},
        {10, " Aux. 3 Relay OFF "},
        {11, " Aux. 3 Relay ON "},
        {20, " Digital Input 1 Deactive "},
        {21, " Digital Input 1 Active "},
        {22, " Digital Input 2 Deactive "},
        {23, " Digital Input 2 Active "},
        {24, " Digital Input 3 Deactive "},
        {25, " Digital Input 3 Active "},
        {26, " Breaker Status: OPENED "},
        {27, " Breaker Status: CLOSED "},
        {32, " Earth Released "},
        {33, " Breaker Earthed "},
        {34, " Remote Trip "},
        {35, " Serial Comunication Trip "},
        {36, " Block Trip Reset "},
        {37, " Block Trip Set "},
        {40, " Breaker Discrepancy Alarm "},
        {41, " Mechanical Operation Alarm "},
        {42, " Accumulated Amp Alarm "},
        {43, " Maintenance Data Clear "},
        {50, " Phase Timed OverCurrent "},
        {51, " Phase Inst OverCurrent Alarm "},
        {52, " Phase OverCurrent Alarm "},
        {53, " Amp. Unbalance "},
        {54, " Phase UnderCurrent "},
        {55, " Reserved "},
        {56, " Negative Sequence Timed O/C "},
        {60, " Ground Timed OverCurrent "},
        {61, " Ground Inst OverCurrent "},
        {62, " Ground OverCurrent Alarm"},
        {70, " UnderVoltage 1 "},
        {71, " OverVoltage 1 "},
        {72, " Reserved "},
        {73, " Reserved "},
        {74, " Phase Reversal "},
        {80, " Frequency 1 "},
        {81, " Frequency 2 "},
        {90, " Power Factor Leading "},
        {91, " Power Factor Lagging "},
        {92, " Reverse Power "},
        {93, " Forward Power "},
        {94, " Amps Demand "},
        {95, " KW Demand "},
        {96, " KVAR Demand "},
    };
    for (auto& t : Textos_Eventos)
        t.clear();
    for (const auto& [code, text] : kCauses)
        Textos_Eventos[static_cast<std::size_t>(code)] = text;

    Textos_Estado[0] = {" Energized ", " De-energized "};
    Textos_Estado[1] = {" Open ", " Closed "};
    Textos_Estado[2] = {" Not Sequence ", " A-B-C ", " A-C-B "};
    Textos_Estado[3] = {" Wye ", " Delta-Delta ", " Open Delta "};
}

const std::string& TextTables::causa(int code) const
{
    static const std::string kNone;
    if (code < 0 || code >= kCauseCodes)
        return kNone;
    return Textos_Eventos[static_cast<std::size_t>(code)];
}

const std::string* TextTables::estado(StateTexts table, int n) const
{
    const auto& t = Textos_Estado[static_cast<std::size_t>(table)];
    if (n < 0 || n >= static_cast<int>(t.size()))
        return nullptr;
    return &t[static_cast<std::size_t>(n)];
}

} // namespace kova
