#pragma once
// The description of one value page as its form file gives it: frames of
// rows (a caption and cells of value, unit and stamp labels), what each
// label shows, the buttons, the polling protocol, the Clear command and the
// layouts that follow the VT connection. Plain data; read by ValueFormReader.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kova {

// A position on the page in twips from the top left of its client area.
struct Twips {
    int left = 0;
    int top = 0;
};

struct ValueRow {
    std::string caption;                        // caption label, "" for a separator
    std::vector<std::vector<std::string>> cells; // each cell: one to two labels
    std::string separator;                      // name of an empty separator frame
};

struct ValueFrame {
    std::string name;
    std::string caption;
    Twips at;
    bool visible = true;                         // at design
    std::vector<std::string> headers;            // column header labels, one per cell
    std::vector<ValueRow> rows;
};

// What a value, unit or stamp label shows. A measured value has a unit
// kind and writes its unit into the unit label of the same index; a text
// has neither; a stamp label shows the date or time part of a stamp text.
struct ValueBinding {
    enum class Parte { None, Fecha, Hora };
    int posicion = 0;
    std::optional<int> unidad;
    Parte parte = Parte::None;
};

struct ValueButton {
    std::string name;
    std::string caption;
    Twips at;
};

struct TickRequest {
    int cola = 0;
    int codigo = 0;
};

struct ClearCommand {
    enum class Icon { Information, Question };
    std::string button;
    std::string question;
    Icon icon = Icon::Information;
    std::string title;
    int request = 0;
};

// One case of the layout by VT connection text (upper case, trimmed); a
// case with no texts takes every text no other case names.
struct LayoutCase {
    std::vector<std::string> texts;
    std::vector<std::string> show;
    std::vector<std::string> hide;
    std::map<std::string, int> tops; // control -> top in twips
};

struct VtLayout {
    std::string label;               // the VT text read from this label, or
    std::optional<int> posicion;     // straight from this position
    std::vector<LayoutCase> cases;
};

struct ValueForm {
    std::string form;
    std::string caption;
    std::vector<ValueFrame> frames;
    std::map<std::string, std::string> labels;  // caption and header texts
    std::map<std::string, std::string> design;  // label array -> design text
    std::map<std::string, ValueBinding> values; // label -> what it shows
    std::vector<ValueButton> buttons;
    int interval = 0;                           // Timer1, ms
    std::vector<TickRequest> tick;
    std::vector<int> blocks;                    // decoded in this order
    std::optional<ClearCommand> clear;
    std::optional<VtLayout> layout;

    // Every value, unit and stamp label in drawing order (frames, rows, cells).
    std::vector<std::string> shownLabels() const;
    // The design text of a label: its array's ("LblMed(3)" -> "###.##").
    std::string designText(const std::string& label) const;
};

// "LblMed(3)" -> "LblMed" and 3; a plain name -> itself and nullopt.
std::string arrayName(const std::string& label);
std::optional<int> arrayIndex(const std::string& label);
// "LblMed(3)" -> "LblUni(3)"; "" for a label of no LblMed array.
std::string unitLabelOf(const std::string& valueLabel);

} // namespace kova
