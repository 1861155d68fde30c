#pragma once
// What a setpoint send or STORE, or a clock store, left in the relay, for the
// detail line of its error message (and the line written when the program is
// ended while one runs). Each write of the send or store is in one of five
// states:
// - confirmed: a passed reply at least once;
// - refused: every send of it got an exception reply with code 01, 02 or 03
//   (illegal function, address or value), so the relay did not carry it out;
// - answered with another exception code (04 device failure, ...): the
//   relay may have carried it out, partly or wholly;
// - no valid answer: a send of it went out and got no reply the program
//   could take (silence, a spoiled reply, or none yet): it may have been
//   written;
// - not sent.
// Blocks are numbered 1 to 6 as the setpoint blocks are everywhere else.

#include <map>
#include <string>
#include <vector>

namespace kova {

// Said when nothing of a send or store was, or may have been, written.
inline constexpr const char* kNadaEscrito = "Nothing was written to the relay.";

// An exception code that refuses a request outright: nothing of it was done.
constexpr bool Excepcion_Rechaza(int codigo) { return codigo >= 1 && codigo <= 3; }
// "exception code 04 (device failure)": the code in two hex digits, with its
// meaning where it has a common one.
std::string Texto_Excepcion(int codigo);

// What became of the sends of one write.
class Envios {
public:
    enum class Resultado { NoEnviado, Confirmado, Rechazado, Excepcion, SinRespuesta };

    // A send went out.
    void Enviado() { ++envios_; }
    // The relay confirmed a send.
    void Confirmado() { confirmado_ = true; }
    // The relay answered a send with an exception reply of this code.
    void Excepcion(int codigo);

    Resultado resultado() const;
    // The last exception code that did not refuse the write; 0 when none.
    int excepcion() const { return excepcion_; }

private:
    int envios_ = 0;
    int rechazos_ = 0;
    int excepcion_ = 0;
    bool confirmado_ = false;
};

class Bloques_Escritos {
public:
    Bloques_Escritos() = default;
    // bloques: the blocks of the send or store, in order.
    explicit Bloques_Escritos(std::vector<int> bloques) : bloques_(std::move(bloques)) {}

    const std::vector<int>& Bloques() const { return bloques_; }
    // A write of block b went out.
    void Enviado(int b) { estado_[b].Enviado(); }
    // The relay confirmed a write of block b.
    void Confirmado(int b) { estado_[b].Confirmado(); }
    // The relay answered a write of block b with an exception reply.
    void Rechazado(int b, int codigo) { estado_[b].Excepcion(codigo); }

    // Plain sentences: the blocks confirmed, refused (not written), answered
    // with another exception code (may have been written, the code given),
    // with no valid answer (may have been written) and not sent; "Nothing was
    // written to the relay." when no block was or may have been written; and
    // a word on a mix of old and new setpoints when one block may hold new
    // values and another old ones.
    std::string Detalle() const;

private:
    std::vector<int> bloques_;
    std::map<int, Envios> estado_;
};

// What a clock store that did not end in "saved" left in the relay: its
// write (93) and the command that applies it (92). Empty when the write
// was not sent.
std::string Detalle_Reloj(const Envios& escritura, const Envios& aplicar);

// What an events clear command (13) that did not pass did to the relay's
// event record. Empty when it was not sent or passed.
std::string Detalle_Borrado(const Envios& borrado);

} // namespace kova
