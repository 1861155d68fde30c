#pragma once
// The keypad's parameter block: one process-wide set of fields through which
// a value editor hands a setting to the keypad window and takes the result
// back. All zero or empty at start; the main window sets Calc_Tipo to 1.

#include "text/Decimal4.h"

#include <cstdint>
#include <string>
#include <utility>

namespace kova {

struct KeypadBlock {
    std::uint8_t Calc_Tipo = 0;  // 1 one range, 2 two ranges, 3 three ranges
    std::string Calc_Titulo;
    std::int32_t Calc_Min = 0;
    std::int32_t Calc_Max = 0;
    std::int32_t Calc_Cambio_A = 0;
    std::int32_t Calc_Cambio_B = 0;
    std::int32_t Calc_Valor_Viejo = 0;
    std::string Calc_Medida;
    std::int32_t Calc_Inc_A = 0;
    std::int32_t Calc_Inc_B = 0;
    std::int32_t Calc_Inc_C = 0;
    Decimal4 Calc_Factor_A{};
    Decimal4 Calc_Factor_B{};
    Decimal4 Calc_Factor_C{};
    std::string Calc_Formato_A;
    std::string Calc_Formato_B;
    std::string Calc_Formato_C;
    // Kinds 1 and 2: the decimals of the editor's pattern. Where it has more
    // than the keypad's own pattern, the old value and the range show them.
    int editorDecimals = 0;
    std::int32_t Calc_Valor_Nuevo = 0;
    std::string Calc_Dato_Hex;
};

// The block shared by every editor and the keypad window.
KeypadBlock& keypadBlock();

// Keeps the block as it stands and puts it back when the scope ends, also
// when an exception ends it: for code that enters values through the block
// without the user.
class KeptKeypadBlock {
public:
    KeptKeypadBlock() : kept_(keypadBlock()) {}
    ~KeptKeypadBlock() { std::swap(keypadBlock(), kept_); }
    KeptKeypadBlock(const KeptKeypadBlock&) = delete;
    KeptKeypadBlock& operator=(const KeptKeypadBlock&) = delete;

private:
    KeypadBlock kept_;
};

} // namespace kova
