#include "pages/FormCheck.h"

#include "pages/FormControls.h"
#include "pages/PageBehaviour.h"
#include "link/RegisterImages.h"
#include "text/HexText.h"

#include <algorithm>
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

bool has(const std::vector<int>& v, int x) { return std::find(v.begin(), v.end(), x) != v.end(); }

// The bits of a register a setting of DataLen/High takes: a byte is the high
// (High 1) or low half of its register; DataLen 2 takes two whole registers.
std::vector<std::pair<std::uint32_t, int>> wordBits(std::uint32_t reg, int dataLen, int high)
{
    std::vector<std::pair<std::uint32_t, int>> bits;
    const int registers = dataLen == 2 ? 2 : 1;
    for (int r = 0; r < registers; ++r)
        for (int bit = 0; bit < 16; ++bit)
            if (dataLen != 0 || (high == 1 ? bit >= 8 : bit < 8))
                bits.emplace_back(reg + static_cast<std::uint32_t>(r), bit);
    return bits;
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
                    who + " and " + it->second + " share bit " + std::to_string(bit) + " of register " +
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
        std::string what;
        for (std::size_t i = 0; i < missing.size(); ++i)
            what += (i == 0 ? "" : i + 1 == missing.size() ? " or " : ", ") + missing[i];
        add(who, "", reg,
            who + ": register " + reg + " lies in block " + std::to_string(block) + ", which the page does not " +
                what);
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
        const std::string& name = c.name;
        const std::string& kind = c.kind;
        std::string direccion;
        int dataLen = 1, high = 0;
        std::vector<int> selectorBits;
        if (const ValueEditorModel* e = c.editor) {
            direccion = e->Direccion();
            dataLen = e->DataLen();
            high = e->High();
        } else if (kind == "Bits") {
            Bits& b = *c.selector;
            direccion = b.Direccion();
            dataLen = b.DataLen();
            high = b.High();
            for (int n = 1; n <= std::clamp<int>(b.Tipo(), 0, 3) + 1; ++n)
                selectorBits.push_back(dataLen == 0 && high == 1 ? b.Bit(n) + 8 : b.Bit(n));
        }
        const auto reg = c.reg;
        if (!reg) {
            check.badAddress(name, direccion);
            return;
        }
        std::vector<std::pair<std::uint32_t, int>> bits;
        if (kind == "Bits") {
            for (int bit : selectorBits)
                bits.emplace_back(*reg, bit);
        } else {
            bits = wordBits(*reg, dataLen, high);
        }
        check.take(name, bits);
        bound.insert(*reg);
    });
    for (const auto& c : behaviourFor(form.form)->comboBits()) {
        const auto reg = parseHex(c.direccion);
        std::vector<std::pair<std::uint32_t, int>> bits;
        for (int bit : c.bits)
            bits.emplace_back(*reg, bit);
        check.take(c.combo, bits);
    }
    for (const auto& [array, spec] : form.boxes)
        for (const std::string& group : spec.groups) {
            const auto reg = parseHex(group);
            if (!reg) {
                check.badAddress(array, group);
                continue;
            }
            check.take(array, {{*reg, 0}, {*reg, 1}, {*reg, 2}, {*reg, 3}});
            if (!bound.count(*reg + 1))
                check.problems.push_back(
                    {array, "", group,
                     array + ": nothing on the page is bound to register " + hex4word(*reg + 1) +
                         ", just after the relay group register " + group});
        }
    return check.problems;
}

} // namespace kova
