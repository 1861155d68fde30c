#pragma once
// A design-time property page at work: its fields are its whole state.
// selectionChanged fills them from the first selected control by property
// name, applyChanges writes every field back by name, the field handlers
// keep the High row, the bit fields and the name fields in line, and
// changed() tells the host there are edits to apply.
//
// Safety rules of applying:
// - all or nothing: the fields are first applied, in write order, to a
//   scratch copy of the control; a value the copy refuses, a list with no
//   item, or settings the copy's own check rejects write nothing;
// - a number field's text must pass its number rule (PropertyNumbers.h);
//   limits must fit the register width, scales and steps be above 0, and
//   the address lie in a setpoint block;
// - doubtful settings (more list entries than names filled) are applied
//   only once the host confirms;
// - exactly one control is applied to.

#include "editors/PropertyHost.h"
#include "editors/PropertyPageDef.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kova {

class PropertyPage {
public:
    // A copy of a control (same class, same settings) to try values on.
    using ScratchMaker = std::function<std::unique_ptr<PropertyHost>(const PropertyHost&)>;
    // Asked before a doubtful apply; true applies.
    using Confirm = std::function<bool(const std::string& question)>;

    struct ApplyResult {
        bool applied = false;
        std::string message;  // why nothing was written ("" when applied or declined)
    };

    explicit PropertyPage(const PropertyPageDef& def, ScratchMaker scratch = {});

    const PropertyPageDef& def() const { return def_; }

    // Field state, by property name.
    const std::string& text(const std::string& property) const;
    int listIndex(const std::string& property) const;  // -1: no item
    bool enabled(const std::string& property) const;
    bool visible(const std::string& property) const;  // also the caption's
    // A stored value that is no position of its list.
    bool marked(const std::string& property) const;
    bool changed() const { return changed_; }
    // Only the host clears it, after a successful apply.
    void clearChanged() { changed_ = false; }

    // User edits.
    void setText(const std::string& property, const std::string& text);
    void pick(const std::string& property, int index);

    void selectionChanged(const std::vector<PropertyHost*>& selected);
    ApplyResult applyChanges(const std::vector<PropertyHost*>& selected, const Confirm& confirm = {});

    // A field's state changed (text, item, enabled, visible or mark).
    std::function<void(const std::string& property)> onField;

    static inline const std::string kSelectOne = "Select one control";

private:
    struct State {
        std::string text;
        std::optional<PropValue> read;  // the value read, while the text is its own
        int index = -1;
        bool enabled = true;
        bool visible = true;
        bool marked = false;
    };

    State& state(const std::string& property);
    void notify(const std::string& property);
    void fill(const std::string& property, const PropValue& v);
    void setIndex(const std::string& property, int index);
    void afterPick(const std::string& property);
    PropValue valueOf(const std::string& property) const;

    const PropertyPageDef& def_;
    ScratchMaker scratch_;
    std::map<std::string, State> fields_;
    bool changed_ = false;
};

// The number a text begins with, blanks ignored; 0 when none.
double leadingNumber(const std::string& text);
// A property value as a text field shows it.
std::string propText(const PropValue& v);

// A scratch copy of one of the editor classes (nullptr for other classes).
std::unique_ptr<PropertyHost> scratchCopy(const PropertyHost& control);
// Settings of a control that leave it unusable or bound to no setpoint
// register (its own check, numberRangeProblem, the address); "" when none.
std::string settingsProblem(const PropertyHost& control);
// Settings worth a question before applying; "" when none.
std::string settingsDoubt(const PropertyHost& control);

} // namespace kova
