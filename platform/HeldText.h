#pragma once
// A text box shows only what its owner holds, whatever path changed its
// text. Typing, pasting, dropping and an input method go through a box's
// read-only state and its validator; an assistive tool (dictation, a braille
// keyboard, a screen reader's edit) sets the text through the accessibility
// interface past both. A box kept with this puts such a text back at once.

#include <QString>

#include <functional>

class QLineEdit;

namespace kova {

// With `held`, `box` shows only held(): the text of the model behind a
// read-only box. Without it, `box` takes only a text its validator does not
// refuse, the check every typed key goes through, and otherwise shows again
// the last text it took.
void keepHeldText(QLineEdit& box, std::function<QString()> held = {});

} // namespace kova
