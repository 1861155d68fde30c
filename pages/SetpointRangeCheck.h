#pragma once
// Whether a setpoint image (the six setpoint blocks, as a setpoint file holds
// them) holds only settings the pages can show and the relay is meant to
// take. Checked over every setpoint page's form, as the program opens it:
// - a value editor's raw value lies within its Min and Max;
// - a selector's field value names one of its list items (read as the
//   selector reads it, by its Paso);
// - a plain combo's code (its bits, from the page's behaviour) names one of
//   its items;
// and the relay's own slave address (the high byte of register 0x0118) is
// not one of 248 to 255, which no master can reach (0 passes: the default
// file holds it). A form the program cannot use is a problem too: its
// settings cannot be checked, and that, not a setting, is the fault to name.

#include "link/RegisterImages.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kova {

using SetpointImage = std::array<std::uint8_t, RegisterImages::kSetpointBytes>;

struct RangeProblem {
    std::string page;       // the page's caption (the form's name when it cannot be read)
    std::string setting;    // the setting's caption on the page
    std::string found;      // the value found, as the page shows it
    std::string range;      // what the control accepts
    std::uint32_t reg = 0;  // the register holding the setting (0 for a form not read)
    std::string text;       // "<page>: <setting>: <found>, range <range>"; for a form that cannot be
                            // used, the loader's faults ("<file>: <place>: <reason>", one a line)
    bool formUnusable = false;
};

// The problems, page by page in the forms' order, then the slave address.
std::vector<RangeProblem> setpointRangeProblems(const SetpointImage& image);

// Whether a page's form could not be used: the settings were then not all
// checked, so the message names the form rather than the settings.
bool anyFormUnusable(const std::vector<RangeProblem>& problems);

// A message's detail: one problem a line (forms that could not be used first), at most ten, then "and n more".
std::string rangeProblemsDetail(const std::vector<RangeProblem>& problems);

} // namespace kova
