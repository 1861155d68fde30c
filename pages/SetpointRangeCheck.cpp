#include "pages/SetpointRangeCheck.h"

#include "editors/ValueEditorModel.h"
#include "pages/FormControls.h"
#include "pages/FormLoader.h"
#include "pages/PageBehaviour.h"
#include "pages/PageForm.h"
#include "text/Decimal4.h"
#include "text/HexText.h"
#include "text/ListText.h"
#include "text/NumberText.h"

#include <algorithm>
#include <map>
#include <optional>

namespace kova {

namespace {

constexpr std::uint32_t kSlaveAddressRegister = 0x0118;
constexpr int kMaxLines = 10;

std::uint16_t wordAt(const SetpointImage& image, std::uint16_t index)
{
    return static_cast<std::uint16_t>(image[index] << 8 | image[index + 1u]);
}

// "Phase CT Rating Primary:" -> "Phase CT Rating Primary".
std::string caption(std::string text)
{
    while (!text.empty() && (text.back() == ':' || text.back() == ' '))
        text.pop_back();
    return text;
}

struct Placed {
    int order = 0;        // rows in the order the page shows them
    std::string caption;  // the row's label
};

// Where each control placed in a row of the form stands, and its caption.
std::map<std::string, Placed> placedControls(const PageForm& form)
{
    std::map<std::string, Placed> out;
    int order = 0;
    for (const auto& frame : form.frames)
        for (const auto& column : frame.columns)
            for (const auto& row : column)
                if (row.kind == PageForm::RowKind::Control) {
                    const auto label = form.labels.find(row.label);
                    out[row.control] = {order++, caption(label == form.labels.end() ? row.control : label->second)};
                }
    return out;
}

// Trailing blanks off: an editor's text ends in one when it has no unit.
std::string trimmed(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// The number an editor's text shows (its text less the unit), when it is a
// plain decimal number: digits, a sign, at most one point.
std::optional<Decimal4> shownNumber(const ValueEditorModel& e, const std::string& text)
{
    const std::string unit = " " + e.Medida();
    if (text.size() < unit.size() || text.compare(text.size() - unit.size(), unit.size(), unit) != 0)
        return std::nullopt;
    const std::string number = text.substr(0, text.size() - unit.size());
    if (number.find_first_not_of("-.0123456789") != std::string::npos)
        return std::nullopt;
    return Decimal4::parse(number);
}

class PageCheck {
public:
    PageCheck(const PageForm& form, const SetpointImage& image, std::vector<RangeProblem>& out)
        : form_(form), image_(image), placed_(placedControls(form)), out_(out)
    {
        // The controls read the Get image; whatever they write goes to this
        // copy's Put image only.
        scratch_.get = image;
        scratch_.put = image;
    }

    void editor(const FormControl& c)
    {
        ValueEditorModel& e = *c.editor;
        e.setImages(scratch_);
        if (!e.Inicializacion())
            return;
        const std::int32_t v = e.Value();
        if (v >= e.Min() && v <= e.Max())
            return;
        // The page's texts, unless its pattern rounds the value onto the
        // bound it breaks ("600 Sec" for 600.01, range ... to "600 Sec"):
        // then the value and both bounds in every decimal of the scale.
        const bool below = v < e.Min();
        const auto shown = shownNumber(e, e.textFor(v));
        const auto bound = shownNumber(e, e.textFor(below ? e.Min() : e.Max()));
        const bool readsOutside = shown && bound && (below ? *shown < *bound : *shown > *bound);
        auto text = [&](std::int32_t x) { return trimmed(readsOutside ? e.textFor(x) : e.exactTextFor(x)); };
        add(c.name, text(v), text(e.Min()) + " to " + text(e.Max()), *c.reg);
    }

    void selector(const FormControl& c)
    {
        Bits& b = *c.selector;
        b.setImages(scratch_);
        b.Crear_Items();
        if (!b.Inicializacion() || b.ListIndex() >= 0)
            return;
        const int value = b.fieldValue();
        std::string range = b.ListCount() == 0 ? "none" : "0 to " + integerText((b.ListCount() - 1) * b.Paso());
        if (b.Paso() != 1 && b.ListCount() > 1)
            range += " in steps of " + integerText(b.Paso());
        add(c.name, integerText(value), range, *c.reg);
    }

    void combos()
    {
        const auto behaviour = behaviourFor(form_.form);
        for (const auto& c : behaviour->comboBits()) {
            const auto reg = parseHex(c.direccion);
            const auto index = reg ? setpointIndex(*reg) : std::nullopt;
            const auto items = form_.combos.find(c.combo);
            if (!index || items == form_.combos.end())
                continue;
            const int count = static_cast<int>(items->second.size());
            const std::uint16_t word = wordAt(image_, *index);
            int found = 0;
            for (std::size_t n = 0; n < c.bits.size(); ++n)
                found |= (word >> c.bits[n] & 1) << n;
            // The codes the combo shows an item for, asked of the page's own
            // reading with every other bit as the image holds it.
            std::vector<int> accepted;
            for (int code = 0; code < 1 << c.bits.size(); ++code) {
                std::uint16_t w = word;
                for (std::size_t n = 0; n < c.bits.size(); ++n) {
                    const auto mask = static_cast<std::uint16_t>(1u << c.bits[n]);
                    w = static_cast<std::uint16_t>(code >> n & 1 ? w | mask : w & ~mask);
                }
                scratch_.get[*index] = static_cast<std::uint8_t>(w >> 8);
                scratch_.get[*index + 1u] = static_cast<std::uint8_t>(w & 0xFF);
                const int item = behaviour->comboItem(c.combo, scratch_);
                if (item >= 0 && item < count)
                    accepted.push_back(code);
            }
            scratch_.get = image_;
            if (std::find(accepted.begin(), accepted.end(), found) == accepted.end())
                add(c.combo, integerText(found), accepted.empty() ? "none" : numberList(accepted, 2), *reg);
        }
    }

    // The page's problems, in the order its rows show them.
    void finish()
    {
        std::stable_sort(found_.begin(), found_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& f : found_)
            out_.push_back(std::move(f.second));
    }

private:
    void add(const std::string& control, const std::string& found, const std::string& range, std::uint32_t reg)
    {
        const auto it = placed_.find(control);
        const bool placed = it != placed_.end();
        RangeProblem p{form_.caption, placed ? it->second.caption : control, trimmed(found), trimmed(range), reg,
                       ""};
        p.text = p.page + ": " + p.setting + ": " + p.found + ", range " + p.range;
        found_.emplace_back(placed ? it->second.order : static_cast<int>(placed_.size()), std::move(p));
    }

    const PageForm& form_;
    const SetpointImage& image_;
    std::map<std::string, Placed> placed_;
    std::vector<RangeProblem>& out_;
    std::vector<std::pair<int, RangeProblem>> found_;
    RegisterImages scratch_;
};

// The setpoint pages' forms in the order of their numbers (SETPAGE2 before
// SETPAGE13).
std::vector<std::string> setpointForms()
{
    std::vector<std::pair<int, std::string>> numbered;
    const std::string prefix = "SETPAGE";
    for (const std::string& name : pageFormNames())
        if (name.rfind(prefix, 0) == 0)
            numbered.emplace_back(parseInteger(std::string_view(name).substr(prefix.size())).value_or(0), name);
    std::sort(numbered.begin(), numbered.end());
    std::vector<std::string> out;
    for (auto& n : numbered)
        out.push_back(std::move(n.second));
    return out;
}

} // namespace

std::vector<RangeProblem> setpointRangeProblems(const SetpointImage& image)
{
    std::vector<RangeProblem> out;
    for (const std::string& name : setpointForms()) {
        std::string why;
        const auto form = loadPageForm(name, &why);
        if (!form) {
            out.push_back({name, "", "", "", 0, why, true});
            continue;
        }
        if (form->isValuePage())
            continue;
        PageCheck check(*form, image, out);
        forEachFormControl(*form, [&](const FormControl& c) {
            if (!c.reg || !setpointIndex(*c.reg))
                return;
            if (c.editor)
                check.editor(c);
            else
                check.selector(c);
        });
        check.combos();
        check.finish();
    }
    const int address = image[*setpointIndex(kSlaveAddressRegister)];
    if (address >= 248)
        out.push_back({"COMMUNICATION CONTROL", "Slave Address", integerText(address), "0 to 247",
                       kSlaveAddressRegister,
                       "COMMUNICATION CONTROL: Slave Address: " + integerText(address) + ", range 0 to 247"});
    return out;
}

bool anyFormUnusable(const std::vector<RangeProblem>& problems)
{
    return std::any_of(problems.begin(), problems.end(), [](const RangeProblem& p) { return p.formUnusable; });
}

std::string rangeProblemsDetail(const std::vector<RangeProblem>& problems)
{
    // Forms that could not be used first: they are what the message names.
    std::vector<RangeProblem> ordered = problems;
    std::stable_partition(ordered.begin(), ordered.end(), [](const RangeProblem& p) { return p.formUnusable; });
    std::string out;
    const std::size_t shown = std::min<std::size_t>(ordered.size(), kMaxLines);
    for (std::size_t i = 0; i < shown; ++i)
        out += (i == 0 ? "" : "\n") + ordered[i].text;
    if (problems.size() > shown)
        out += "\nand " + integerText(problems.size() - shown) + " more";
    return out;
}

} // namespace kova
