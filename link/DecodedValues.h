#pragma once
// The decoded-value table: 401 positions (0..400), each holding nothing, a
// number of the kind its decoder names, or a text. Windows ask for a block
// to be decoded from the register images and then read single positions.
// A position keeps its content until a decoder writes it again.

#include "link/RegisterImages.h"
#include "link/TextTables.h"
#include "text/NumOrText.h"

#include <array>
#include <string>
#include <string_view>

namespace kova {

class DecodedValues {
public:
    static constexpr int kPositions = 401;

    // A copy of the position; empty for a position outside 0..400.
    NumOrText DatosDeVariables(int posicion) const;
    // Writes one position; a position outside 0..400 is never written.
    void set(int posicion, NumOrText value);

    // Sets the 32 positions from posicion_vector to the 16-bit integer 0;
    // a run that would leave the table (outside 0..369) writes nothing.
    void Fill_Cero(int posicion_vector);

    // Block decoders (block number in brackets).
    void Procesar_Bloque_0203(const RegisterImages& im, const TextTables& t); // [0] positions 1..19
    void Procesar_Bloque_020D(const RegisterImages& im);                      // [1] 20..28
    void Procesar_Bloque_0217(const RegisterImages& im, const TextTables& t); // [2] 29..37, 325
    void Leer_Valores_022F(const RegisterImages& im);                         // [3] 38..50
    void Leer_Valores_025F(const RegisterImages& im, const TextTables& t, std::string_view datePattern); // [4]
    void Leer_Valores_026A(const RegisterImages& im, const TextTables& t, std::string_view datePattern); // [5]
    void Maintenance_Data(const RegisterImages& im);                          // [6] 77..83
    void Leer_Valores_027F(const RegisterImages& im, const TextTables& t, std::string_view datePattern); // [7]
    // [8] The relay clock into position 40.
    void Date_Time_System(const RegisterImages& im, const TextTables& t, std::string_view datePattern);

private:
    std::array<NumOrText, kPositions> Vector_Datos;
};

} // namespace kova
