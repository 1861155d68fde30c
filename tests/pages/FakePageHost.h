#pragma once
// A page host for page tests: its own register images and decoded values,
// link flags set by the test, every request, store, message and question
// recorded, questions answered from a script, and the link events delivered
// on the test's word.

#include "pages/PageHost.h"

#include <array>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kova::test {

class FakePageHost : public PageHost {
public:
    struct Queued {
        RequestSlot slot;
        bool habilitaReset;  // the flag when the request was queued
    };
    struct Message {
        std::string text, title;
        Icon icon;
    };

    RegisterImages im;
    bool isOnline = false;
    bool isPrinting = false;
    bool habilitaReset = true;
    std::vector<bool> mainWindow;      // every enable (true) / disable (false)
    std::vector<Queued> queued;
    std::set<int> refuse;              // codes that find no free slot
    std::set<int> waiting;             // codes reported as still waiting
    std::vector<std::pair<std::vector<RequestSlot>, std::vector<int>>> stores; // writes, codes not queued
    std::vector<Message> messages;
    PageLinkListener* listener = nullptr;
    int listenerChanges = 0;
    // Value pages.
    bool closeRequest = false;          // the shared close request
    std::map<int, NumOrText> table;     // decoded values by position
    std::vector<int> decoded;           // blocks decoded, in order
    std::vector<Message> questions;
    std::deque<bool> answers;           // Yes when none is left
    std::array<std::array<std::string, 20>, 11> fileEvents{}; // [column][row]

    RegisterImages& images() override { return im; }
    bool online() const override { return isOnline; }
    bool comunicando() const override { return isOnline; }
    bool imprimiendo() const override { return isPrinting; }
    void setHabilitaReset(bool a) override { habilitaReset = a; }
    void enableMainWindow(bool e) override { mainWindow.push_back(e); }
    std::optional<RequestSlot> queueRequest(int queue, int code) override
    {
        if (refuse.count(code))
            return std::nullopt;
        RequestSlot s{queue, static_cast<int>(queued.size()), code};
        queued.push_back({s, habilitaReset});
        return s;
    }
    bool requestWaiting(int code) const override { return waiting.count(code) != 0; }
    std::map<int, int> failures;       // failures in a row by code, as the link counts them
    int failuresInARow(int code) const override { return failures.contains(code) ? failures.at(code) : 0; }
    void beginStore(const std::vector<RequestSlot>& writes, const std::vector<int>& notQueued) override
    {
        stores.emplace_back(writes, notQueued);
    }
    void message(const std::string& text, const std::string& title, Icon icon) override
    {
        messages.push_back({text, title, icon});
    }
    bool question(const std::string& text, const std::string& title, Icon icon) override
    {
        questions.push_back({text, title, icon});
        if (answers.empty())
            return true;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    bool cerrarPagina() const override { return closeRequest; }
    void setCerrarPagina(bool requested) override { closeRequest = requested; }
    bool Devuelve_Datos(std::int32_t Bloque) override
    {
        decoded.push_back(Bloque);
        return false;
    }
    NumOrText DatosDeVariables(std::int16_t posicion) const override
    {
        const auto it = table.find(posicion);
        return it == table.end() ? NumOrText() : it->second;
    }
    void setListener(PageLinkListener* page) override
    {
        listener = page;
        ++listenerChanges;
    }
    void releaseListener(PageLinkListener* page) override
    {
        if (listener == page) listener = nullptr;
        ++listenerChanges;
    }

    // The codes queued on one queue, in order.
    std::vector<int> codes(int queue) const
    {
        std::vector<int> c;
        for (const Queued& q : queued)
            if (q.slot.queue == queue)
                c.push_back(q.slot.code);
        return c;
    }
    bool mainWindowEnabled() const { return mainWindow.empty() || mainWindow.back(); }
    std::string fileEvent(int column, int row) const override
    {
        if (column < 0 || column > 10 || row < 0 || row >= 20) return {};
        return fileEvents[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
    }

    std::vector<int> codes() const
    {
        std::vector<int> c;
        for (const Queued& q : queued)
            c.push_back(q.slot.code);
        return c;
    }
    // The passed reply of the request queued with this code.
    void pass(int code)
    {
        failures.erase(code);
        for (const Queued& q : queued)
            if (q.slot.code == code)
                listener->replyPassed(q.slot);
    }

    void setGet(int reg, int v) { set(im.get, reg, v); }
    void setPut(int reg, int v) { set(im.put, reg, v); }
    int put(int reg) const { return word(im.put, reg); }
    int get(int reg) const { return word(im.get, reg); }

private:
    static void set(SetpointImage& img, int reg, int v)
    {
        const auto i = *setpointIndex(static_cast<std::uint32_t>(reg));
        img[i] = static_cast<std::uint8_t>(v >> 8);
        img[i + 1u] = static_cast<std::uint8_t>(v & 0xFF);
    }
    static int word(const SetpointImage& img, int reg)
    {
        const auto i = *setpointIndex(static_cast<std::uint32_t>(reg));
        return img[i] * 256 + img[i + 1u];
    }
};

} // namespace kova::test
