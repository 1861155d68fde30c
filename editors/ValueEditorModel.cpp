#include "editors/ValueEditorModel.h"

#include "editors/PropConvert.h"
#include "editors/SettingRows.h"
#include "link/RegisterAccess.h"
#include "platform/StderrLine.h"
#include "text/HexText.h"
#include "text/NumberText.h"

#include <algorithm>
#include <limits>

namespace kova {

namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// Raw range a register width can hold; nothing for a width that stores no value.
std::optional<std::pair<std::int64_t, std::int64_t>> widthOf(int dataLen, int high)
{
    switch (dataLen) {
    case 0:
        if (high != 0 && high != 1)
            return std::nullopt;
        return std::pair<std::int64_t, std::int64_t>{0, 255};
    case 1:
        return std::pair<std::int64_t, std::int64_t>{0, 65535};
    case 2:
        return std::pair<std::int64_t, std::int64_t>{kInt32Min, kInt32Max};
    default:
        return std::nullopt;
    }
}

} // namespace

void ValueEditorModel::setText(const std::string& t)
{
    text_ = t;
    changed("Text");
    if (onTextShown)
        onTextShown();
}

void ValueEditorModel::setEnabled(bool e) { enabled_ = e; changed("Enabled"); }
void ValueEditorModel::setValue(std::int32_t v) { value_ = v; changed("Value"); }
void ValueEditorModel::setMin(std::int32_t v) { min_ = v; changed("Min"); }
void ValueEditorModel::setMax(std::int32_t v) { max_ = v; changed("Max"); }
void ValueEditorModel::setMedida(const std::string& v) { medida_ = v; changed("Medida"); }
void ValueEditorModel::setDireccion(const std::string& v) { direccion_ = v; changed("Direccion"); }
void ValueEditorModel::setTitulo(const std::string& v) { titulo_ = v; changed("Titulo"); }
void ValueEditorModel::setDataLen(std::int16_t v) { dataLen_ = v; changed("DataLen"); }
void ValueEditorModel::setHigh(std::int16_t v) { high_ = v; changed("High"); }
void ValueEditorModel::setDato(const NumOrText& v) { dato_ = v; changed("Dato"); }
void ValueEditorModel::setTextBackColor(std::uint32_t c) { textBackColor_ = c; }
void ValueEditorModel::setFontSize(double s) { fontSize_ = s; }
void ValueEditorModel::setFont(const std::string& f) { font_ = f; changed("Font"); }

void ValueEditorModel::show(const std::string& text)
{
    text_ = text;
    if (onTextShown)
        onTextShown();
}

void ValueEditorModel::warn(const std::string& what) const
{
    writeStderrLine("kova: editor \"" + titulo_ + "\" (register " + direccion_ + "): " + what);
}

std::optional<std::pair<std::int64_t, std::int64_t>> ValueEditorModel::widthRange() const
{
    return widthOf(dataLen_, high_);
}

bool ValueEditorModel::readOnly() const
{
    return !widthOf(dataLen_, high_).has_value();
}

std::int64_t ValueEditorModel::lowLimit() const
{
    auto w = widthOf(dataLen_, high_);
    return w ? std::max<std::int64_t>(min_, w->first) : min_;
}

std::int64_t ValueEditorModel::highLimit() const
{
    auto w = widthOf(dataLen_, high_);
    return w ? std::min<std::int64_t>(max_, w->second) : max_;
}

std::vector<std::string> ValueEditorModel::extremeTexts() const
{
    const std::int64_t lo = lowLimit(), hi = highLimit();
    if (lo > hi)
        return {};
    using Limits = std::numeric_limits<std::int32_t>;
    auto clamp32 = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, Limits::min(), Limits::max()));
    };
    return {textOf(clamp32(lo)), textOf(clamp32(hi))};
}

std::string ValueEditorModel::configProblem(bool forKeypad) const
{
    if (readOnly())
        return "the register width cannot be written";
    if (lowLimit() > highLimit())
        return "Min is above Max or outside the register width";
    return classProblem(forKeypad);
}

std::string ValueEditorModel::displayText(std::int32_t v, Decimal4 scale,
                                          const std::string& pattern) const
{
    const auto product = scale.mulInt32(v);
    if (!product)
        return "#####";
    return formatPattern(*product, pattern) + " " + medida_;
}

std::string ValueEditorModel::exactTextFor(std::int32_t v) const
{
    const Decimal4 scale = shownScale();
    int decimals = 4;
    for (std::int64_t c = scale.count(); decimals > 0 && c % 10 == 0; c /= 10)
        --decimals;
    return displayText(v, scale, decimals > 0 ? "0." + std::string(decimals, '0') : "0");
}

std::optional<Decimal4> ValueEditorModel::factorOf(Decimal4 scale)
{
    const std::int64_t c = scale.count();
    if (c == 0)
        return std::nullopt;
    // 1 / (c / 10^4) in units of 10^-4 is 10^8 / c, rounded half to even.
    const std::int64_t num = 100000000;
    std::int64_t q = num / c;
    const std::int64_t r = num % c;
    const std::int64_t twice = 2 * (r < 0 ? -r : r);
    const std::int64_t ac = c < 0 ? -c : c;
    const bool negative = (c < 0);
    if (twice > ac || (twice == ac && (q % 2 != 0)))
        q += negative ? -1 : 1;
    return Decimal4::fromCount(q);
}

bool ValueEditorModel::Inicializacion()
{
    indice_ = Indice_Setpoint(direccion_);
    if (indice_)
        setValue(static_cast<std::int32_t>(Leer_Get_Largo(*images_, indice_, dataLen_, high_)));
    show(shownText());
    valor_ = text_;
    return indice_.has_value();
}

std::string ValueEditorModel::textAfterStep(std::int32_t, bool) const
{
    return shownText();
}

void ValueEditorModel::store(std::uint16_t index, std::int32_t v) const
{
    Escribir_Registro(*images_, index, hex8(v), dataLen_, high_);
}

void ValueEditorModel::fillKeypadCommon(KeypadBlock& b, std::uint8_t tipo) const
{
    b.Calc_Tipo = tipo;
    b.Calc_Titulo = titulo_;
    b.Calc_Min = static_cast<std::int32_t>(lowLimit());
    b.Calc_Max = static_cast<std::int32_t>(highLimit());
    b.Calc_Valor_Viejo = value_;
    b.Calc_Medida = medida_;
}

void ValueEditorModel::writeBack() const
{
    if (!indice_)
        return;
    const auto w = widthOf(dataLen_, high_);
    if (!w)
        return;
    if (value_ < w->first || value_ > w->second) {
        warn("value " + integerText(value_) + " does not fit the register; not written");
        return;
    }
    store(*indice_, value_);
}

void ValueEditorModel::arrow(bool up)
{
    const std::string problem = configProblem(false);
    if (!problem.empty()) {
        warn(problem);
        return;
    }
    const std::int64_t lo = lowLimit(), hi = highLimit();
    const bool canStep = up ? value_ < hi : value_ > lo;
    if (!canStep && !clicksAtLimitCount())
        return;
    if (canStep) {
        const auto step = stepFor(up);
        if (!step || *step <= 0)
            return;
        const std::int32_t before = value_;
        const std::int64_t next =
            std::clamp<std::int64_t>(up ? std::int64_t{before} + *step : std::int64_t{before} - *step,
                                     lo, hi);
        value_ = static_cast<std::int32_t>(next);
        show(textAfterStep(before, up));
    }
    if (arrowSetsDato())
        dato_ = NumOrText(value_);
    writeBack();
    if (onChange)
        onChange();
}

void ValueEditorModel::keypad()
{
    if (!keypadRunner)
        return;
    const std::string problem = configProblem(true);
    if (!problem.empty()) {
        warn(problem + "; the keypad does not open");
        return;
    }
    KeypadBlock& b = keypadBlock();
    if (!fillKeypad(b)) {
        warn("settings out of range; the keypad does not open");
        return;
    }
    keypadRunner();
    dato_ = NumOrText(b.Calc_Dato_Hex);
    value_ = b.Calc_Valor_Nuevo;
    show(shownText());
    writeBack();
    if (onClick)
        onClick();
}

std::vector<ValueEditorModel::Setting> commonLeadingSettings()
{
    using V = ValueEditorModel;
    auto m = [](const PropertyHost& h) -> const ValueEditorModel& {
        return static_cast<const ValueEditorModel&>(h);
    };
    auto w = [](PropertyHost& h) -> ValueEditorModel& { return static_cast<ValueEditorModel&>(h); };
    return {
        rows::text<V>("Text", "Text", "Text1", &V::Text, &V::setText),
        rows::whole<V, std::uint32_t>("BackColor", nullptr, 0x80000005u, &V::textBackColor, &V::setTextBackColor,
                                      &propToColor),
        rows::flag<V>("Enabled", "Enabled", true, &V::Enabled, &V::setEnabled),
        {"FontSize", nullptr, 8.25, PropValue(0.0),
         [m](const PropertyHost& h) { return PropValue(m(h).fontSize()); },
         [w](PropertyHost& h, const PropValue& v) {
             auto d = propToReal(v);
             if (!d)
                 return false;
             w(h).setFontSize(*d);
             return true;
         }},
        rows::text<V>("Font", "Font", "", &V::font, &V::setFont),
    };
}

} // namespace kova
