#pragma once
// A setpoint page described as data: the form file pages/forms/<FORM>.json
// (a Qt resource, ":/forms/<FORM>.json"). One generic model (SetpointPage)
// and one generic view (SetpointPageView) run every form.
//
// Shape of a form file (instance names keep their control-array index,
// "PhaseCT(3)", so tests, rules and reports can name each control):
//   "form", "caption"   form name and window title
//   "frames"            [{"name", "caption" (may be ""), "columns": [[row...]...]}]
//                       row: {"label": L, "control": C}     caption + editor/selector/combo
//                            {"label": L, "boxes": A, "group": g}  caption + boxes A(4g..4g+3)
//                            {"line": "Line1(0)"}           separator
//                            {"label": L, "control": C, "frame": F, "over": D}
//                                 caption + control in the borderless sub-frame
//                                 F lying over the row of control D, the row
//                                 just before it; a rule shows or hides F, and
//                                 while F shows, D's row is covered by it
//   "labels"            {"Label1(0)": "Sampling Frequency:", ...}
//   "controls"          instance -> kind: "Byte_UnR", "Word_DosR", "Word_TresR",
//                       "Bits" or "ComboBox" (a plain list the page's own code fills)
//   "settings"          the editors' and selectors' persisted settings, exactly
//                       as PropertyStore::toJson writes them (applied with
//                       PropertyHost::loadSettings)
//   "boxes"             array -> {"captions": 4 texts, "groups": register of group g}
//                       box 4g + b shows bit b of register g
//   "combos"            plain combo -> its item texts
//   "protocol"          "selectorArrays" (every selector array once:
//                       Crear_Items on load), "read" codes,
//                       "write" codes, "restore" blocks, "display" order
//                       ({"first": combos, "boxes": [[array, group]...] run
//                       bit-major, "arrays": control arrays}) and "rules"
//                       ({"selector", "visibleFor": items, "noItem":
//                       "hide"|"show"|"keep", "targets": instances})
// A value page's form has "values" instead of "controls", "settings",
// "boxes" and "combos"; its frames, protocol and further keys are those of
// ValueForm.h.
// The file is written the way QJsonDocument::Indented writes it, so a tool
// that loads and saves a form changes no byte.
//
// The reader checks the shape and that every name a form uses is defined
// in it; a fault is reported with the form's name and the key.

#include "editors/PropertyBag.h"
#include "pages/ValueForm.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kova {

struct PageForm {
    enum class RowKind { Control, Boxes, Line };
    struct Row {
        RowKind kind = RowKind::Control;
        std::string label;    // caption instance ("" for a line)
        std::string control;  // control instance, box array or line instance
        int group = 0;        // box group
        std::string frame;    // sub-frame holding the row ("" for none)
        std::string over;     // control whose row the sub-frame lies over
    };
    struct Frame {
        std::string name;
        std::string caption;
        std::vector<std::vector<Row>> columns;
        // Value pages.
        Twips at;
        bool visible = true;
        std::vector<std::string> headers;
        std::vector<ValueRow> rows;
    };
    struct BoxArray {
        std::vector<std::string> captions;  // four, bit 0 first
        std::vector<std::string> groups;    // register of each group, four hex digits
    };
    enum class NoItem { Hide, Show, Keep };
    struct Rule {
        std::string selector;
        std::vector<int> visibleFor;
        NoItem noItem = NoItem::Hide;
        std::vector<std::string> targets;
    };
    struct BoxStep {
        std::string array;
        int group = 0;
    };

    std::string form;
    std::string caption;
    std::vector<Frame> frames;
    std::map<std::string, std::string> labels;
    std::map<std::string, std::string> controls;
    PropertyStore settings;
    std::map<std::string, BoxArray> boxes;
    std::map<std::string, std::vector<std::string>> combos;

    std::vector<std::string> selectorArrays;
    std::vector<int> readCodes;
    std::vector<int> writeCodes;
    std::vector<int> restoreBlocks;
    std::vector<std::string> displayFirst;
    std::vector<BoxStep> displayBoxes;
    std::vector<std::string> displayArrays;
    std::vector<Rule> rules;

    // Value pages.
    std::map<std::string, ValueBinding> values;
    std::map<std::string, std::string> design;
    std::vector<ValueButton> buttons;
    int interval = 0;
    std::vector<TickRequest> tick;
    std::vector<int> blocks;
    std::optional<ClearCommand> clear;
    std::optional<VtLayout> layout;

    bool isValuePage() const { return !values.empty(); }
    // The value, unit and stamp labels of a value page in drawing order
    // (frames, rows, cells).
    std::vector<std::string> shownLabels() const;
    // The design text of a label, its array's ("LblMed(3)" -> "###.##").
    std::string designText(const std::string& label) const;

    // The instances of a control array in index order ("PhaseCT" ->
    // "PhaseCT(0)", "PhaseCT(1)", ...).
    std::vector<std::string> arrayMembers(std::string_view array) const;
    // The instance name of box b of group g of a box array.
    static std::string boxName(std::string_view array, int index);
};

// "PhaseCT(3)" -> {"PhaseCT", 3}; a name without an index gives -1.
std::pair<std::string, int> splitInstance(std::string_view name);

// Reads a form from its JSON text; `name` names it in faults.
std::optional<PageForm> readPageForm(std::string_view json, std::string_view name, std::string* error = nullptr);

// The forms built into the program.
std::vector<std::string> pageFormNames();
bool pageFormExists(std::string_view form);
// The form the program opens a page with, checked: loadPageForm
// (FormLoader.h).
// The form file's text: <FORM>.json of the folder named by KOVA_FORMS_DIR
// when it holds one, else as built in ("" when there is none).
std::string pageFormText(std::string_view form);
// The same, but nothing when there is no file or an edited copy cannot be
// read, so an empty copy is told apart: it is a text like any other.
std::optional<std::string> pageFormContent(std::string_view form);
// The path of that file (":/forms/<FORM>.json" for a built-in one).
std::string pageFormFile(std::string_view form);

} // namespace kova
