#pragma once
// The keypad's logic, without a window: label texts built from the parameter
// block, the display buffer filled by the keys, and OK/Cancel with the
// conversion of the typed number to a raw value and its range and step
// checks. The window (CalculadoraWindow) only shows what this computes.

#include "editors/KeypadBlock.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kova {

class Calculadora {
public:
    struct Labels {
        std::string Titulo;
        std::string Viejo;
        std::string Rango;
        std::string Incremento;
        std::string Incremento_b;
        std::string Incremento_c;
        bool Incremento_b_visible = false;
        bool Incremento_c_visible = false;
    };

    enum class OkResult {
        Ignored,         // nothing typed, or an unknown kind: the window stays open
        OutOfRange,      // "Out of Range": outside the limits or the 32-bit range
        IncorrectRange,  // "Incorrect Range": not a multiple of the range's step
        Accepted,        // result handed back, the window closes
    };

    static constexpr int kMaxDisplay = 10;

    explicit Calculadora(KeypadBlock& block) : block_(block) {}

    // Label texts for the block's current contents; empties the display.
    Labels Form_Load();

    const std::string& Pantalla() const { return pantalla_; }
    void Numeros_Click(int index);  // appends digit 0..9
    void Command1_Click();          // "CE"
    void Command2_Click();          // "."

    // Converts, checks and, when accepted, hands the result back.
    OkResult OK_Click();
    // Hands back the old value (also the result of every other way to close).
    void Cancel_Click();

    // "&H" and four digits for 1 to 4 hex digits, otherwise the bare digits.
    static std::string Valor_a_Hex(std::int32_t v);
    // The step an entry of the raw value must be a multiple of: that of the
    // range the block's kind puts the value in.
    static std::int32_t stepAt(const KeypadBlock& block, std::int64_t raw);

private:
    KeypadBlock& block_;
    std::string pantalla_;
};

} // namespace kova
