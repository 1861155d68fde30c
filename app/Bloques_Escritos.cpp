#include "app/Bloques_Escritos.h"

#include "text/HexText.h"
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

std::string Texto_Excepcion(int codigo)
{
    const std::string hex = hex2(static_cast<std::uint8_t>(codigo & 0xFF));
    const char* nombre = codigo == 4 ? " (device failure)" : codigo == 6 ? " (device busy)" : "";
    return std::string("exception code ") + hex + nombre;
}

void Envios::Excepcion(int codigo)
{
    if (Excepcion_Rechaza(codigo))
        ++rechazos_;
    else
        excepcion_ = codigo;
}

Envios::Resultado Envios::resultado() const
{
    if (confirmado_)
        return Resultado::Confirmado;
    if (envios_ == 0)
        return Resultado::NoEnviado;
    if (rechazos_ >= envios_)
        return Resultado::Rechazado;
    return excepcion_ != 0 ? Resultado::Excepcion : Resultado::SinRespuesta;
}

std::string Bloques_Escritos::Detalle() const
{
    std::vector<int> confirmados, rechazados, sinRespuesta, noEnviados;
    // Blocks answered with an exception code that may follow a write, by code.
    std::map<int, std::vector<int>> porCodigo;
    for (int b : bloques_) {
        const auto it = estado_.find(b);
        const Envios e = it == estado_.end() ? Envios{} : it->second;
        switch (e.resultado()) {
        case Envios::Resultado::Confirmado: confirmados.push_back(b); break;
        case Envios::Resultado::NoEnviado: noEnviados.push_back(b); break;
        case Envios::Resultado::Rechazado: rechazados.push_back(b); break;
        case Envios::Resultado::Excepcion: porCodigo[e.excepcion()].push_back(b); break;
        case Envios::Resultado::SinRespuesta: sinRespuesta.push_back(b); break;
        }
    }
    std::size_t quizas = sinRespuesta.size();
    for (const auto& [codigo, bs] : porCodigo)
        quizas += bs.size();
    if (confirmados.empty() && quizas == 0) {
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
    for (const auto& [codigo, bs] : porCodigo)
        frase("The relay answered " + nombrar(bs) + " with " + Texto_Excepcion(codigo) + ": " +
              (bs.size() == 1 ? "it" : "they") + " may have been written.");
    if (!sinRespuesta.empty())
        frase(mayuscula(nombrar(sinRespuesta)) + " got no valid answer: " + (sinRespuesta.size() == 1 ? "it" : "they") +
              " may have been written.");
    if (!noEnviados.empty())
        frase(mayuscula(nombrar(noEnviados)) + (noEnviados.size() == 1 ? " was" : " were") + " not sent.");
    // A block that holds new values beside another that may hold old ones.
    const std::size_t escritos = confirmados.size() + quizas;
    const std::size_t sinEscribir = quizas + rechazados.size() + noEnviados.size();
    if (escritos > 0 && sinEscribir > 0 && escritos + sinEscribir - quizas >= 2)
        frase("The relay may now hold a mix of old and new setpoints.");
    return s;
}

std::string Detalle_Reloj(const Envios& escritura, const Envios& aplicar)
{
    switch (escritura.resultado()) {
    case Envios::Resultado::NoEnviado:
        return {};
    case Envios::Resultado::Rechazado:
        return "The relay refused the clock: it was not written.";
    case Envios::Resultado::Excepcion:
        return "The relay answered the clock with " + Texto_Excepcion(escritura.excepcion()) +
               ": it may have been written; it was not applied.";
    case Envios::Resultado::SinRespuesta:
        return "The clock got no valid answer: it may have been written; it was not applied.";
    case Envios::Resultado::Confirmado:
        break;
    }
    switch (aplicar.resultado()) {
    case Envios::Resultado::Confirmado:
        return {};
    case Envios::Resultado::Excepcion:
        return "The clock was written; the relay answered the command to apply it with " +
               Texto_Excepcion(aplicar.excepcion()) + ": it may not have been applied.";
    case Envios::Resultado::SinRespuesta:
        return "The clock was written; the command to apply it got no valid answer: it may not have been applied.";
    case Envios::Resultado::NoEnviado:
    case Envios::Resultado::Rechazado:
        break;
    }
    return "The clock was written but not applied.";
}

} // namespace kova
