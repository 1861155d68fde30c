#include "editors/Byte_UnR.h"

#include "editors/SettingRows.h"
#include "link/RegisterAccess.h"
#include "text/HexText.h"
#include "text/NumberText.h"

namespace kova {

Byte_UnR::Byte_UnR()
{
    dataLen_ = 1;
}

void Byte_UnR::setPaso(Decimal4 v) { paso_ = v; changed("Paso"); }
void Byte_UnR::setFormato(const std::string& v) { formato_ = v; changed("Formato"); }
void Byte_UnR::setSmallChange(std::int32_t v) { smallChange_ = v; changed("SmallChange"); }
void Byte_UnR::setBackColor(std::uint32_t v) { backColor_ = v; changed("BackColor"); }
void Byte_UnR::setPos_Texto(std::int16_t v) { posTexto_ = v; changed("Pos_Texto"); }

std::string Byte_UnR::Cambio(std::int32_t v)
{
    return hex8(v);
}

bool Byte_UnR::Actualizar()
{
    writeBack();
    return false;
}

std::string Byte_UnR::textOf(std::int32_t v) const
{
    return displayText(v, paso_, formato_);
}

std::vector<ValueEditorModel::StepRange> Byte_UnR::stepRanges() const
{
    if (smallChange_ <= 0)
        return {};
    return {{Decimal4{}, smallChange_}};
}

std::string Byte_UnR::classProblem(bool forKeypad) const
{
    if (smallChange_ <= 0)
        return "SmallChange must be at least 1";
    if (forKeypad && paso_.count() == 0)
        return "Paso is 0";
    return {};
}

bool Byte_UnR::fillKeypad(KeypadBlock& b) const
{
    const auto factor = factorOf(paso_);
    if (!factor)
        return false;
    fillKeypadCommon(b, 1);
    b.Calc_Inc_A = smallChange_;
    b.Calc_Factor_A = *factor;
    b.editorDecimals = patternDecimals(formato_);
    return true;
}

const std::vector<ValueEditorModel::Setting>& Byte_UnR::settings() const
{
    using B = Byte_UnR;
    using V = ValueEditorModel;
    static const std::vector<Setting> table = [] {
        std::vector<Setting> t = commonLeadingSettings();
        t.push_back(rows::scale<B>("Paso", "Paso", &B::Paso, &B::setPaso));
        t.push_back(rows::numOrText<V>("Dato", "Dato", &V::Dato, &V::setDato));
        t.push_back(rows::text<V>("Medida", "Medida", "0", &V::Medida, &V::setMedida));
        t.push_back(rows::text<B>("Formato", "Formato", "0", &B::Formato, &B::setFormato));
        t.push_back(rows::int32<V>("Max", "Max", 0, &V::Max, &V::setMax));
        t.push_back(rows::int32<V>("Value", "Value", 0, &V::Value, &V::setValue));
        t.push_back(rows::int32<V>("Min", "Min", 0, &V::Min, &V::setMin));
        t.push_back(rows::int32<B>("SmallChange", "SmallChange", 0, &B::SmallChange, &B::setSmallChange));
        t.push_back(rows::whole<B, std::uint32_t>("BackColor", "BackColor", 0, &B::BackColor,
                                                  &B::setBackColor, &propToColor));
        t.push_back(rows::text<V>("Direccion", "Direccion", "0", &V::Direccion, &V::setDireccion));
        t.push_back(rows::text<V>("Titulo", "Titulo", "0", &V::Titulo, &V::setTitulo));
        t.push_back(rows::int16<B>("Pos_Texto", "Pos_Texto", 0, &B::Pos_Texto, &B::setPos_Texto));
        t.push_back(rows::int16<V>("DataLen", "DataLen", 1, &V::DataLen, &V::setDataLen));
        t.push_back(rows::int16<V>("High", "High", 0, &V::High, &V::setHigh));
        return t;
    }();
    return table;
}

Word_UnR::Word_UnR()
{
    dataLen_ = 0;
}

bool Word_UnR::readOnly() const
{
    return dataLen_ == 2 || Byte_UnR::readOnly();
}

void Word_UnR::store(std::uint16_t index, std::int32_t v) const
{
    Escribir_Dato(*images_, Cambio(v).substr(4), index, dataLen_, high_);
}

const std::vector<ValueEditorModel::Setting>& Word_UnR::settings() const
{
    using B = Byte_UnR;
    using V = ValueEditorModel;
    static const std::vector<Setting> table = [] {
        std::vector<Setting> t = commonLeadingSettings();
        t.push_back(rows::numOrText<V>("Dato", "Dato", &V::Dato, &V::setDato));
        t.push_back(rows::text<V>("Medida", "Medida", "0", &V::Medida, &V::setMedida));
        t.push_back(rows::text<B>("Formato", "Formato", "0", &B::Formato, &B::setFormato));
        t.push_back(rows::int32<V>("Max", "Max", 0, &V::Max, &V::setMax));
        t.push_back(rows::int32<V>("Value", "Value", 0, &V::Value, &V::setValue));
        t.push_back(rows::int32<V>("Min", "Min", 0, &V::Min, &V::setMin));
        t.push_back(rows::int32<B>("SmallChange", "SmallChange", 0, &B::SmallChange, &B::setSmallChange));
        t.push_back(rows::text<V>("Direccion", "Direccion", "0", &V::Direccion, &V::setDireccion));
        t.push_back(rows::text<V>("Titulo", "Titulo", "0", &V::Titulo, &V::setTitulo));
        t.push_back(rows::int16<B>("Pos_Texto", "Pos_Texto", 0, &B::Pos_Texto, &B::setPos_Texto));
        t.push_back(rows::scale<B>("Paso", "Paso", &B::Paso, &B::setPaso));
        t.push_back(rows::int16<V>("High", "High", 0, &V::High, &V::setHigh));
        t.push_back(rows::int16<V>("Datalen", "DataLen", 0, &V::DataLen, &V::setDataLen));
        return t;
    }();
    return table;
}

} // namespace kova
