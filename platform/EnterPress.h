#pragma once
// Enter (and the keypad's Enter) presses a push button that has the focus,
// as Space does. Only the focused button answers: a window using this has
// no default button, so Enter typed in an editor or a list presses nothing.

class QAbstractButton;

namespace kova {

// Makes Enter press `button` while it has the focus; the button stays no
// default button of its window.
void pressOnEnter(QAbstractButton& button);

} // namespace kova
