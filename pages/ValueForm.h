#pragma once
// The parts of a form file that only value pages have (see PageForm.h):
//   "frames"    [{"name", "caption", "twips": [left, top], "visible" (at
//               design, default true), "headers" (column header captions,
//               one per cell), "rows": [row...]}]
//               row: {"label": caption, "cells": [[value label, unit label]
//               or [stamp or text label] ...]} or {"separator": frame}
//   "values"    label -> {"posicion": entry of the decoded-value table,
//               "unidad": unit kind 0..14 (a measured value; its unit goes
//               to the LblUni label of the same index)} or {"posicion",
//               "parte": "fecha" | "hora" (a stamp's date or time)}; a label
//               with neither shows the entry as text
//   "design"    label array -> design text ("LblMed": "###.##")
//   "buttons"   [{"name", "caption", "twips": [left, top]}]
//   "protocol"  {"interval": ms, "tick": [[queue, request]...] queued at
//               every tick while online (reads only: requests 2, 4-10 and
//               61-66 on queue 0 or 1, each request once), "blocks":
//               decoded in this order,
//               "clear": {"button", "question", "icon": "information" |
//               "question", "title", "request" (the clear command 12 or 19)}}
//   "layouts"   {"label": L or "posicion": p (the VT connection text),
//               "cases": [{"texts": upper-case trimmed texts ([] = any
//               other), "show", "hide", "tops": {control: twips}}]}
// Positions are twips from the top left of the page's client area.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kova {

struct Twips {
    int left = 0;
    int top = 0;
};

struct ValueRow {
    std::string label;                           // caption label
    std::vector<std::vector<std::string>> cells; // one or two labels each
    std::string separator;                       // an empty separator frame instead
};

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
    int queue = 0;
    int code = 0;
};

struct ClearCommand {
    enum class Icon { Information, Question };
    std::string button;
    std::string question;
    Icon icon = Icon::Information;
    std::string title;
    int request = 0;
};

struct LayoutCase {
    std::vector<std::string> texts;
    std::vector<std::string> show;
    std::vector<std::string> hide;
    std::map<std::string, int> tops;
};

struct VtLayout {
    std::string label;           // the text shown in this label, or
    std::optional<int> posicion; // the entry at this position
    std::vector<LayoutCase> cases;
};

// "LblMed(3)" -> "LblUni(3)"; "" for a label of no LblMed array.
std::string unitLabelOf(const std::string& valueLabel);

} // namespace kova
