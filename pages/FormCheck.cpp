#include "pages/FormCheck.h"

#include "pages/FormControls.h"
#include "pages/FormProof.h"
#include "pages/PageBehaviour.h"
#include "link/RegisterImages.h"
#include "text/HexText.h"
#include "text/ListText.h"
#include "text/NumberText.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <set>

namespace kova {

namespace {

int blockOf(std::uint32_t reg)
{
    for (std::size_t b = 0; b < Bloques_Setpoints.size(); ++b)
        if (reg >= Bloques_Setpoints[b].first && reg <= Bloques_Setpoints[b].last)
            return static_cast<int>(b) + 1;
    return 0;
}

template <class T>
bool has(const std::vector<T>& v, const T& x)
{
    return std::find(v.begin(), v.end(), x) != v.end();
}

// A register as the problems name it: four hex digits, or the text as stored.
std::string registerText(const std::string& direccion)
{
    const auto reg = parseHex(direccion);
    return reg && !direccion.empty() ? hex4word(*reg) : direccion;
}

// A selector that would show one value and write another: a bit named twice
// (written for one weight, cleared for the other), a Paso on one bit (the
// read divides by it, the one-bit write ignores it), more than two items on
// one bit, or a list position whose code k x Paso its bits cannot hold (the
// write drops it and the page still says saved).
std::vector<FormProblem> selectorProblems(const std::string& name, const Bits& b)
{
    std::vector<FormProblem> problems;
    if (!b.configProblem().empty())
        return problems;  // the settings check names those
    const std::string reg = registerText(b.Direccion());
    auto add = [&](std::string text) { problems.push_back({name, "", reg, std::move(text)}); };
    const int width = b.Tipo() + 1;
    const int shift = b.DataLen() == 0 && b.High() == 1 ? 8 : 0;
    std::vector<std::string> bits;
    for (int n = 1; n <= width; ++n) {
        bits.push_back(integerText(b.Bit(n) + shift));
        for (int m = 1; m < n; ++m)
            if (b.Bit(m) == b.Bit(n)) {
                add(name + " names bit " + bits.back() + " of register " + reg + " twice (Bit" + integerText(m) +
                    " and Bit" + integerText(n) + ")");
                break;
            }
    }
    const std::string field = (width == 1 ? "bit " : "bits ") + joinedList(bits) + " of register " + reg;
    if (width == 1) {
        if (b.Paso() != 1)
            add(name + ": a one-bit selector needs Paso 1, not " + integerText(b.Paso()) + " (" + field + ")");
        if (b.Cantidad_Items() > 2)
            add(name + ": a one-bit selector has two items, not " + integerText(b.Cantidad_Items()) + " (" + field +
                ")");
        return problems;
    }
    Bits list = b;
    list.Crear_Items();
    const int count = list.ListCount() - b.ListCount();
    const int k = ((1 << width) - 1) / b.Paso() + 1;  // the first position whose code does not fit
    if (k < count)
        add(name + ": item " + integerText(k + 1) + " (\"" + list.List()[b.ListCount() + k] + "\") stands for " +
            integerText(k) + " x Paso " + integerText(b.Paso()) + " = " + integerText(k * b.Paso()) +
            ", more than " + field + " hold");
    return problems;
}

// Plain combos the page's own code does not write: a name it does not know,
// no items at all (its setting could not be set), or more items than it has
// codes for.
std::vector<FormProblem> comboProblems(const PageForm& form, const std::vector<PageBehaviour::ComboBits>& known)
{
    std::vector<FormProblem> problems;
    std::vector<std::string> names;
    for (const auto& c : known)
        names.push_back(c.combo);
    for (const auto& [combo, items] : form.combos) {
        const auto c = std::find_if(known.begin(), known.end(), [&](const auto& k) { return k.combo == combo; });
        if (c == known.end()) {
            problems.push_back({combo, "", "",
                                combo + ": the page's code writes no register for a combo of this name, so a choice "
                                        "in it would be stored nowhere" +
                                    (names.empty() ? "" : " (it writes " + joinedList(names) + ")")});
            continue;
        }
        if (items.empty()) {
            problems.push_back({combo, "", c->direccion, combo + " has no items"});
            continue;
        }
        if (static_cast<int>(items.size()) <= c->items)
            continue;
        std::vector<std::string> bits;
        for (int bit : c->bits)
            bits.push_back(integerText(bit));
        problems.push_back({combo, "", c->direccion,
                            combo + ": " + integerText(items.size()) + " items, but the page's code has codes for " +
                                integerText(c->items) + " only (bits " + joinedList(bits) + " of register " +
                                c->direccion + ")"});
    }
    return problems;
}

// What the page would leave blank when it shows the values read, so that a
// choice made there writes over a setting the engineer never saw.
std::vector<FormProblem> displayProblems(const PageForm& form)
{
    std::vector<FormProblem> problems;
    std::set<std::string> arrays;
    for (const auto& [name, kind] : form.controls)
        if (kind != "ComboBox")
            arrays.insert(splitInstance(name).first);
    for (const std::string& array : arrays)
        if (!has(form.displayArrays, array)) {
            const auto members = form.arrayMembers(array);
            problems.push_back({array, "", "",
                                array + ": not in the display order (protocol.display.arrays), so " + members.front() +
                                    (members.size() > 1 ? " to " + members.back() : "") +
                                    " would show nothing read from the relay"});
        }
    for (const auto& [combo, items] : form.combos)
        if (!has(form.displayFirst, combo))
            problems.push_back({combo, "", "",
                                combo + ": not in the display order (protocol.display.first), so it would show "
                                        "nothing read from the relay"});
    for (const auto& [array, box] : form.boxes)
        for (std::size_t g = 0; g < box.groups.size(); ++g)
            if (std::none_of(form.displayBoxes.begin(), form.displayBoxes.end(), [&](const PageForm::BoxStep& s) {
                    return s.array == array && s.group == static_cast<int>(g);
                }))
                problems.push_back({array, "", box.groups[g],
                                    array + ": relay group " + integerText(g) + " (register " + box.groups[g] +
                                        ") is not in the display order (protocol.display.boxes), so its boxes "
                                        "would show no bit read from the relay"});
    return problems;
}

// The selector arrays the page fills when it opens: each once (a second
// listing appends every item again, and an item past the first listing
// writes a code no item of the first stands for), and every one (a selector
// left out lists nothing and cannot be set).
std::vector<FormProblem> selectorArrayProblems(const PageForm& form)
{
    std::vector<FormProblem> problems;
    const std::string key = "protocol.selectorArrays";
    std::set<std::string> named;
    for (const std::string& array : form.selectorArrays)
        if (!named.insert(array).second)
            problems.push_back({key, "", "",
                                key + ": " + array + " is named twice, so each of its selectors would list its "
                                                     "items twice and write, for the second listing, codes no item "
                                                     "stands for"});
    std::set<std::string> selectorArrays;
    for (const auto& [name, kind] : form.controls)
        if (kind == "Bits")
            selectorArrays.insert(splitInstance(name).first);
    for (const std::string& array : selectorArrays)
        if (!named.count(array)) {
            const auto members = form.arrayMembers(array);
            problems.push_back({key, "", "",
                                key + ": " + array + " is not named, so " + members.front() +
                                    (members.size() > 1 ? " to " + members.back() : "") +
                                    " would list no items and could not be set"});
        }
    return problems;
}

// Block writes of a block the page does not read when it opens: STORE would
// send the image of an earlier read over changes made at the relay since.
std::vector<FormProblem> writeProblems(const PageForm& form)
{
    std::vector<FormProblem> problems;
    for (int code : form.writeCodes) {
        const int block = Bloque_De_Escritura(code);
        if (block == 0 || has(form.readCodes, 60 + block))
            continue;
        const RegisterBlock& r = Bloques_Setpoints[static_cast<std::size_t>(block - 1)];
        problems.push_back({"protocol.write", "", hex4word(r.first),
                            "protocol.write: " + integerText(code) + " writes block " + integerText(block) +
                                " (registers " + hex4word(r.first) + " to " + hex4word(r.last) +
                                "), which the page does not read when it opens"});
    }
    return problems;
}

class Checker {
public:
    explicit Checker(const PageForm& form) : form_(form) {}

    // Takes bits of registers for `who`.
    void take(const std::string& who, const std::vector<std::pair<std::uint32_t, int>>& bits)
    {
        std::set<std::uint32_t> registers;
        std::set<std::string> sharedWith;
        for (const auto& [reg, bit] : bits) {
            registers.insert(reg);
            const auto [it, fresh] = owner_.emplace(std::make_pair(reg, bit), who);
            if (!fresh && it->second != who && sharedWith.insert(it->second).second)
                add(who, it->second, hex4word(reg),
                    who + " and " + it->second + " share bit " + integerText(bit) + " of register " +
                        hex4word(reg));
        }
        for (std::uint32_t reg : registers)
            checkBlock(who, hex4word(reg));
    }

    void badAddress(const std::string& who, const std::string& direccion)
    {
        add(who, "", direccion, who + ": \"" + direccion + "\" is not a register address");
    }

    std::vector<FormProblem> problems;

private:
    void checkBlock(const std::string& who, const std::string& reg)
    {
        const int block = blockOf(*parseHex(reg));
        if (block == 0) {
            add(who, "", reg, who + ": register " + reg + " lies in no setpoint block");
            return;
        }
        std::vector<std::string> missing;
        if (!has(form_.readCodes, 60 + block))
            missing.push_back("read");
        if (!has(form_.writeCodes, Codigo_De_Escritura(block)))
            missing.push_back("write");
        if (!has(form_.restoreBlocks, block))
            missing.push_back("restore");
        if (missing.empty())
            return;
        add(who, "", reg,
            who + ": register " + reg + " lies in block " + integerText(block) + ", which the page does not " +
                joinedList(missing, "or"));
    }

    void add(const std::string& who, const std::string& other, const std::string& reg, std::string text)
    {
        problems.push_back({who, other, reg, std::move(text)});
    }

    const PageForm& form_;
    std::map<std::pair<std::uint32_t, int>, std::string> owner_;
};

} // namespace

std::vector<FormProblem> formProblems(const PageForm& form)
{
    if (form.isValuePage())
        return {};
    Checker check(form);
    std::set<std::uint32_t> bound;
    // Plain combos are not visited: their bits come from the page's behaviour.
    forEachFormControl(form, [&](const FormControl& c) {
        if (c.selector)
            std::ranges::copy(selectorProblems(c.name, *c.selector), std::back_inserter(check.problems));
        if (!c.reg) {
            check.badAddress(c.name, c.direccion);
            return;
        }
        std::vector<RegisterBit> bits;
        if (c.selector) {
            for (int bit : selectorBits(*c.selector))
                bits.emplace_back(*c.reg, bit);
        } else {
            bits = editorBits(*c.reg, c.editor->DataLen(), c.editor->High());
        }
        check.take(c.name, bits);
        bound.insert(*c.reg);
    });
    const auto combos = behaviourFor(form.form)->comboBits();
    for (const auto& c : combos) {
        const auto reg = parseHex(c.direccion);
        std::vector<std::pair<std::uint32_t, int>> bits;
        for (int bit : c.bits)
            bits.emplace_back(*reg, bit);
        check.take(c.combo, bits);
    }
    // Each relay group owns its four bits, also apart from the array's other
    // groups: it is named by its first box.
    for (const auto& [array, spec] : form.boxes)
        for (std::size_t g = 0; g < spec.groups.size(); ++g) {
            const std::string& group = spec.groups[g];
            const auto reg = parseHex(group);
            if (!reg) {
                check.badAddress(array, group);
                continue;
            }
            check.take(PageForm::boxName(array, 4 * static_cast<int>(g)), {{*reg, 0}, {*reg, 1}, {*reg, 2}, {*reg, 3}});
            if (!bound.count(*reg + 1))
                check.problems.push_back(
                    {array, "", group,
                     array + ": nothing on the page is bound to register " + hex4word(*reg + 1) +
                         ", just after the relay group register " + group});
        }
    for (const auto& more :
         {comboProblems(form, combos), displayProblems(form), selectorArrayProblems(form), writeProblems(form)})
        check.problems.insert(check.problems.end(), more.begin(), more.end());
    // What the rules cannot see, running the page shows: it runs on a form
    // the rules pass.
    if (check.problems.empty())
        return runningProblemsOnce(form);
    return check.problems;
}

} // namespace kova
