#pragma once
// Report windows as data: reports/layouts/<WINDOW>.json (a Qt resource,
// ":/layouts/<WINDOW>.json"; a folder named by KOVA_LAYOUTS_DIR wins).
//
// Shape of a layout file:
//   "window", "width", "height"   window name and client area (twips)
//   "header"      header variant of reports/layouts/header.json (the common
//                 page header: company, relay type and name, print date and
//                 time, page number, rule)
//   "parameter"   the header's parameter line, "page" its page label
//   "font"        default font of the items: {"family", "points", "bold"}
//   "items"       [{"kind": "label"|"frame"|"line"|"check"|"grid", "name",
//                   "left", "top", "width", "height", "text", "align":
//                   "left"|"center"|"right", "font": {...} (fields given
//                   override the default), "background": "C0C0C0",
//                   "visible": false, "autoSize": true, "lineWidth",
//                   grid: "rows", "cols", "fixedRows", "fixedCols",
//                   "rowHeight", "colWidths", "colAlign";
//                   frame: "items" placed relative to the frame}]
// header.json: {"variants": {"<variant>": [items...]}} in the same item
// format; the items named by "parameterLabel" and "pageLabel" of the variant
// take the layout's "parameter" and "page".
// A fault (bad shape, an unknown key or kind, a number that is negative,
// fractional or out of range, a name used twice) is refused, reported as
// "<layout>: <place>: <reason>" where the place names the key
// ("items[3].width"); a fault of the header file is reported under that
// file.

#include "reports/ReportCanvas.h"

#include <optional>
#include <string>
#include <string_view>

namespace kova {

std::optional<ReportCanvas> readReportLayout(std::string_view json, std::string_view name,
                                             std::string* error = nullptr);
// A window's layout file read; a window without a file is a fault. The
// layout is named in faults by the edited copy's path when it is one.
std::optional<ReportCanvas> loadReportLayout(std::string_view window, std::string* error = nullptr);
// The same for a layout text already read (nothing: the file could not be
// read), so that one reading serves several uses.
std::optional<ReportCanvas> readReportLayoutFile(std::string_view window, const std::optional<std::string>& json,
                                                 std::string* error = nullptr);
// The same, throwing what went wrong.
ReportCanvas reportLayout(std::string_view window);
// The layout file's text ("" when there is none, or when an edited copy
// cannot be read).
std::string reportLayoutText(std::string_view file);
// The same, but nothing when there is no file or an edited copy cannot be
// read: an empty copy is a text, refused as any text that is not JSON.
std::optional<std::string> reportLayoutFileText(std::string_view file);
// The path of that file (":/layouts/<file>.json" for a built-in one).
std::string reportLayoutFile(std::string_view file);
// What a fault of the layout is reported under: the edited copy's path,
// else the layout's name.
std::string layoutFaultPrefix(std::string_view file);

} // namespace kova
