#include "pages/FormProof.h"

#include "editors/Calculadora.h"
#include "editors/KeypadBlock.h"
#include "editors/Word_DosR.h"
#include "editors/Word_TresR.h"
#include "link/DefaultSetpoints.h"
#include "pages/FormControls.h"
#include "pages/OfflinePageHost.h"
#include "pages/SetpointPage.h"
#include "text/HexText.h"
#include "text/ListText.h"
#include "text/NumberText.h"

#include <algorithm>
#include <limits>
#include <map>
#include <random>

namespace kova {

namespace {

struct ProofImage {
    std::string name;  // as a problem names it
    SetpointImage bytes{};
};

const std::vector<ProofImage>& proofImages()
{
    static const std::vector<ProofImage> images = [] {
        std::vector<ProofImage> out(5);
        out[0].name = "the default setpoints";
        for (const RegisterBlock& b : Bloques_Setpoints)
            for (std::uint32_t r = b.first; r <= b.last; ++r) {
                std::uint16_t v = 0;
                relaysim::defaultSetpoint(static_cast<std::uint16_t>(r), v);
                const auto i = *setpointIndex(r);
                out[0].bytes[i] = static_cast<std::uint8_t>(v >> 8);
                out[0].bytes[i + 1u] = static_cast<std::uint8_t>(v & 0xFF);
            }
        out[1].name = "all bits clear";
        out[2].name = "all bits set";
        out[2].bytes.fill(0xFF);
        for (unsigned seed = 1; seed <= 2; ++seed) {
            ProofImage& im = out[2 + seed];
            im.name = "a random image (seed " + integerText(seed) + ")";
            std::mt19937 random(seed);
            for (std::uint8_t& byte : im.bytes)
                byte = static_cast<std::uint8_t>(random() & 0xFF);
        }
        return out;
    }();
    return images;
}

int bitIn(const SetpointImage& image, RegisterBit b)
{
    const auto i = setpointIndex(b.first);
    if (!i)
        return 0;
    const int word = image[*i] << 8 | image[*i + 1u];
    return word >> b.second & 1;
}

// "bit 0 of register 012B", "bits 2 and 3 of register 0101", "register 0102"
// (all of it), register after register.
std::string bitsText(const std::vector<RegisterBit>& bits)
{
    std::map<std::uint32_t, std::vector<int>> byRegister;
    for (const auto& [reg, bit] : bits)
        byRegister[reg].push_back(bit);
    std::vector<std::string> parts;
    for (auto& [reg, list] : byRegister) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
        if (list.size() == 16)
            parts.push_back("register " + hex4word(reg));
        else
            parts.push_back((list.size() == 1 ? "bit " : "bits ") + numberList(list, 3) + " of register " +
                            hex4word(reg));
    }
    return joinedList(parts);
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return a % b != 0 && (a < 0) != (b < 0) ? q - 1 : q;
}

// The change points of an editor's steps, as its settings give them.
std::vector<Decimal4> changePoints(const ValueEditorModel& e)
{
    if (const auto* d = dynamic_cast<const Word_DosR*>(&e)) {
        if (const auto c = d->Cambio_de_paso().asDecimal())
            return {*c};
    } else if (const auto* t = dynamic_cast<const Word_TresR*>(&e)) {
        return {t->Cambio_A(), t->Cambio_B()};
    }
    return {};
}

// The raw value v x the editor's scale in every decimal of the scale:
// "599.50".
std::string exactNumber(const ValueEditorModel& e, std::int64_t v)
{
    const std::string t = e.exactTextFor(static_cast<std::int32_t>(v));
    return t.substr(0, t.size() - std::min(t.size(), e.Medida().size() + 1));
}

// The same with the unit: "10.05 Sec" ("0.05" without one).
std::string valueText(const ValueEditorModel& e, std::int64_t v)
{
    return exactNumber(e, v) + (e.Medida().empty() ? "" : " " + e.Medida());
}

// A raw step as the amount it adds to the number shown: "1", "0.1".
std::string stepText(const ValueEditorModel& e, std::int64_t step)
{
    const std::string t = exactNumber(e, step);
    const auto d = Decimal4::parse(t);
    return d ? d->toText() : t;
}

// Values an arrow walk reached: count values from first on, step apart.
struct Run {
    std::int64_t first = 0;
    std::int64_t step = 0;
    std::int64_t count = 0;
};

// An editor's limits, its keypad block and its change points, with the
// values from which on a rule of its steps, texts or keypad may change
// (each change point rounded either way, and the value after).
struct EditorRange {
    std::int64_t lo = 0, hi = 0;
    KeypadBlock keypad;
    std::vector<Decimal4> points;
    std::vector<std::int64_t> breaks;  // ascending

    // The first break above v; past every value when none.
    std::int64_t nextBreak(std::int64_t v) const
    {
        const auto it = std::ranges::upper_bound(breaks, v);
        return it == breaks.end() ? std::numeric_limits<std::int64_t>::max() : *it;
    }
    // The last break at or below v; below every value when none.
    std::int64_t breakAtOrBelow(std::int64_t v) const
    {
        const auto it = std::ranges::upper_bound(breaks, v);
        return it == breaks.begin() ? std::numeric_limits<std::int64_t>::min() : *std::prev(it);
    }
    // No rule changes between a and b.
    bool sameRange(std::int64_t a, std::int64_t b) const
    {
        return breakAtOrBelow(std::min(a, b)) == breakAtOrBelow(std::max(a, b));
    }
};

enum class Kind { Editor, Selector, Combo, Box };

// A control of the page, as the proof sets it and reads it.
struct Probe {
    std::string name;
    Kind kind = Kind::Editor;
    std::vector<RegisterBit> bits;  // the bits it owns
    ValueEditorModel* editor = nullptr;
    Bits* selector = nullptr;
    bool failed = false;
};

class Proof {
public:
    explicit Proof(const PageForm& form) : page_(form, host_)
    {
        for (const auto& [name, kind] : form.controls) {
            Probe p;
            p.name = name;
            if ((p.editor = page_.editor(name))) {
                if (const auto reg = parseHex(p.editor->Direccion()); reg && !p.editor->Direccion().empty())
                    p.bits = editorBits(*reg, p.editor->DataLen(), p.editor->High());
                p.editor->keypadRunner = [this] { runKeypad(); };
            } else if ((p.selector = page_.selector(name))) {
                p.kind = Kind::Selector;
                if (const auto reg = parseHex(p.selector->Direccion()); reg && !p.selector->Direccion().empty())
                    for (int bit : selectorBits(*p.selector))
                        p.bits.emplace_back(*reg, bit);
            } else if (kind == "ComboBox") {
                p.kind = Kind::Combo;
                for (const auto& c : behaviourFor(form.form)->comboBits())
                    if (c.combo == name)
                        for (int bit : c.bits)
                            p.bits.emplace_back(*parseHex(c.direccion), bit);
            } else {
                continue;
            }
            probes_.push_back(std::move(p));
        }
        for (const auto& [array, spec] : form.boxes)
            for (std::size_t g = 0; g < spec.groups.size(); ++g)
                for (int b = 0; b < 4; ++b) {
                    Probe p;
                    p.name = PageForm::boxName(array, 4 * static_cast<int>(g) + b);
                    p.kind = Kind::Box;
                    if (const auto reg = parseHex(spec.groups[g]))
                        p.bits.emplace_back(*reg, b);
                    probes_.push_back(std::move(p));
                }
        for (const Probe& p : probes_)
            for (const RegisterBit& b : p.bits)
                owners_.emplace(b, p.name);
    }

    std::vector<FormProblem> run()
    {
        // The proof enters values through the keypad's block: the program's
        // own block is left as it was.
        const KeptKeypadBlock keypad;
        page_.Form_Load();
        for (std::size_t i = 0; i < proofImages().size(); ++i) {
            const ProofImage& image = proofImages()[i];
            // One page reads every image: what it shows follows from the Get
            // image alone, as on a page opened on it.
            host_.im.get = host_.im.put = image.bytes;
            page_.Actualiza_Valores_de_Pantalla();
            const bool asRead = storedAsRead(image);
            if (i == 0)
                for (Probe& p : probes_)
                    if (p.editor && !p.failed)
                        showsWhatItWrites(p);
            resync();
            if (!asRead)
                continue;
            for (Probe& p : probes_)
                for (int v = 0; !p.failed && v < values(p); ++v)
                    tryValue(p, v);
        }
        std::stable_sort(problems_.begin(), problems_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<FormProblem> out;
        for (auto& [order, problem] : problems_)
            out.push_back(std::move(problem));
        return out;
    }

private:
    // STORE with nothing edited writes back the image read.
    bool storedAsRead(const ProofImage& image)
    {
        page_.Command1_Click();
        if (host_.im.get == image.bytes)
            return true;
        for (const RegisterBlock& b : Bloques_Setpoints)
            for (std::uint32_t reg = b.first; reg <= b.last; ++reg)
                for (int bit = 0; bit < 16; ++bit) {
                    const int was = bitIn(image.bytes, {reg, bit}), now = bitIn(host_.im.get, {reg, bit});
                    if (was == now)
                        continue;
                    Probe* p = nullptr;
                    if (const auto owner = owners_.find({reg, bit}); owner != owners_.end())
                        for (Probe& q : probes_)
                            if (q.name == owner->second)
                                p = &q;
                    const std::string text = "opened on " + image.name + " and stored with nothing edited, the page " +
                                             "writes bit " + integerText(bit) + " of register " + hex4word(reg) +
                                             " = " + integerText(now) + " where it read " + integerText(was) +
                                             (p ? ", which is " + p->name + "'s" : "");
                    if (p && p->failed)
                        return false;
                    add(p, p ? p->name : "STORE", hex4word(reg), text);
                    return false;
                }
        return true;
    }

    // How many values the proof sets a control to.
    int values(const Probe& p) const
    {
        switch (p.kind) {
        case Kind::Box:
            return 2;
        case Kind::Combo:
            return static_cast<int>(page_.comboItems(p.name).size());
        case Kind::Selector:
            return p.selector->Enabled() && p.selector->configProblem().empty() && p.selector->indice()
                       ? p.selector->ListCount()
                       : 0;
        case Kind::Editor:
            if (!usable(*p.editor))
                return 0;
            return p.editor->lowLimit() < p.editor->highLimit() ? 3 : 1;
        }
        return 0;
    }

    static bool usable(const ValueEditorModel& e)
    {
        return e.configProblem(true).empty() && e.configProblem(false).empty() && e.indice();
    }

    // What the page shows for a control: an editor's raw value, the item of
    // a selector or combo (-1 none), a box ticked (1) or not.
    std::int64_t state(const Probe& p) const
    {
        switch (p.kind) {
        case Kind::Editor:
            return p.editor->Value();
        case Kind::Box:
            return page_.checked(p.name) ? 1 : 0;
        default:
            return page_.ListIndex(p.name);
        }
    }

    std::vector<std::int64_t> shownNow() const
    {
        std::vector<std::int64_t> s;
        s.reserve(probes_.size());
        for (const Probe& p : probes_)
            s.push_back(state(p));
        return s;
    }

    std::string shown(const Probe& p, std::int64_t s) const
    {
        switch (p.kind) {
        case Kind::Editor:
            return "'" + p.editor->textFor(static_cast<std::int32_t>(s)) + "'";
        case Kind::Box:
            return s ? "ticked" : "cleared";
        default:
            return s < 0 ? "no item" : "item " + integerText(s + 1);
        }
    }

    void enter(ValueEditorModel& e, std::int32_t v)
    {
        target_ = v;
        e.keypad();
    }

    // Sets control p to its value v the way the user does; returns what the
    // page must show for it afterwards.
    std::int64_t set(Probe& p, int v)
    {
        switch (p.kind) {
        case Kind::Box: {
            // Each value a change: the box turned over, then back.
            const bool ticked = !page_.checked(p.name);
            page_.clickBox(p.name, ticked);
            return ticked ? 1 : 0;
        }
        case Kind::Combo:
            page_.chooseCombo(p.name, v);
            return v;
        case Kind::Selector:
            p.selector->pick(v);
            return v;
        case Kind::Editor: {
            ValueEditorModel& e = *p.editor;
            enter(e, static_cast<std::int32_t>(v == 1 ? e.highLimit() : e.lowLimit()));
            if (v == 2)
                e.arrowUp();
            return e.Value();
        }
        }
        return 0;
    }

    std::string action(const Probe& p, std::int64_t s) const
    {
        switch (p.kind) {
        case Kind::Box:
            return (s ? "ticking " : "clearing ") + p.name;
        case Kind::Editor:
            return "setting " + p.name + " to " + shown(p, s);
        default:
            return "choosing " + shown(p, s) + " of " + p.name;
        }
    }

    // What a control's bits hold in the image: "bit 10 = 1", "bits 2 and 3
    // = 2" (the field value), "bit 0 of register 012B = 1", "register 0102
    // = 1388".
    std::string written(const Probe& p, const SetpointImage& image) const
    {
        if (p.kind == Kind::Editor) {
            std::string hex;
            for (std::size_t r = 0; r < p.bits.size(); r += 16) {
                std::uint32_t word = 0;
                for (int bit = 0; bit < 16; ++bit)
                    word |= static_cast<std::uint32_t>(bitIn(image, {p.bits[r].first, bit})) << bit;
                hex += (hex.empty() ? "" : " ") + hex4word(word);
            }
            return bitsText(p.bits) + " = " + hex;
        }
        int value = 0;
        std::vector<std::string> numbers;
        for (std::size_t n = 0; n < p.bits.size(); ++n) {
            value |= bitIn(image, p.bits[n]) << n;
            numbers.push_back(integerText(p.bits[n].second));
        }
        const std::string where =
            p.kind == Kind::Box ? bitsText(p.bits) : (numbers.size() == 1 ? "bit " : "bits ") + joinedList(numbers);
        return where + " = " + integerText(value);
    }

    void tryValue(Probe& p, int v)
    {
        const SetpointImage before = host_.im.get;
        const std::vector<std::int64_t> was = std::move(shown_);
        const std::int64_t expected = set(p, v);
        const std::string did = action(p, expected);
        page_.Command1_Click();
        std::vector<RegisterBit> changed, foreign;
        for (const RegisterBlock& b : Bloques_Setpoints)
            for (std::uint32_t reg = b.first; reg <= b.last; ++reg) {
                const auto i = *setpointIndex(reg);
                if (before[i] == host_.im.get[i] && before[i + 1u] == host_.im.get[i + 1u])
                    continue;
                for (int bit = 0; bit < 16; ++bit)
                    if (bitIn(before, {reg, bit}) != bitIn(host_.im.get, {reg, bit})) {
                        changed.emplace_back(reg, bit);
                        if (std::find(p.bits.begin(), p.bits.end(), RegisterBit{reg, bit}) == p.bits.end())
                            foreign.emplace_back(reg, bit);
                    }
            }
        if (!foreign.empty()) {
            std::vector<RegisterBit> first;
            for (const RegisterBit& b : foreign)
                if (b.first == foreign.front().first)
                    first.push_back(b);
            const auto owner = owners_.find(first.front());
            const std::string whose =
                owner == owners_.end() ? std::string("no control of the page shows") : "is " + owner->second + "'s";
            add(&p, p.name, hex4word(first.front().first), did + " also writes " + bitsText(first) + ", which " + whose);
            resync();
            return;
        }
        // A page opened on the stored image.
        page_.Actualiza_Valores_de_Pantalla();
        shown_ = shownNow();
        const std::vector<std::int64_t>& now = shown_;
        for (std::size_t o = 0; o < probes_.size(); ++o) {
            const Probe& q = probes_[o];
            if (&q == &p) {
                if (now[o] != expected) {
                    const std::string what = p.kind == Kind::Box ? std::string(expected ? "ticking it" : "clearing it")
                                                                 : shown(p, expected);
                    add(&p, p.name, p.bits.empty() ? "" : hex4word(p.bits.front().first),
                        p.name + ": " + what + " writes " + written(p, host_.im.get) + ", which reads back as " +
                            shown(p, now[o]));
                    break;
                }
                continue;
            }
            if (now[o] == was[o])
                continue;
            // The bits of the other control the store changed (an editor's
            // whole registers).
            std::vector<RegisterBit> touched;
            for (const RegisterBit& b : q.bits) {
                const auto sameRegister = [&](const RegisterBit& c) { return c.first == b.first; };
                if (q.kind == Kind::Editor ? std::ranges::any_of(changed, sameRegister)
                                           : std::ranges::find(changed, b) != changed.end())
                    touched.push_back(b);
            }
            std::string effect;
            if (q.kind == Kind::Box)
                effect = (now[o] ? "ticks " : "clears ") + q.name;
            else
                effect = "changes " + q.name + " from " + shown(q, was[o]) + " to " + shown(q, now[o]);
            add(&p, p.name, q.bits.empty() ? "" : hex4word(q.bits.front().first),
                did + " also " + effect + " (" + bitsText(touched.empty() ? q.bits : touched) + ")");
            break;
        }
        if (p.failed)
            resync();
    }

    // How the keypad takes an entry while the proof runs: the value to enter
    // put in its block, the text to type typed on its keys, or its block
    // looked at and the keypad cancelled.
    void runKeypad()
    {
        KeypadBlock& b = keypadBlock();
        Calculadora keypad(b);
        switch (keypadUse_) {
        case KeypadUse::Enter:
            b.Calc_Valor_Nuevo = target_;
            b.Calc_Dato_Hex = Calculadora::Valor_a_Hex(target_);
            return;
        case KeypadUse::Peek:
            peeked_ = b;
            keypad.Cancel_Click();
            return;
        case KeypadUse::Type:
            for (char c : typed_)
                c == '.' ? keypad.Command2_Click() : keypad.Numeros_Click(c - '0');
            typedResult_ = keypad.OK_Click();
            if (typedResult_ != Calculadora::OkResult::Accepted)
                keypad.Cancel_Click();
            return;
        }
    }

    // An editor shows exactly the value it writes: at every value its arrows
    // reach from Min up to Max and from Max down to Min, the text it shows
    // (and the one an arrow step leaves) reads back under its own pattern as
    // the value written, and typing that text on the keypad enters that very
    // value; the keypad takes no value the arrows do not reach, so Min, Max
    // and each change point between two different steps lie on the grid of
    // the steps.
    // Arithmetic per range: in a run of equal steps within one range, texts
    // and keypad entries are linear in the value, so the run's first two
    // steps and its last value are stepped and typed for real and the values
    // between follow from them.
    void showsWhatItWrites(Probe& p)
    {
        ValueEditorModel& e = *p.editor;
        if (!usable(e) || p.bits.empty())
            return;
        EditorRange r;
        r.lo = e.lowLimit();
        r.hi = e.highLimit();
        keypadUse_ = KeypadUse::Peek;
        peeked_.Calc_Tipo = 0;
        e.keypad();
        keypadUse_ = KeypadUse::Enter;
        const auto scale = Decimal4::parse(exactNumber(e, 1));
        if (peeked_.Calc_Tipo == 0 || !scale)
            return;  // the settings check names such settings
        r.keypad = peeked_;
        scale_ = *scale;
        r.points = changePoints(e);
        // The arrows' and the texts' rules change at a change point or the
        // value after it, the keypad's where its block says.
        for (Decimal4 c : r.points) {
            r.breaks.push_back(-floorDiv(-c.count(), Decimal4::kScale));
            r.breaks.push_back(floorDiv(c.count(), Decimal4::kScale) + 1);
        }
        if (r.keypad.Calc_Tipo >= 2)
            r.breaks.push_back(r.keypad.Calc_Cambio_A);
        if (r.keypad.Calc_Tipo == 3)
            r.breaks.push_back(std::int64_t{r.keypad.Calc_Cambio_B} + 1);
        std::ranges::sort(r.breaks);
        if (!onGrid(p, r))
            return;
        std::vector<Run> up, down;
        if (!walk(p, r, true, up) || !walk(p, r, false, down))
            return;
        const std::int64_t taken = keypadCount(r);
        for (const auto& [runs, how] : {std::pair{&up, "up"}, std::pair{&down, "down"}}) {
            std::int64_t reached = 0;
            for (const Run& run : *runs)
                reached += run.count;
            if (reached == taken)
                continue;
            const auto missed = firstMissed(r, *runs);
            fail(p, missed ? "the keypad takes " + valueText(e, *missed) + ", which the arrows stepping " + how +
                                 " do not reach"
                           : "the arrows stepping " + std::string(how) + " reach " + integerText(reached) +
                                 " values, the keypad takes " + integerText(taken));
            return;
        }
    }

    // Min, Max and each change point between them on the grid of the
    // keypad's steps of the ranges they bound.
    bool onGrid(Probe& p, const EditorRange& r)
    {
        const ValueEditorModel& e = *p.editor;
        // The step of the range `at` lies in when v is not a multiple of it.
        const auto off = [&](std::int64_t v, std::int64_t at) -> std::int64_t {
            const std::int64_t s = Calculadora::stepAt(r.keypad, at);
            return s <= 0 || v % s != 0 ? s : 0;
        };
        const auto grid = [&](std::int64_t s) { return "grid of steps of " + stepText(e, s); };
        if (const auto s = off(r.lo, r.lo))
            return fail(p, "Min " + exactNumber(e, r.lo) + " is not on its range's " + grid(s));
        // A change point between two ranges of one step is no value of its own.
        for (Decimal4 c : r.points) {
            if (c <= Decimal4::fromCount(r.lo * Decimal4::kScale) || c > Decimal4::fromCount(r.hi * Decimal4::kScale))
                continue;
            const bool whole = c.count() % Decimal4::kScale == 0;
            const std::int64_t v = floorDiv(c.count(), Decimal4::kScale);  // c, or the whole value below it
            const std::int64_t below = Calculadora::stepAt(r.keypad, whole ? v - 1 : v);
            const auto stepAbove = [&](std::int64_t at) {
                return at <= r.hi ? Calculadora::stepAt(r.keypad, at) : below;
            };
            if (stepAbove(v) == below && stepAbove(v + 1) == below)
                continue;
            const auto shown = scale_.mul(c);
            const std::string point = "change point " + (shown ? shown->toText() : c.toText()) + " is not on the ";
            if (!whole || v % below != 0)
                return fail(p, point + grid(below) + " of the range below it");
            for (std::int64_t at : {v, v + 1})
                if (at <= r.hi)
                    if (const auto s = off(v, at))
                        return fail(p, point + grid(s) + " of the range above it");
        }
        if (const auto s = off(r.hi, r.hi))
            return fail(p, "Max " + exactNumber(e, r.hi) + " is not on its range's " + grid(s));
        return true;
    }

    // Walks from one limit to the other with the editor's own arrows, each
    // value reached shown as written; the values reached go to runs, in
    // ascending order.
    bool walk(Probe& p, const EditorRange& r, bool up, std::vector<Run>& runs)
    {
        ValueEditorModel& e = *p.editor;
        const std::int64_t end = up ? r.hi : r.lo;
        std::int64_t x = up ? r.lo : r.hi;
        if (!showsAsWritten(p, r, x, nullptr, up))
            return false;
        runs.push_back({x, 0, 1});
        std::optional<std::int64_t> before;  // the value the step to x was taken from
        while (x != end) {
            const auto [y, text] = arrowFrom(e, x, up);
            if (up ? y <= x : y >= x)
                return fail(p, "an arrow step " + std::string(up ? "up" : "down") + " from " + valueText(e, x) +
                                   " leaves it at " + valueText(e, y));
            if (!showsAsWritten(p, r, y, &text, up))
                return false;
            runs.push_back({y, 0, 1});
            const std::int64_t s = y - x;
            // Two equal steps within one range: on to the range's last value
            // of that grid, stepped to for real.
            if (before && x - *before == s && y != end && r.sameRange(*before, y)) {
                const std::int64_t limit =
                    up ? std::min(r.nextBreak(*before) - 1, r.hi) : std::max(r.breakAtOrBelow(*before), r.lo);
                const std::int64_t last = *before + (limit - *before) / s * s;
                if (up ? last > y + s : last < y + s) {
                    const auto [z, stepped] = arrowFrom(e, last - s, up);
                    if (z == last) {
                        if (!showsAsWritten(p, r, last, &stepped, up))
                            return false;
                        runs.push_back({y + s, s, (last - y) / s});
                        before = last - s;
                        x = last;
                        continue;
                    }
                }
            }
            before = x;
            x = y;
        }
        if (!up) {
            std::ranges::reverse(runs);
            for (Run& run : runs) {
                run.first += (run.count - 1) * run.step;
                run.step = -run.step;
            }
        }
        return true;
    }

    std::pair<std::int64_t, std::string> arrowFrom(ValueEditorModel& e, std::int64_t v, bool up)
    {
        e.setValue(static_cast<std::int32_t>(v));
        up ? e.arrowUp() : e.arrowDown();
        return {e.Value(), e.Text()};
    }

    // The value v reads back from the text the editor shows for it (and from
    // the one the arrow step that reached it left), and typing that text on
    // the keypad enters v.
    bool showsAsWritten(Probe& p, const EditorRange& r, std::int64_t v, const std::string* stepped, bool up)
    {
        ValueEditorModel& e = *p.editor;
        const std::string text = e.textFor(static_cast<std::int32_t>(v));
        if (!readsBack(text, v))
            return fail(p, valueText(e, v) + " shows '" + text + "'");
        if (stepped && !readsBack(*stepped, v))
            return fail(p, valueText(e, v) + " shows '" + *stepped + "' after a step " + (up ? "up" : "down"));
        const std::int64_t s = Calculadora::stepAt(r.keypad, v);
        if (s <= 0 || v % s != 0)
            return fail(p, valueText(e, v) + ", which the arrows reach, is not on its range's grid of steps of " +
                               stepText(e, s));
        const std::string typed = text.substr(0, text.find(' '));
        if (typed.find_first_not_of("0123456789.") != std::string::npos ||
            typed.find_first_of("0123456789") == std::string::npos)
            return fail(p, "'" + typed + "', shown for " + valueText(e, v) + ", cannot be typed on the keypad");
        keypadUse_ = KeypadUse::Type;
        typed_ = typed;
        typedResult_ = Calculadora::OkResult::Ignored;
        e.keypad();
        keypadUse_ = KeypadUse::Enter;
        using R = Calculadora::OkResult;
        if (typedResult_ == R::Accepted && e.Value() == v)
            return true;
        if (typedResult_ == R::Accepted)
            return fail(p, "typed on the keypad, '" + typed + "' gives " + valueText(e, e.Value()) + ", not " +
                               valueText(e, v));
        return fail(p, "typed on the keypad, '" + typed + "' (shown for " + valueText(e, v) + ") is refused" +
                           (typedResult_ == R::OutOfRange       ? ": Out of Range"
                            : typedResult_ == R::IncorrectRange ? ": Incorrect Range"
                                                                : ""));
    }

    // The text shows a number that is exactly the raw value v x the scale.
    bool readsBack(const std::string& text, std::int64_t v) const
    {
        const auto shown = Decimal4::parse(text.substr(0, text.find(' ')));
        const auto exact = scale_.mulInt32(static_cast<std::int32_t>(v));
        return shown && exact && *shown == *exact;
    }

    // How many values the keypad takes between the limits: the multiples of
    // each range's step.
    static std::int64_t keypadCount(const EditorRange& r)
    {
        std::int64_t n = 0;
        for (std::int64_t from = r.lo; from <= r.hi;) {
            const std::int64_t to = std::min(r.nextBreak(from) - 1, r.hi);
            if (const std::int64_t k = Calculadora::stepAt(r.keypad, from); k > 0)
                n += std::max<std::int64_t>(0, floorDiv(to, k) + floorDiv(-from, k) + 1);
            from = to + 1;
        }
        return n;
    }

    // The lowest value the keypad takes that the runs do not hold.
    static std::optional<std::int64_t> firstMissed(const EditorRange& r, const std::vector<Run>& runs)
    {
        for (std::int64_t from = r.lo; from <= r.hi;) {
            const std::int64_t to = std::min(r.nextBreak(from) - 1, r.hi);
            const std::int64_t k = Calculadora::stepAt(r.keypad, from);
            for (std::int64_t m = -floorDiv(-from, k) * k; k > 0 && m <= to;) {
                const auto after = std::ranges::upper_bound(runs, m, {}, &Run::first);
                if (after == runs.begin())
                    return m;
                const Run& run = *std::prev(after);
                const std::int64_t last = run.first + (run.count - 1) * run.step;
                if (m > last || (m != run.first && (m - run.first) % run.step != 0))
                    return m;
                m = run.step == k ? last + k : m + k;
            }
            from = to + 1;
        }
        return std::nullopt;
    }

    bool fail(Probe& p, const std::string& why)
    {
        add(&p, p.name, hex4word(p.bits.front().first), p.name + ": " + why);
        return false;
    }

    // The page shows the stored image again, and the Put image is that image.
    void resync()
    {
        host_.im.put = host_.im.get;
        page_.Actualiza_Valores_de_Pantalla();
        host_.im.put = host_.im.get;
        shown_ = shownNow();
    }

    void add(Probe* p, const std::string& control, const std::string& reg, std::string text)
    {
        std::size_t order = probes_.size();
        if (p) {
            p->failed = true;
            order = static_cast<std::size_t>(p - probes_.data());
        }
        problems_.emplace_back(order, FormProblem{control, "", reg, std::move(text)});
    }

    OfflinePageHost host_;
    SetpointPage page_;
    std::vector<Probe> probes_;
    std::map<RegisterBit, std::string> owners_;
    std::int32_t target_ = 0;
    enum class KeypadUse { Enter, Type, Peek } keypadUse_ = KeypadUse::Enter;
    std::string typed_;
    Calculadora::OkResult typedResult_ = Calculadora::OkResult::Ignored;
    KeypadBlock peeked_;
    Decimal4 scale_{};  // the scale of the editor being walked
    std::vector<std::int64_t> shown_;  // what the page shows of each control, as last read
    std::vector<std::pair<std::size_t, FormProblem>> problems_;
};

// What the proof depends on in a form, as one text.
std::string contentKey(const PageForm& f)
{
    std::string key = f.form;
    auto add = [&](const std::string& s) {
        key += '\x1f';
        key += s;
    };
    add(f.settings.toJson());
    for (const auto& [name, kind] : f.controls)
        add(name + "=" + kind);
    for (const auto& [array, spec] : f.boxes) {
        add("boxes " + array);
        for (const std::string& g : spec.groups)
            add(g);
    }
    for (const auto& [combo, items] : f.combos) {
        add("combo " + combo);
        for (const std::string& i : items)
            add(i);
    }
    for (const auto& [title, list] : {std::pair{"selectors", &f.selectorArrays}, std::pair{"first", &f.displayFirst},
                                      std::pair{"arrays", &f.displayArrays}}) {
        add(title);
        for (const std::string& s : *list)
            add(s);
    }
    add("boxes shown");
    for (const PageForm::BoxStep& s : f.displayBoxes)
        add(s.array + " " + integerText(s.group));
    return key;
}

} // namespace

std::vector<FormProblem> runningProblems(const PageForm& form)
{
    return Proof(form).run();
}

std::vector<FormProblem> runningProblemsOnce(const PageForm& form)
{
    // Used from the user-interface thread only, as every page is.
    static std::map<std::string, std::vector<FormProblem>> proven;
    const std::string key = contentKey(form);
    if (const auto it = proven.find(key); it != proven.end())
        return it->second;
    std::vector<FormProblem> problems = runningProblems(form);
    // Edits in the settings designer make a new content at each Apply.
    if (proven.size() >= 64)
        proven.clear();
    proven.emplace(key, problems);
    return problems;
}

} // namespace kova
