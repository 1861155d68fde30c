#include "editors/Word_DosR.h"

#include "editors/SettingRows.h"
#include "text/NumberText.h"

namespace kova {

namespace {

// A step setting: a whole number of at least 1.
std::optional<std::int64_t> stepOf(const NumOrText& v)
{
    const auto d = v.asDecimal();
    if (!d || d->count() % Decimal4::kScale != 0 || d->count() < Decimal4::kScale)
        return std::nullopt;
    const std::int64_t n = d->count() / Decimal4::kScale;
    if (n > 2147483647)
        return std::nullopt;
    return n;
}

} // namespace

Word_DosR::Word_DosR() = default;

void Word_DosR::setCambio_de_paso(const NumOrText& v) { cambio_ = v; changed("Cambio_de_paso"); }
void Word_DosR::setInc_A(const NumOrText& v) { incA_ = v; changed("Inc_A"); }
void Word_DosR::setInc_B(const NumOrText& v) { incB_ = v; changed("Inc_B"); }
void Word_DosR::setPaso_A(Decimal4 v) { pasoA_ = v; changed("Paso_A"); }
void Word_DosR::setPaso_B(Decimal4 v) { pasoB_ = v; changed("Paso_B"); }
void Word_DosR::setFormato(const std::string& v) { formato_ = v; changed("Formato"); }
void Word_DosR::setPos_Texto(std::int16_t v) { posTexto_ = v; changed("Pos_Texto"); }

std::string Word_DosR::textOf(std::int32_t v) const
{
    return displayText(v, pasoA_, formato_);
}

std::string Word_DosR::classProblem(bool forKeypad) const
{
    if (!stepOf(incA_) || !stepOf(incB_))
        return "Inc_A and Inc_B must be whole numbers of at least 1";
    const auto c = cambio_.asDecimal();
    if (!c)
        return "Cambio_de_paso is not a number";
    if (forKeypad) {
        if (pasoA_.count() == 0)
            return "Paso_A is 0";
        if (!c->roundToInt32HalfEven())
            return "Cambio_de_paso does not fit 32 bits";
    }
    return {};
}

std::vector<ValueEditorModel::StepRange> Word_DosR::stepRanges() const
{
    const auto c = cambio_.asDecimal();
    const auto a = stepOf(incA_), b = stepOf(incB_);
    if (!c || !a || !b)
        return {};
    return {{Decimal4{}, *a}, {*c, *b}};
}

bool Word_DosR::fillKeypad(KeypadBlock& b) const
{
    const auto factor = factorOf(pasoA_);
    const auto c = cambio_.asDecimal();
    const auto ia = stepOf(incA_), ib = stepOf(incB_);
    if (!factor || !c || !ia || !ib)
        return false;
    const auto cambio = c->roundToInt32HalfEven();
    if (!cambio)
        return false;
    fillKeypadCommon(b, 2);
    b.Calc_Inc_A = static_cast<std::int32_t>(*ia);
    b.Calc_Inc_B = static_cast<std::int32_t>(*ib);
    b.Calc_Cambio_A = *cambio;
    b.Calc_Factor_A = *factor;
    b.editorDecimals = patternDecimals(formato_);
    return true;
}

const std::vector<ValueEditorModel::Setting>& Word_DosR::settings() const
{
    using D = Word_DosR;
    using V = ValueEditorModel;
    static const std::vector<Setting> table = [] {
        std::vector<Setting> t = commonLeadingSettings();
        t.push_back(rows::numOrText<D>("Cambio_de_paso", "Cambio_de_paso", &D::Cambio_de_paso,
                                       &D::setCambio_de_paso));
        t.push_back(rows::numOrText<D>("Inc_A", "Inc_A", &D::Inc_A, &D::setInc_A));
        t.push_back(rows::numOrText<D>("Inc_B", "Inc_B", &D::Inc_B, &D::setInc_B));
        t.push_back(rows::numOrText<V>("Dato", "Dato", &V::Dato, &V::setDato));
        t.push_back(rows::text<V>("Medida", "Medida", "0", &V::Medida, &V::setMedida));
        t.push_back(rows::text<D>("Formato", "Formato", "0", &D::Formato, &D::setFormato));
        t.push_back(rows::int32<V>("Max", "Max", 0, &V::Max, &V::setMax));
        t.push_back(rows::int32<V>("Value", "Value", 0, &V::Value, &V::setValue));
        t.push_back(rows::int32<V>("Min", "Min", 0, &V::Min, &V::setMin));
        t.push_back(rows::text<V>("Direccion", "Direccion", "0", &V::Direccion, &V::setDireccion));
        t.push_back(rows::text<V>("Titulo", "Titulo", "0", &V::Titulo, &V::setTitulo));
        t.push_back(rows::int16<D>("Pos_Texto", "Pos_Texto", 0, &D::Pos_Texto, &D::setPos_Texto));
        t.push_back(rows::scale<D>("Paso_A", "Paso_A", &D::Paso_A, &D::setPaso_A));
        t.push_back(rows::scale<D>("Paso_B", "Paso_B", &D::Paso_B, &D::setPaso_B));
        t.push_back(rows::int16<V>("High", "High", 0, &V::High, &V::setHigh));
        t.push_back(rows::int16<V>("Datalen", "DataLen", 0, &V::DataLen, &V::setDataLen));
        return t;
    }();
    return table;
}

} // namespace kova
