#pragma once
// The settings of a setpoint page's form checked the way the settings
// designer checks an apply, so a form the designer would refuse is refused
// by the program too. For every editor and selector of the form:
// - every key inside its "settings" is one the control knows;
// - every stored value converts to its property, and a number passes its
//   number rule (editors/PropertyNumbers.h);
// - its settings as a whole are usable and bound to a setpoint register
//   (settingsProblem: width, Min not above Max, steps and scales above 0,
//   limits within the register width, the address in a setpoint block).

#include "pages/PageForm.h"

#include <string>
#include <vector>

namespace kova {

struct SettingProblem {
    std::string control;  // the editor or selector
    std::string key;      // the stored key ("" for its settings as a whole)
    std::string value;    // the stored value as the form holds it ("" for none)
    std::string text;     // the whole sentence, naming all of the above
};

// The problems in the form's control order (none for a value page).
std::vector<SettingProblem> settingProblems(const PageForm& form);

} // namespace kova
