#pragma once
// The program as the events page sees it: the page host fake with the
// engine's event table and a file's event copy filled in event rows.

#include "link/RegisterImages.h"
#include "pages/FakePageHost.h"

#include <string>
#include <utility>
#include <vector>

namespace kova::test {

struct FakeEventsHost : FakePageHost {
    bool mainIsEnabled() const { return mainWindow.empty() || mainWindow.back(); }
    // Every request queued, as (queue, code).
    std::vector<std::pair<int, int>> requests() const
    {
        std::vector<std::pair<int, int>> r;
        for (const Queued& q : queued) r.emplace_back(q.slot.queue, q.slot.code);
        return r;
    }

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
    // The relay's newest event number as a reply to its read leaves it in
    // the actual-values image (register 0x0600).
    void setNewest(int n)
    {
        const auto i = *actualValueIndex(0x0600);
        im.actual[i] = static_cast<std::uint8_t>(n >> 8);
        im.actual[i + 1u] = static_cast<std::uint8_t>(n & 0xFF);
    }
    // One failed attempt of a request with this code.
    void fail(int code)
    {
        ++failures[code];
        listener->replyFailed({0, 0, code});
    }
    // A passed reply of a request with this code, queued or not by the page.
    void passed(int code)
    {
        failures.erase(code);
        listener->replyPassed({0, 0, code});
    }
    // The file's event copy, rows 0..19; value c of row r reads "f<c>.<r>".
    void setFile(const std::vector<std::string>& rows)
    {
        for (std::size_t r = 0; r < 20; ++r) {
            fileEvents[0][r] = r < rows.size() ? rows[r] : std::string();
            for (std::size_t c = 1; c <= 10; ++c)
                fileEvents[c][r] = "f" + std::to_string(c) + "." + std::to_string(r);
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
