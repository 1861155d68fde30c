#include "app/Bloques_Escritos.h"

#include "text/ListText.h"

namespace kova {

namespace {

// "block 3", "blocks 1 and 2", "blocks 3 to 6", "blocks 1, 3 and 5".
std::string nombrar(const std::vector<int>& b)
{
    return (b.size() == 1 ? "block " : "blocks ") + numberList(b, 3);
}

std::string mayuscula(std::string s)
{
    s[0] = static_cast<char>(s[0] - 'a' + 'A');
    return s;
}

} // namespace

std::string Bloques_Escritos::Detalle() const
{
    std::vector<int> confirmados, rechazados, quizas, noEnviados;
    for (int b : bloques_) {
        const auto it = estado_.find(b);
        const Estado e = it == estado_.end() ? Estado{} : it->second;
        if (e.confirmado)
            confirmados.push_back(b);
        else if (e.envios == 0)
            noEnviados.push_back(b);
        else if (e.rechazos >= e.envios)
            rechazados.push_back(b);
        else
            quizas.push_back(b);
    }
    if (confirmados.empty() && quizas.empty()) {
        const std::string rechazo = rechazados.empty() ? "" : "The relay refused " + nombrar(rechazados) + ". ";
        return rechazo + "Nothing was written to the relay.";
    }
    std::string s;
    const auto frase = [&s](const std::string& f) { s += (s.empty() ? "" : " ") + f; };
    if (!confirmados.empty())
        frase("The relay confirmed " + nombrar(confirmados) + ".");
    if (!rechazados.empty())
        frase("The relay refused " + nombrar(rechazados) + ": " + (rechazados.size() == 1 ? "it was" : "they were") +
              " not written.");
    if (!quizas.empty())
        frase(mayuscula(nombrar(quizas)) + " got no valid answer: " + (quizas.size() == 1 ? "it" : "they") +
              " may have been written.");
    if (!noEnviados.empty())
        frase(mayuscula(nombrar(noEnviados)) + (noEnviados.size() == 1 ? " was" : " were") + " not sent.");
    // A block that holds new values beside another that may hold old ones.
    const std::size_t escritos = confirmados.size() + quizas.size();
    const std::size_t sinEscribir = quizas.size() + rechazados.size() + noEnviados.size();
    if (escritos > 0 && sinEscribir > 0 && escritos + sinEscribir - quizas.size() >= 2)
        frase("The relay may now hold a mix of old and new setpoints.");
    return s;
}

} // namespace kova
