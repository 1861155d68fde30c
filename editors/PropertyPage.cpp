#include "editors/PropertyPage.h"

#include "editors/Bits.h"
#include "editors/Byte_UnR.h"
#include "editors/PropConvert.h"
#include "editors/PropertyNumbers.h"
#include "editors/Word_DosR.h"
#include "editors/Word_TresR.h"
#include "link/RegisterImages.h"
#include "text/NumberText.h"

#include <cctype>
#include <cmath>

namespace kova {

namespace {

using Kind = PropertyPageDef::Kind;

bool isList(Kind k) { return k == Kind::DataLen || k == Kind::High || k == Kind::Tipo; }

template <class T>
std::unique_ptr<PropertyHost> copyOf(const PropertyHost& c)
{
    auto* src = dynamic_cast<const T*>(&c);
    if (!src)
        return nullptr;
    auto copy = std::make_unique<T>();
    const auto& table = src->settings();
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i].set(*copy, table[i].get(*src));
    return copy;
}

} // namespace

double leadingNumber(const std::string& text)
{
    std::string s;
    for (char c : text)
        if (c != ' ' && c != '\t')
            s += c;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    const std::size_t digits = i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
        ++i;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
            ++i;
    }
    const std::string number = s.substr(0, i);
    if (i == digits || number == "." || number.substr(digits) == ".")
        return 0.0;
    return parseNumber(number).value_or(0.0);
}

std::string propText(const PropValue& v)
{
    if (auto b = std::get_if<bool>(&v))
        return *b ? "True" : "False";
    if (auto i = std::get_if<std::int64_t>(&v))
        return integerText(*i);
    if (auto r = std::get_if<double>(&v))
        return plainNumber(*r);
    return std::get<std::string>(v);
}

std::unique_ptr<PropertyHost> scratchCopy(const PropertyHost& control)
{
    // Word_UnR before Byte_UnR: it derives from it.
    if (auto c = copyOf<Word_UnR>(control))
        return c;
    if (auto c = copyOf<Byte_UnR>(control))
        return c;
    if (auto c = copyOf<Word_DosR>(control))
        return c;
    if (auto c = copyOf<Word_TresR>(control))
        return c;
    return copyOf<Bits>(control);
}

std::string settingsProblem(const PropertyHost& control)
{
    std::string problem;
    if (auto* e = dynamic_cast<const ValueEditorModel*>(&control))
        problem = e->configProblem(true);
    else if (auto* b = dynamic_cast<const Bits*>(&control))
        problem = b->configProblem();
    if (problem.empty())
        problem = numberRangeProblem(control);
    // The address tells the page which register to write: one outside the
    // setpoint blocks is never applied.
    if (auto d = control.getProperty("Direccion"); problem.empty() && d) {
        const auto address = propToText(*d);
        const bool hex = address && !address->empty() && address->size() <= 4 &&
                         address->find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
        if (!hex)
            problem = "Invalid value for Direccion: \"" + propText(*d) +
                      "\" is not a register address, which is four hexadecimal digits such as \"0101\"";
        else if (!Indice_Setpoint(*address))
            problem = "Invalid value for Direccion: \"" + propText(*d) + "\" is in no setpoint block";
    }
    return problem;
}

std::string settingsDoubt(const PropertyHost& control)
{
    std::string doubt;
    if (auto* b = dynamic_cast<const Bits*>(&control)) {
        // An entry never named holds "" or the stored default "0".
        int filled = 0;
        while (filled < 16 && b->Nombre(filled + 1) != "" && b->Nombre(filled + 1) != "0")
            ++filled;
        if (b->Cantidad_Items() > filled)
            doubt += "Cantidad_Items " + integerText(b->Cantidad_Items()) + " is more than the " +
                     integerText(filled) + " names filled.\n";
    }
    if (!doubt.empty())
        doubt += "Apply anyway?";
    return doubt;
}

PropertyPage::PropertyPage(const PropertyPageDef& def, ScratchMaker scratch) : def_(def), scratch_(std::move(scratch))
{
    for (const auto& f : def_.fields)
        fields_[f.property].visible = !(f.kind == Kind::High && def_.name == "Rele");
}

PropertyPage::State& PropertyPage::state(const std::string& property) { return fields_.at(property); }

const std::string& PropertyPage::text(const std::string& property) const { return fields_.at(property).text; }
int PropertyPage::listIndex(const std::string& property) const { return fields_.at(property).index; }
bool PropertyPage::enabled(const std::string& property) const { return fields_.at(property).enabled; }
bool PropertyPage::visible(const std::string& property) const { return fields_.at(property).visible; }
bool PropertyPage::marked(const std::string& property) const { return fields_.at(property).marked; }

void PropertyPage::notify(const std::string& property)
{
    if (onField)
        onField(property);
}

void PropertyPage::setText(const std::string& property, const std::string& text)
{
    State& s = state(property);
    if (s.text == text)
        return;
    s.text = text;
    s.read.reset();
    if (def_.field(property)->kind == Kind::Items) {
        const double n = std::floor(leadingNumber(text));
        for (int k = 1; k <= 16; ++k) {
            State& name = state("Nombre" + integerText(k));
            const bool open = k <= n;
            if (name.enabled != open) {
                name.enabled = open;
                notify("Nombre" + integerText(k));
            }
        }
    }
    changed_ = true;
    notify(property);
}

void PropertyPage::pick(const std::string& property, int index)
{
    const auto* f = def_.field(property);
    if (!f || !isList(f->kind) || index < 0 || index >= static_cast<int>(def_.items(*f).size()))
        return;
    setIndex(property, index);
    afterPick(property);
}

void PropertyPage::setIndex(const std::string& property, int index)
{
    State& s = state(property);
    s.index = index;
    s.marked = false;
    notify(property);
}

void PropertyPage::afterPick(const std::string& property)
{
    const Kind kind = def_.field(property)->kind;
    const int index = state(property).index;
    if (kind == Kind::DataLen) {
        State& h = state("High");
        h.visible = index == 0;
        notify("High");
    } else if (kind == Kind::Tipo && index >= 0) {
        for (int b = 1; b <= 4; ++b) {
            state("Bit" + integerText(b)).enabled = b <= index + 1;
            notify("Bit" + integerText(b));
        }
    }
    changed_ = true;
}

void PropertyPage::fill(const std::string& property, const PropValue& v)
{
    const auto* f = def_.field(property);
    if (isList(f->kind)) {
        const auto n = propToWhole(v);
        const int count = static_cast<int>(def_.items(*f).size());
        if (n && *n >= 0 && *n < count) {
            setIndex(property, static_cast<int>(*n));
            afterPick(property);
        } else {
            state(property).marked = true;
            notify(property);
        }
        return;
    }
    setText(property, propText(v));
    state(property).read = v;
}

void PropertyPage::selectionChanged(const std::vector<PropertyHost*>& selected)
{
    // No field keeps a value of the control shown before.
    for (auto& [property, s] : fields_) {
        s.text.clear();
        s.read.reset();
        s.index = -1;
        s.marked = false;
        notify(property);
    }
    // A length with no position hides the High row until one is read.
    if (def_.field("DataLen") && def_.field("High") && state("High").visible) {
        state("High").visible = false;
        notify("High");
    }
    if (selected.empty() || !selected.front())
        return;
    const PropertyHost& control = *selected.front();
    for (const std::string& p : def_.readOrder) {
        if (auto v = control.getProperty(p)) {
            fill(p, *v);
        } else if (isList(def_.field(p)->kind)) {
            state(p).marked = true;
            notify(p);
        }
    }
}

PropValue PropertyPage::valueOf(const std::string& property) const
{
    const auto* f = def_.field(property);
    const State& s = fields_.at(property);
    if (isList(f->kind))
        return std::int64_t{s.index};
    if (f->kind == Kind::Items)
        return leadingNumber(s.text);
    if (s.read && propText(*s.read) == s.text)
        return *s.read;
    return s.text;
}

PropertyPage::ApplyResult PropertyPage::applyChanges(const std::vector<PropertyHost*>& selected,
                                                     const Confirm& confirm)
{
    if (selected.size() != 1 || !selected.front())
        return {false, kSelectOne};
    PropertyHost& target = *selected.front();
    for (const std::string& p : def_.writeOrder)
        if (isList(def_.field(p)->kind) && fields_.at(p).index < 0)
            return {false, "Invalid value for " + p};
    for (const std::string& p : def_.writeOrder) {
        if (def_.field(p)->kind != Kind::Text)
            continue;
        if (!numberTextAcceptable(p, fields_.at(p).text))
            return {false, "Invalid value for " + p};
        if (std::string problem = numberTextProblem(p, fields_.at(p).text); !problem.empty())
            return {false, problem};
    }
    std::unique_ptr<PropertyHost> trial = scratch_ ? scratch_(target) : scratchCopy(target);
    if (!trial)
        return {false, "This control's settings cannot be checked"};
    for (const std::string& p : def_.writeOrder)
        if (!trial->setProperty(p, valueOf(p)))
            return {false, "Invalid value for " + p};
    if (std::string problem = settingsProblem(*trial); !problem.empty())
        return {false, problem};
    if (std::string doubt = settingsDoubt(*trial); !doubt.empty())
        if (!confirm || !confirm(doubt))
            return {false, {}};
    for (const std::string& p : def_.writeOrder)
        target.setProperty(p, valueOf(p));
    return {true, {}};
}

} // namespace kova
