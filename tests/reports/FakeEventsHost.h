#pragma once
// The program as the events page sees it: link flags, a recorded request
// queue and main-window state, the engine's event table and a file's event
// copy held in memory, scripted answers to the page's message boxes.

#include "reports/EventsPage.h"

#include <array>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kova::test {

struct FakeEventsHost : EventsPage::Host {
    bool online = false;
    bool printing = false;
    bool closeRequest = false;
    std::vector<std::pair<int, int>> queued;
    std::vector<bool> mainEnabled; // every change, in order
    std::map<int, NumOrText> table;
    std::array<std::array<std::string, 20>, 11> file{}; // [column][row]
    struct Box {
        std::string text, title;
        char kind; // 'Q' question, 'I' information
    };
    std::vector<Box> boxes;
    std::deque<bool> answers; // Yes when none is left

    bool Comunicando() const override { return online; }
    bool Imprimiendo() const override { return printing; }
    bool Cerrar_Pagina() const override { return closeRequest; }
    void setCerrar_Pagina(bool v) override { closeRequest = v; }
    void Agregar_Solicitud(int cola, std::int16_t codigo) override { queued.emplace_back(cola, codigo); }
    void setMainEnabled(bool e) override { mainEnabled.push_back(e); }
    NumOrText DatosDeVariables(std::int16_t p) const override
    {
        const auto it = table.find(p);
        return it == table.end() ? NumOrText() : it->second;
    }
    std::string Evento_Archivo(int c, int r) const override
    {
        return file.at(static_cast<std::size_t>(c)).at(static_cast<std::size_t>(r));
    }
    bool preguntar(const std::string& text, const std::string& title) override
    {
        boxes.push_back({text, title, 'Q'});
        if (answers.empty()) return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void informar(const std::string& text, const std::string& title) override
    {
        boxes.push_back({text, title, 'I'});
    }

    bool mainIsEnabled() const { return mainEnabled.empty() || mainEnabled.back(); }

    // Rows 1..20 of the engine's table, as the engine writes them; "" leaves
    // a position never read. Value c of row i reads "<c>.<i>".
    void setRows(const std::vector<std::string>& rows)
    {
        for (int i = 1; i <= 20; ++i) {
            const std::string t = i <= static_cast<int>(rows.size()) ? rows[i - 1] : std::string();
            if (t.empty()) table.erase(83 + i);
            else table[83 + i] = t;
            for (int c = 1; c <= 10; ++c)
                table[83 + 20 * c + i] = std::to_string(c) + "." + std::to_string(i);
        }
    }
    // The file's event copy, rows 0..19; value c of row r reads "f<c>.<r>".
    void setFile(const std::vector<std::string>& rows)
    {
        for (int r = 0; r < 20; ++r) {
            file[0][r] = r < static_cast<int>(rows.size()) ? rows[r] : std::string();
            for (int c = 1; c <= 10; ++c)
                file[c][r] = "f" + std::to_string(c) + "." + std::to_string(r);
        }
    }
};

// An event row text "k, cause ,date time".
inline std::string eventRow(long k, const std::string& cause = " Trip Relay ON ",
                            const std::string& when = "01/02/2024 10:00:00")
{
    return std::to_string(k) + "," + cause + "," + when;
}

// Rows numbered first, first - 1, ... (count rows).
inline std::vector<std::string> eventRun(long first, int count)
{
    std::vector<std::string> rows;
    for (int i = 0; i < count; ++i) rows.push_back(eventRow(first - i));
    return rows;
}

} // namespace kova::test
