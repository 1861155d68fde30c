#pragma once
// The controls of a setpoint page's form that hold a setting of their own:
// each value editor and each selector ("Bits"), with the settings the form
// stores for it loaded into its model. Plain combos and relay boxes are not
// among them: what they stand for comes from the page's behaviour and the
// form's box arrays.

#include "editors/Bits.h"
#include "editors/ValueEditorModel.h"
#include "pages/PageForm.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kova {

// One bit of a register: the register and the bit, 0 the least significant.
using RegisterBit = std::pair<std::uint32_t, int>;

// The bits a value editor of DataLen/High takes from its register reg: a
// byte is the high (High 1) or low half of it; DataLen 2 takes reg and the
// register after it whole.
std::vector<RegisterBit> editorBits(std::uint32_t reg, int dataLen, int high);
// The bits of its register a selector's field takes (Bit1 first), counted
// in the whole register (a high byte's from 8); Tipo outside 0..3 as the
// nearest of them.
std::vector<int> selectorBits(const Bits& b);

struct FormControl {
    const std::string& name;                // the instance, "PhaseCT(3)"
    const std::string& kind;                // "Byte_UnR", "Word_DosR", "Word_TresR" or "Bits"
    ValueEditorModel* editor;               // a value editor's model, else null
    Bits* selector;                         // a selector's model, else null
    const std::string& direccion;           // its register as the form gives it
    std::optional<std::uint32_t> reg;       // that register; nothing when it is no address
};

// Calls visit for each such control in the form's control order. The
// models live until visit returns.
void forEachFormControl(const PageForm& form, const std::function<void(const FormControl&)>& visit);

} // namespace kova
