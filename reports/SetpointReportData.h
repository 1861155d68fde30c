#pragma once
// What a setpoint report copies from the setpoint pages, read from the
// "sources" list of its layout file (reports/layouts/<WINDOW>.json; the
// drawn items are read by ReportLayout). A source names a page form and the
// instances on it only: registers, scales, units and item texts stay with
// the page form.
//
//   "sources": [{
//       "form": "SETPAGE13",           page form loaded for the copies
//       "keep": true,                  stays loaded until every source of the
//                                      page is copied (then unloaded in
//                                      load order); otherwise unloaded
//                                      before the next source is loaded
//       "copies": [{"label": "LblValor(8)", "control": "Byte_UnR1(0)"}],
//                                      the label takes the control's text
//       "boxCopies": [{"from": "ChkPhTim", "first": 0, "to": "ChkGnd",
//                      "at": 0, "count": 12}],
//                                      for i = 0 to count - 1, box to(at + i)
//                                      takes the state of from(first + i)
//       "rules": [{"selector": "Page3C(0)", "first": ["FrmGndTime"],
//                  "other": ["Label1(3)", "LblValor(11)"]}]
//                                      "first" items show exactly when the
//                                      selector shows its first item,
//                                      "other" items exactly when it does not
//   }, ...]                            in the order the pages are loaded

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kova {

struct SetpointCopy {
    std::string label;
    std::string control;
};

struct SetpointBoxCopy {
    std::string from;
    int first = 0;
    std::string to;
    int at = 0;
    int count = 0;
};

struct SetpointRule {
    std::string selector;
    std::vector<std::string> first;
    std::vector<std::string> other;
};

struct SetpointSource {
    std::string form;
    bool keep = false;
    std::vector<SetpointCopy> copies;
    std::vector<SetpointBoxCopy> boxCopies;
    std::vector<SetpointRule> rules;
};

// A fault of shape is reported with the layout's name.
std::optional<std::vector<SetpointSource>> readSetpointSources(std::string_view json, std::string_view name,
                                                               std::string* error = nullptr);

} // namespace kova
