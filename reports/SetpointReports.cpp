#include "reports/SetpointReports.h"

#include "reports/HiddenSetpointPage.h"
#include "reports/ReportLayout.h"
#include "reports/SetpointReportData.h"

#include <memory>
#include <stdexcept>
#include <vector>

namespace kova {

namespace {

[[noreturn]] void fault(std::string_view window, const std::string& what)
{
    throw std::runtime_error(std::string(window) + ": " + what);
}

// A box of the page's form (array and index inside its groups).
bool hasBox(const PageForm& form, const std::string& array, int index)
{
    const auto it = form.boxes.find(array);
    return it != form.boxes.end() && index >= 0 && index < 4 * static_cast<int>(it->second.groups.size());
}

void copyFrom(SetpointPage& page, const SetpointSource& source, ReportCanvas& canvas)
{
    const std::string window = layoutFaultPrefix(canvas.window()) + ": sources";
    for (const SetpointCopy& c : source.copies) {
        if (page.kind(c.control).empty())
            fault(window, source.form + " has no " + c.control);
        canvas.setText(c.label, page.valor(c.control));
    }
    for (const SetpointBoxCopy& b : source.boxCopies)
        for (int i = 0; i < b.count; ++i) {
            if (!hasBox(page.form(), b.from, b.first + i))
                fault(window, source.form + " has no " + PageForm::boxName(b.from, b.first + i));
            canvas.setChecked(PageForm::boxName(b.to, b.at + i), page.checked(PageForm::boxName(b.from, b.first + i)));
        }
    for (const SetpointRule& r : source.rules) {
        if (page.kind(r.selector).empty())
            fault(window, source.form + " has no " + r.selector);
        const bool first = page.ListIndex(r.selector) == 0;
        for (const std::string& name : r.first)
            canvas.setVisible(name, first);
        for (const std::string& name : r.other)
            canvas.setVisible(name, !first);
    }
}

} // namespace

ReportCanvas fillSetpointReport(std::string_view window, PageHost& host, const ReportStamp& stamp)
{
    // One reading of the layout file gives the page and its sources.
    const auto json = reportLayoutFileText(window);
    std::string error;
    auto canvas = readReportLayoutFile(window, json, &error);
    if (!canvas)
        throw std::runtime_error(error);
    const auto sources = readSetpointSources(*json, layoutFaultPrefix(window), &error);
    if (!sources)
        throw std::runtime_error(error);
    fillReportHeader(*canvas, stamp);
    // Pages marked "keep" stay loaded while the next ones are used; the
    // others are unloaded before the next page is loaded.
    std::vector<std::unique_ptr<HiddenSetpointPage>> kept;
    for (const SetpointSource& source : *sources) {
        auto loaded = std::make_unique<HiddenSetpointPage>(source.form, host);
        copyFrom(loaded->page(), source, *canvas);
        if (source.keep)
            kept.push_back(std::move(loaded));
    }
    for (auto& page : kept)
        page->end();
    return std::move(*canvas);
}

ReportCanvas SET1_REP(PageHost& host, const ReportStamp& stamp) { return fillSetpointReport("SET1_REP", host, stamp); }
ReportCanvas SET2_REP(PageHost& host, const ReportStamp& stamp) { return fillSetpointReport("SET2_REP", host, stamp); }
ReportCanvas SET4_REP(PageHost& host, const ReportStamp& stamp) { return fillSetpointReport("SET4_REP", host, stamp); }
ReportCanvas SET11_REP(PageHost& host, const ReportStamp& stamp) { return fillSetpointReport("SET11_REP", host, stamp); }
ReportCanvas SET12_REP(PageHost& host, const ReportStamp& stamp) { return fillSetpointReport("SET12_REP", host, stamp); }

} // namespace kova
