#pragma once
// The consistency check of a setpoint page's form: what tells a page which
// register to write in the relay must not make it write one setting over
// another, or show a setting it never reads, writes or restores.
//
// Checked over every placed editor, selector, plain combo (its bits, from the
// page's behaviour) and relay-box group:
// - no bit of a register is taken by two of them, nor twice by one selector;
// - a one-bit selector has Paso 1 and at most two items; every item of a
//   wider one has a code (position x Paso) its bits can hold;
// - every plain combo is one the page's code writes, with at least one item
//   and no more items than it has codes for;
// - every register lies in a setpoint block the page reads, writes and
//   restores, and every block the page writes is one it reads;
// - every control array, plain combo and relay group is in the display order;
// - a relay group's register lies just before a setting bound on the page,
//   and each group owns its bits apart, also from its array's other groups;
// - protocol.selectorArrays names each selector array of the form once.
// A form that passes these is then proven by running its page
// (FormProof.h), once per form content.
// The program refuses to open a page whose form fails it, and the settings
// designer refuses to apply or save one.

#include "pages/PageForm.h"

#include <string>
#include <vector>

namespace kova {

struct FormProblem {
    std::string control;    // the control or box array at fault
    std::string other;      // the control it shares a bit with ("" for none)
    std::string direccion;  // the register, as the form gives it
    std::string text;       // the whole sentence, naming all of the above
};

// The problems of a setpoint page's form, in the form's control order (none
// for a value page); on a form without any, what running its page shows.
std::vector<FormProblem> formProblems(const PageForm& form);

} // namespace kova
