#include "pages/FormProof.h"

#include "editors/Byte_UnR.h"
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

#include <algorithm>
#include <map>
#include <mutex>
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
            im.name = "a random image (seed " + std::to_string(seed) + ")";
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
                p.editor->keypadRunner = [this] {
                    keypadBlock().Calc_Valor_Nuevo = target_;
                    keypadBlock().Calc_Dato_Hex = Calculadora::Valor_a_Hex(target_);
                };
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
        const KeypadBlock keypad = keypadBlock();
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
                        stepShows(p);
            resync();
            if (!asRead)
                continue;
            for (Probe& p : probes_)
                for (int v = 0; !p.failed && v < values(p); ++v)
                    tryValue(p, v);
        }
        keypadBlock() = keypad;
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
                                             "writes bit " + std::to_string(bit) + " of register " + hex4word(reg) +
                                             " = " + std::to_string(now) + " where it read " + std::to_string(was) +
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
            return s < 0 ? "no item" : "item " + std::to_string(s + 1);
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
            numbers.push_back(std::to_string(p.bits[n].second));
        }
        const std::string where =
            p.kind == Kind::Box ? bitsText(p.bits) : (numbers.size() == 1 ? "bit " : "bits ") + joinedList(numbers);
        return where + " = " + std::to_string(value);
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

    // One arrow step up from the default setpoint, the lowest value and each
    // change point changes the text the editor shows.
    void stepShows(Probe& p)
    {
        ValueEditorModel& e = *p.editor;
        if (!usable(e))
            return;
        Decimal4 scale = Decimal4::fromCount(Decimal4::kScale);
        std::vector<std::int64_t> from = {e.Value(), e.lowLimit()};
        if (const auto* b = dynamic_cast<const Byte_UnR*>(&e)) {
            scale = b->Paso();
        } else if (const auto* d = dynamic_cast<const Word_DosR*>(&e)) {
            scale = d->Paso_A();
            if (const auto c = d->Cambio_de_paso().asDecimal())
                if (const auto r = c->roundToInt32HalfEven())
                    from.push_back(*r);
        } else if (const auto* t = dynamic_cast<const Word_TresR*>(&e)) {
            scale = t->Paso_A();
            for (Decimal4 c : {t->Cambio_A(), t->Cambio_B()})
                if (const auto r = c.roundToInt32HalfEven())
                    from.push_back(*r);
        }
        for (std::int64_t v : from) {
            if (v < e.lowLimit() || v >= e.highLimit())
                continue;
            enter(e, static_cast<std::int32_t>(v));
            const std::string before = e.Text();
            e.arrowUp();
            if (e.Value() == v || e.Text() != before)
                continue;
            const auto step = scale.mulInt32(static_cast<std::int32_t>(e.Value() - v));
            const auto at = scale.mulInt32(static_cast<std::int32_t>(v));
            add(&p, p.name, hex4word(p.bits.front().first),
                p.name + ": one step of " + (step ? step->toText() : "?") + " from " + (at ? at->toText() : "?") +
                    " still shows '" + before + "'");
            return;
        }
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
        add(s.array + " " + std::to_string(s.group));
    return key;
}

} // namespace

std::vector<FormProblem> runningProblems(const PageForm& form)
{
    return Proof(form).run();
}

std::vector<FormProblem> runningProblemsOnce(const PageForm& form)
{
    static std::mutex mutex;
    static std::map<std::string, std::vector<FormProblem>> proven;
    const std::string key = contentKey(form);
    {
        const std::lock_guard lock(mutex);
        if (const auto it = proven.find(key); it != proven.end())
            return it->second;
    }
    std::vector<FormProblem> problems = runningProblems(form);
    const std::lock_guard lock(mutex);
    // Edits in the settings designer make a new content at each Apply.
    if (proven.size() >= 64)
        proven.clear();
    proven.emplace(key, problems);
    return problems;
}

} // namespace kova
