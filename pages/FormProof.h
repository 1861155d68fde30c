#pragma once
// The proof of a setpoint page's form by running it: the page's own model
// (SetpointPage), without a window, opened offline on five images of the
// setpoint blocks: the default setpoints, all bits clear, all bits set and
// two seeded random ones. On each:
// - STORE with nothing edited writes every block exactly as read;
// - each control set to each value it takes (every item of a selector or
//   combo, every box turned over and back, an editor at its lowest and its
//   highest value and one arrow step above the lowest), then STORE, changes
//   no bit but the control's own, and the page reading the stored image
//   again shows that control at that value and every other one as before.
// Besides, on the default setpoints, every editor shows exactly the value it
// writes: at every value its arrows reach from its lowest value up to its
// highest and back down, the text it shows (and the one the arrow step
// left) reads back under its own pattern as the value written, and typing
// that text on the keypad enters that value; and the keypad takes no value
// the arrows do not reach (the limits and the change points lie on the grid
// of the steps). A value an image holds outside a control's range is no
// fault: the proof is about what the page writes.

#include "pages/FormCheck.h"

#include <vector>

namespace kova {

// At most one problem per control, in the form's control order, the relay
// boxes last. Runs the page at every call.
std::vector<FormProblem> runningProblems(const PageForm& form);
// The same, worked out once per form content and then kept.
std::vector<FormProblem> runningProblemsOnce(const PageForm& form);

} // namespace kova
