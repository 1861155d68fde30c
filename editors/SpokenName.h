#pragma once
// The name a screen reader reads for a control: the caption a sighted user
// reads beside it. Qt names a widget from its accessible name or from a
// label whose buddy it is among the widget's siblings, and on Linux reads a
// combo box's current item as its name whatever accessible name it has:
// there a screen reader names the list from the label it is "labelled by",
// a sibling label whose buddy it is.

class QLabel;
class QWidget;

namespace kova {

// `part` becomes the buddy of `caption`, and the caption is still drawn and
// read as written: a label with a buddy would take an "&" in its text as the
// mark of a shortcut key.
void pairCaption(QLabel& caption, QWidget& part);

// `caption` becomes the buddy of the control's focusable part (an editor's
// text, a selector's list, or the control itself), and the control and its
// parts (an editor's arrows too) take the caption's text as their name.
// Nothing visible changes.
void nameByCaption(QLabel& caption, QWidget& control);

} // namespace kova
