#include "app/Bloques_Escritos.h"

namespace kova {

namespace {

// "block 3", "blocks 1 and 2", "blocks 3 to 6", "blocks 1, 3 and 5".
std::string nombrar(const std::vector<int>& b)
{
    if (b.size() == 1)
        return "block " + std::to_string(b[0]);
    bool seguidos = b.size() >= 3;
    for (std::size_t i = 1; seguidos && i < b.size(); ++i)
        seguidos = b[i] == b[i - 1] + 1;
    if (seguidos)
        return "blocks " + std::to_string(b.front()) + " to " + std::to_string(b.back());
    std::string s = "blocks ";
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (i > 0)
            s += i + 1 == b.size() ? " and " : ", ";
        s += std::to_string(b[i]);
    }
    return s;
}

} // namespace

std::string Detalle_Escritura(const std::vector<int>& bloques, const std::set<int>& confirmados,
                              const std::set<int>& enviados)
{
    std::vector<int> si, no, quizas;
    for (int b : bloques) {
        if (confirmados.count(b) != 0) {
            si.push_back(b);
        } else {
            no.push_back(b);
            if (enviados.count(b) != 0)
                quizas.push_back(b);
        }
    }
    if (si.empty() && quizas.empty())
        return "Nothing was written to the relay.";
    bool todos = !bloques.empty();
    for (std::size_t i = 0; todos && i < bloques.size(); ++i)
        todos = bloques[i] == static_cast<int>(i) + 1;
    const std::string deTodos =
        todos ? " of " + std::to_string(bloques.size()) : " of " + nombrar(bloques);
    std::string s;
    if (si.empty())
        s = "The relay confirmed none of " +
            (todos ? "the " + std::to_string(bloques.size()) + " blocks" : nombrar(bloques));
    else
        s = "The relay confirmed " + nombrar(si) + deTodos;
    if (!no.empty()) {
        if (!si.empty())
            s += "; " + nombrar(no) + (no.size() == 1 ? " was" : " were") + " not confirmed";
        if (quizas == no && !si.empty())
            s += no.size() == 1 ? " (it may have been written)" : " (they may have been written)";
        else if (!quizas.empty())
            s += " (" + nombrar(quizas) + " may have been written)";
    }
    s += ". The relay may now hold a mix of old and new setpoints.";
    return s;
}

} // namespace kova
