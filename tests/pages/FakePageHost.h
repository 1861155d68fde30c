#pragma once
// A page host without a program: decoded values set by the test, requests,
// flags, the main window's enabled state and message boxes recorded, answers
// to questions scripted.

#include "pages/ValuePageHost.h"

#include <deque>
#include <map>
#include <vector>

namespace kova::test {

struct ShownMessage {
    std::string text;
    bool question;
    PageHost::Icon icon;
    std::string title;
    bool operator==(const ShownMessage&) const = default;
};

class FakePageHost : public PageHost {
public:
    bool online = false;
    bool printing = false;
    bool closeRequest = false;
    bool habilitaReset = false;
    bool mainEnabled = true;
    int lockCount = 0;
    std::map<int, NumOrText> table;
    std::vector<int> decoded;
    std::map<int, std::vector<int>> queued; // queue -> codes
    std::vector<ShownMessage> shown;
    std::deque<bool> answers; // Yes when empty

    bool Comunicando() const override { return online; }
    bool Imprimiendo() const override { return printing; }
    bool Cerrar_Pagina() const override { return closeRequest; }
    void setCerrar_Pagina(bool v) override { closeRequest = v; }
    void setHabilita_Reset(bool v) override { habilitaReset = v; }
    void Agregar_Solicitud(int cola, int codigo) override { queued[cola].push_back(codigo); }
    void setMainWindowEnabled(bool v) override
    {
        mainEnabled = v;
        lockCount += v ? 0 : 1;
    }
    bool Devuelve_Datos(std::int32_t b) override
    {
        decoded.push_back(b);
        return false;
    }
    NumOrText DatosDeVariables(std::int16_t p) const override
    {
        const auto it = table.find(p);
        return it == table.end() ? NumOrText() : it->second;
    }
    bool ask(const std::string& text, Icon icon, const std::string& title) override
    {
        shown.push_back({text, true, icon, title});
        if (answers.empty()) return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void inform(const std::string& text, const std::string& title) override
    {
        shown.push_back({text, false, Icon::Information, title});
    }
};


} // namespace kova::test
