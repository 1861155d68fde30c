#include "editors/Word_TresR.h"

#include "editors/SettingRows.h"

namespace kova {

namespace {

int idx(Word_TresR::Range r)
{
    return static_cast<int>(r);
}

} // namespace

Word_TresR::Word_TresR() = default;

void Word_TresR::setPaso_A(Decimal4 v) { paso_[0] = v; changed("Paso_A"); }
void Word_TresR::setPaso_B(Decimal4 v) { paso_[1] = v; changed("Paso_B"); }
void Word_TresR::setPaso_C(Decimal4 v) { paso_[2] = v; changed("Paso_C"); }
void Word_TresR::setInc_A(std::int32_t v) { inc_[0] = v; changed("Inc_A"); }
void Word_TresR::setInc_B(std::int32_t v) { inc_[1] = v; changed("Inc_B"); }
void Word_TresR::setInc_C(std::int32_t v) { inc_[2] = v; changed("Inc_C"); }
void Word_TresR::setFormatoA(const std::string& v) { formato_[0] = v; changed("FormatoA"); }
void Word_TresR::setFormatoB(const std::string& v) { formato_[1] = v; changed("FormatoB"); }
void Word_TresR::setFormatoC(const std::string& v) { formato_[2] = v; changed("FormatoC"); }
void Word_TresR::setCambio_A(Decimal4 v) { cambioA_ = v; changed("Cambio_A"); }
void Word_TresR::setCambio_B(Decimal4 v) { cambioB_ = v; changed("Cambio_B"); }

Word_TresR::Range Word_TresR::rangeDown(std::int32_t v) const
{
    if (asDecimal(v) > cambioB_)
        return Range::C;
    if (asDecimal(v) <= cambioA_)
        return Range::A;
    return Range::B;
}

Word_TresR::Range Word_TresR::rangeUp(std::int32_t v) const
{
    if (asDecimal(v) >= cambioB_)
        return Range::C;
    if (asDecimal(v) < cambioA_)
        return Range::A;
    return Range::B;
}

Word_TresR::Range Word_TresR::rangeShown(std::int32_t v) const
{
    if (asDecimal(v) < cambioA_)
        return Range::A;
    if (asDecimal(v) < cambioB_)
        return Range::B;
    return Range::C;
}

std::string Word_TresR::textOf(std::int32_t v) const
{
    return displayText(v, paso_[0], formato_[idx(rangeShown(v))]);
}

std::vector<std::string> Word_TresR::extremeTexts() const
{
    // Next to a change point a value shows in either neighbouring range's
    // pattern (an arrow step picks the pattern of the range it steps in).
    std::vector<std::string> texts = ValueEditorModel::extremeTexts();
    const std::int64_t lo = lowLimit(), hi = highLimit();
    std::vector<std::int64_t> values = {lo, hi};
    for (Decimal4 c : {cambioA_, cambioB_})
        if (auto v = c.roundToInt32HalfEven())
            for (std::int64_t x = std::int64_t{*v} - 1; x <= std::int64_t{*v} + 1; ++x)
                values.push_back(x);
    for (std::int64_t x : values)
        if (x >= lo && x <= hi)
            for (int r = 0; r < 3; ++r)
                for (Decimal4 scale : {paso_[0], paso_[r]})
                    texts.push_back(displayText(static_cast<std::int32_t>(x), scale, formato_[r]));
    return texts;
}

std::string Word_TresR::textAfterStep(std::int32_t before, bool up) const
{
    const int r = idx(up ? rangeUp(before) : rangeDown(before));
    return displayText(value_, paso_[r], formato_[r]);
}

std::string Word_TresR::classProblem(bool forKeypad) const
{
    for (std::int32_t s : inc_)
        if (s <= 0)
            return "Inc_A, Inc_B and Inc_C must be at least 1";
    if (cambioA_ >= cambioB_)
        return "Cambio_A must be below Cambio_B";
    if (forKeypad) {
        for (Decimal4 p : paso_)
            if (p.count() == 0)
                return "Paso_A, Paso_B and Paso_C must not be 0";
        if (!cambioA_.roundToInt32HalfEven() || !cambioB_.roundToInt32HalfEven())
            return "Cambio_A or Cambio_B does not fit 32 bits";
    }
    return {};
}

std::vector<ValueEditorModel::StepRange> Word_TresR::stepRanges() const
{
    for (std::int32_t s : inc_)
        if (s <= 0)
            return {};
    return {{Decimal4{}, inc_[0]}, {cambioA_, inc_[1]}, {cambioB_, inc_[2]}};
}

bool Word_TresR::fillKeypad(KeypadBlock& b) const
{
    const auto fa = factorOf(paso_[0]), fb = factorOf(paso_[1]), fc = factorOf(paso_[2]);
    const auto ca = cambioA_.roundToInt32HalfEven(), cb = cambioB_.roundToInt32HalfEven();
    if (!fa || !fb || !fc || !ca || !cb)
        return false;
    fillKeypadCommon(b, 3);
    b.Calc_Inc_A = inc_[0];
    b.Calc_Inc_B = inc_[1];
    b.Calc_Inc_C = inc_[2];
    b.Calc_Formato_A = formato_[0];
    b.Calc_Formato_B = formato_[1];
    b.Calc_Formato_C = formato_[2];
    b.Calc_Cambio_A = *ca;
    b.Calc_Cambio_B = *cb;
    b.Calc_Factor_A = *fa;
    b.Calc_Factor_B = *fb;
    b.Calc_Factor_C = *fc;
    return true;
}

const std::vector<ValueEditorModel::Setting>& Word_TresR::settings() const
{
    using T = Word_TresR;
    using V = ValueEditorModel;
    static const std::vector<Setting> table = [] {
        std::vector<Setting> t = commonLeadingSettings();
        t.push_back(rows::scale<T>("Paso_A", "Paso_A", &T::Paso_A, &T::setPaso_A));
        t.push_back(rows::scale<T>("Paso_B", "Paso_B", &T::Paso_B, &T::setPaso_B));
        t.push_back(rows::scale<T>("Paso_C", "Paso_C", &T::Paso_C, &T::setPaso_C));
        t.push_back(rows::int32<T>("Inc_A", "Inc_A", 0, &T::Inc_A, &T::setInc_A));
        t.push_back(rows::int32<T>("Inc_B", "Inc_B", 0, &T::Inc_B, &T::setInc_B));
        t.push_back(rows::int32<T>("Inc_C", "Inc_C", 0, &T::Inc_C, &T::setInc_C));
        t.push_back(rows::numOrText<V>("Dato", "Dato", &V::Dato, &V::setDato));
        t.push_back(rows::text<V>("Medida", "Medida", "0", &V::Medida, &V::setMedida));
        t.push_back(rows::text<T>("FormatoA", "FormatoA", "0", &T::FormatoA, &T::setFormatoA));
        t.push_back(rows::text<T>("FormatoB", "FormatoB", "0", &T::FormatoB, &T::setFormatoB));
        t.push_back(rows::text<T>("FormatoC", "FormatoC", "0", &T::FormatoC, &T::setFormatoC));
        t.push_back(rows::int32<V>("Max", "Max", 0, &V::Max, &V::setMax));
        t.push_back(rows::int32<V>("Value", "Value", 0, &V::Value, &V::setValue));
        t.push_back(rows::int32<V>("Min", "Min", 0, &V::Min, &V::setMin));
        t.push_back(rows::text<V>("Direccion", "Direccion", "0", &V::Direccion, &V::setDireccion));
        t.push_back(rows::decimal<T>("Cambio_A", "Cambio_A", &T::Cambio_A, &T::setCambio_A));
        t.push_back(rows::decimal<T>("Cambio_B", "Cambio_B", &T::Cambio_B, &T::setCambio_B));
        t.push_back(rows::int16<V>("DataLen", "DataLen", 0, &V::DataLen, &V::setDataLen));
        t.push_back(rows::int16<V>("High", "High", 0, &V::High, &V::setHigh));
        t.push_back(rows::text<V>("Titulo", "Titulo", "0", &V::Titulo, &V::setTitulo));
        return t;
    }();
    return table;
}

} // namespace kova
