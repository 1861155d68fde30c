#include "editors/Bits.h"

#include "editors/SettingRows.h"
#include "link/RegisterAccess.h"
#include "text/HexText.h"

namespace kova {

namespace {

// Property names of Bit1..Bit4 and Nombre1..Nombre16.
constexpr const char* kBitNames[] = {"Bit1", "Bit2", "Bit3", "Bit4"};
constexpr const char* kNombreNames[] = {"Nombre1",  "Nombre2",  "Nombre3",  "Nombre4",
                                        "Nombre5",  "Nombre6",  "Nombre7",  "Nombre8",
                                        "Nombre9",  "Nombre10", "Nombre11", "Nombre12",
                                        "Nombre13", "Nombre14", "Nombre15", "Nombre16"};

} // namespace

Bits::Bits()
{
    nombre_.fill("0");
}

void Bits::setBackColor(std::uint32_t v) { backColor_ = v; changed("BackColor"); }
void Bits::setForeColor(std::uint32_t v) { foreColor_ = v; changed("ForeColor"); }
void Bits::setEnabled(bool v) { enabled_ = v; changed("Enabled"); }
void Bits::setFont(const std::string& v) { font_ = v; changed("Font"); }
void Bits::setDireccion(const std::string& v) { direccion_ = v; changed("Direccion"); }
void Bits::setTipo(std::int16_t v) { tipo_ = v; changed("Tipo"); }
void Bits::setBackStyle(std::int16_t v) { backStyle_ = v; changed("BackStyle"); }
void Bits::setCantidad_Items(std::int16_t v) { cantidad_ = v; changed("Cantidad_Items"); }
void Bits::setPos_Texto(std::int16_t v) { posTexto_ = v; changed("Pos_Texto"); }
void Bits::setDataLen(std::int16_t v) { dataLen_ = v; changed("DataLen"); }
void Bits::setHigh(std::int16_t v) { high_ = v; changed("High"); }
void Bits::setPaso(std::int16_t v) { paso_ = v; changed("Paso"); }

bool Bits::setBit(int n, std::uint8_t v)
{
    if (n < 1 || n > 4 || v > 15)
        return false;
    bits_[static_cast<size_t>(n - 1)] = v;
    changed(kBitNames[n - 1]);
    return true;
}

void Bits::setNombre(int n, const std::string& v)
{
    if (n < 1 || n > 16)
        return;
    nombre_[static_cast<size_t>(n - 1)] = v;
    changed(kNombreNames[n - 1]);
}

bool Bits::Crear_Items()
{
    const std::size_t before = items_.size();
    auto add = [&](int n) { items_.push_back(Nombre(n)); };
    switch (tipo_) {
    case 0:
        add(1);
        add(2);
        break;
    case 1:
    case 2: {
        add(1);
        add(2);
        const int last = tipo_ == 1 ? 4 : 8;
        for (int n = 3; n <= last; ++n)
            if (cantidad_ > n - 1)
                add(n);
        break;
    }
    case 3:
        for (int n = 1; n <= 8; ++n)
            add(n);
        for (int n = 9; n <= 16; ++n)
            if (cantidad_ > n - 1)
                add(n);
        break;
    default:
        break;
    }
    if (items_.size() != before && onItemsAppended)
        onItemsAppended();
    return false;
}

std::string Bits::configProblem() const
{
    if (tipo_ < 0 || tipo_ > 3)
        return "Tipo must be 0 to 3";
    if (paso_ < 1)
        return "Paso must be at least 1";
    if (dataLen_ != 0 && dataLen_ != 1)
        return "DataLen must be 0 or 1";
    const int top = dataLen_ == 0 ? 7 : 15;
    for (int n = 0; n < fieldBits(); ++n)
        if (bits_[static_cast<size_t>(n)] > top)
            return "a bit number lies outside the register";
    return {};
}

void Bits::select(int k)
{
    if (k == listIndex_)
        return;
    listIndex_ = k;
    if (onSelectionShown)
        onSelectionShown();
}

bool Bits::writeField(int k)
{
    const RegisterImages& im = *images_;
    const std::int64_t code = std::int64_t{k} * paso_;
    std::uint32_t w = 0;
    const int b1 = bits_[0], b2 = bits_[1], b3 = bits_[2], b4 = bits_[3];
    if (tipo_ == 0) {
        w = Codificar_1_Bit(im, k, b1, indice_, dataLen_, high_);
    } else {
        if (code < 0 || code > (std::int64_t{1} << fieldBits()) - 1)
            return false;
        switch (tipo_) {
        case 1:
            w = Codificar_2_Bits(im, b1, b2, k, indice_, dataLen_, high_, paso_);
            break;
        case 2:
            w = Codificar_3_Bits(im, b1, b2, b3, k, indice_, dataLen_, high_, paso_);
            break;
        default:
            w = Codificar_4_Bits(im, b1, b2, b3, b4, k, indice_, dataLen_, high_, paso_);
            break;
        }
    }
    w &= dataLen_ == 0 ? 0xFFu : 0xFFFFu;
    Escribir_Dato(*images_, hex4word(w), indice_, dataLen_, high_);
    return true;
}

int Bits::fieldValue() const
{
    const RegisterImages& im = *images_;
    const auto indice = Indice_Setpoint(direccion_);
    const int b1 = bits_[0], b2 = bits_[1], b3 = bits_[2], b4 = bits_[3];
    switch (tipo_) {
    case 0:
        return Leer_Bit(im, b1, indice, dataLen_, high_);
    case 1:
        return Decodificar_2_Bits(im, b1, b2, indice, dataLen_, high_);
    case 2:
        return Decodificar_3_Bits(im, b1, b2, b3, indice, dataLen_, high_);
    default:
        return Decodificar_4_Bits(im, b1, b2, b3, b4, indice, dataLen_, high_);
    }
}

bool Bits::Inicializacion()
{
    indice_ = Indice_Setpoint(direccion_);
    int k = -1;
    if (indice_ && configProblem().empty()) {
        const int v = fieldValue();
        // v / Paso to the nearest whole number, a half to the even neighbour.
        k = v / paso_;
        const int r2 = 2 * (v % paso_);
        if (r2 > paso_ || (r2 == paso_ && k % 2 != 0))
            ++k;
        // A value between two steps names no item: showing the nearer one
        // would write that item's code back over the relay's value.
        if (k * paso_ != v || k >= ListCount() || !writeField(k))
            k = -1;
    }
    select(k);
    // The selection handling ends with Click; only then does valor take
    // the text of the option shown.
    if (onClick)
        onClick();
    valor_ = k < 0 ? std::string() : items_[static_cast<size_t>(k)];
    return indice_.has_value();
}

void Bits::pick(int k)
{
    if (k < 0 || k >= ListCount() || !enabled_ || !configProblem().empty()) {
        if (onSelectionShown)
            onSelectionShown();  // the list shows the current choice again
        return;
    }
    indice_ = Indice_Setpoint(direccion_);
    if (indice_ && !writeField(k)) {
        if (onSelectionShown)
            onSelectionShown();
        return;
    }
    listIndex_ = k;
    if (onSelectionShown)
        onSelectionShown();
    if (onClick)
        onClick();
}

const std::vector<PropertyHost::Setting>& Bits::settings() const
{
    static const std::vector<Setting> table = [] {
        using B = Bits;
        auto self = [](PropertyHost& h) -> Bits& { return static_cast<Bits&>(h); };
        auto cself = [](const PropertyHost& h) -> const Bits& { return static_cast<const Bits&>(h); };
        std::vector<Setting> t;
        t.push_back(rows::whole<B, std::uint32_t>("BackColor", "BackColor", 0x80000005u, &B::BackColor,
                                                  &B::setBackColor, &propToColor));
        t.push_back(rows::whole<B, std::uint32_t>("ForeColor", "ForeColor", 0x80000008u, &B::ForeColor,
                                                  &B::setForeColor, &propToColor));
        Setting enabled = rows::flag<B>("Enabled", "Enabled", true, &B::Enabled, &B::setEnabled);
        enabled.writeDefault = std::nullopt;  // written even when true
        t.push_back(enabled);
        t.push_back(rows::text<B>("Font", "Font", "", &B::Font, &B::setFont));
        t.push_back(rows::int16<B>("DataLen", "DataLen", 0, &B::DataLen, &B::setDataLen));
        t.push_back(rows::int16<B>("High", "High", 0, &B::High, &B::setHigh));
        for (int n = 1; n <= 4; ++n)
            t.push_back({kBitNames[n - 1], kBitNames[n - 1], std::int64_t{0}, PropValue(std::int64_t{0}),
                         [cself, n](const PropertyHost& h) { return PropValue(std::int64_t{cself(h).Bit(n)}); },
                         [self, n](PropertyHost& h, const PropValue& v) {
                             auto b = propToByte(v);
                             return b && self(h).setBit(n, *b);
                         }});
        t.push_back(rows::int16<B>("Paso", "Paso", 1, &B::Paso, &B::setPaso));
        t.push_back(rows::text<B>("Direccion", "Direccion", "0", &B::Direccion, &B::setDireccion));
        t.push_back(rows::int16<B>("Tipo", "Tipo", 0, &B::Tipo, &B::setTipo));
        for (int n = 1; n <= 16; ++n) {
            const char* name = kNombreNames[n - 1];
            t.push_back({name, name, std::string("0"), PropValue(std::string("0")),
                         [cself, n](const PropertyHost& h) { return PropValue(cself(h).Nombre(n)); },
                         [self, n](PropertyHost& h, const PropValue& v) {
                             auto s = propToText(v);
                             if (!s)
                                 return false;
                             self(h).setNombre(n, *s);
                             return true;
                         }});
        }
        t.push_back(rows::int16<B>("BackStyle", "BackStyle", 0, &B::BackStyle, &B::setBackStyle));
        t.push_back(rows::int16<B>("Cantidad_Items", "Cantidad_Items", 0, &B::Cantidad_Items,
                                   &B::setCantidad_Items));
        t.push_back(rows::int16<B>("Pos_Texto", "Pos_Texto", 0, &B::Pos_Texto, &B::setPos_Texto));
        return t;
    }();
    return table;
}

} // namespace kova
