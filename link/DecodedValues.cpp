#include "link/DecodedValues.h"

#include "link/ValueFormats.h"
#include "text/Decimal4.h"
#include "text/NumberText.h"

#include <cstdint>

namespace kova {

namespace {

// Byte index of an actual-value register known to lie in a block.
constexpr int at(std::uint16_t reg) { return *actualValueIndex(reg); }

static_assert(at(0x0203) == 6 && at(0x0205) == 10 && at(0x0206) == 12);
static_assert(at(0x0200) == 0 && at(0x0267) == 162 && at(0x027F) == 210);
static_assert(actualValueIndex(0x0293) && actualValueIndex(0x02D6) && setpointIndex(0x0101));

// A power value: Formato_5 written with "###0.#0", read back, times 1000.
double kilo(const RegisterImages& im, std::uint16_t reg)
{
    const std::string text = formatPattern(Formato_5(im, reg), "###0.#0");
    // The text has two decimals: its count of ten-thousandths / 10 is the
    // value times 1000, exactly.
    return static_cast<double>(Decimal4::parse(text)->count()) / 10.0;
}

float kiloSingle(float v) { return static_cast<float>(static_cast<double>(v) * 1000.0); }

} // namespace

NumOrText DecodedValues::DatosDeVariables(int posicion) const
{
    if (posicion < 0 || posicion >= kPositions)
        return {};
    return Vector_Datos[static_cast<std::size_t>(posicion)];
}

void DecodedValues::set(int posicion, NumOrText value)
{
    if (posicion < 0 || posicion >= kPositions)
        return;
    Vector_Datos[static_cast<std::size_t>(posicion)] = std::move(value);
}

void DecodedValues::Fill_Cero(int posicion_vector)
{
    if (posicion_vector < 0 || posicion_vector + 31 >= kPositions)
        return;
    for (int k = 0; k < 32; ++k)
        set(posicion_vector + k, std::int16_t{0});
}

void DecodedValues::Procesar_Bloque_0203(const RegisterImages& im, const TextTables& t)
{
    const int i = at(0x0203);
    static constexpr int kLowBits[] = {0, 1, 2, 3, 4, 6, 7};
    for (int k = 0; k < 7; ++k)
        set(1 + k, static_cast<std::int16_t>(Bit_Activo(im, kLowBits[k], i + 1)));
    for (int k = 0; k < 4; ++k)
        set(8 + k, static_cast<std::int16_t>(Bit_Activo(im, k, i)));
    for (int k = 0; k < 4; ++k) {
        set(12 + k, *t.estado(StateTexts::Relay, Bit_Activo(im, k, at(0x0205) + 1)));
        set(16 + k, *t.estado(StateTexts::Contact, Bit_Activo(im, k, at(0x0206) + 1)));
    }
}

void DecodedValues::Procesar_Bloque_020D(const RegisterImages& im)
{
    set(20, formatPattern(Formato_6(im, 0x020D), "###0.#0"));
    set(21, formatPattern(Formato_6(im, 0x020F), "###0.#0"));
    set(22, formatPattern(Formato_6(im, 0x0211), "###0.#0"));
    set(23, formatPattern(Formato_6(im, 0x0213), "###0.#0"));
    set(24, formatPattern(Formato_6(im, 0x0223), "###0.#0"));
    set(25, formatPattern(Formato_4_1Word(im, 0x0250), "###0.0"));
    set(26, formatPattern(Formato_4_1Word(im, 0x0251), "###0.0"));
    set(27, formatPattern(Formato_4_1Word(im, 0x0252), "###0.0"));
    set(28, formatPattern(Formato_6(im, 0x0215), "###0.#0"));
}

void DecodedValues::Procesar_Bloque_0217(const RegisterImages& im, const TextTables& t)
{
    const int vt = Leer_Codigo_RX2(im, 2, 3, 4, *setpointIndex(0x0101));
    if (const std::string* text = t.estado(StateTexts::VtConnection, vt))
        set(325, *text);
    static constexpr std::uint16_t kVoltages[] = {0x0217, 0x0219, 0x021B, 0x021D, 0x021F, 0x0221, 0x0225};
    for (int k = 0; k < 7; ++k)
        set(29 + k, Formato_4(im, kVoltages[k]));
    set(36, formatPattern(Formato_6_1Word(im, 0x024B), "###0.#0"));
    const std::string* sequence = t.estado(StateTexts::PhaseSequence, static_cast<int>(Leer_Word_RX(im, at(0x025E))));
    set(37, sequence ? *sequence : std::string(" Error "));
}

void DecodedValues::Leer_Valores_022F(const RegisterImages& im)
{
    set(38, kilo(im, 0x022F));
    set(39, kilo(im, 0x0231));
    set(40, kilo(im, 0x0233));
    set(41, Formato_19_Patron(im, 0x0247, "#0.#0"));
    static constexpr std::uint16_t kPhases[] = {0x0235, 0x0237, 0x0239, 0x023B, 0x023D,
                                                0x023F, 0x0241, 0x0243, 0x0245};
    for (int k = 0; k < 9; ++k)
        set(42 + k, kilo(im, kPhases[k]));
}

void DecodedValues::Leer_Valores_025F(const RegisterImages& im, const TextTables& t, std::string_view datePattern)
{
    static constexpr std::uint16_t kEnergies[] = {0x025F, 0x0261, 0x0263, 0x0265};
    for (int k = 0; k < 4; ++k)
        set(51 + k, Leer_Long_RX(im, at(kEnergies[k])));
    set(55, Formato_8(im, at(0x0267), true, false, t, datePattern));
}

void DecodedValues::Leer_Valores_026A(const RegisterImages& im, const TextTables& t, std::string_view datePattern)
{
    set(56, formatPattern(Formato_6(im, 0x026A), "###0.#0"));
    set(57, kiloSingle(Formato_5(im, 0x026C)));
    set(58, kiloSingle(Formato_5(im, 0x026E)));
    set(59, Formato_6(im, 0x0270));
    set(60, Formato_8(im, at(0x0272), true, false, t, datePattern));
    set(61, kiloSingle(Formato_5(im, 0x0275)));
    set(62, Formato_8(im, at(0x0277), true, false, t, datePattern));
    set(63, kiloSingle(Formato_5(im, 0x027A)));
    set(64, Formato_8(im, at(0x027C), true, false, t, datePattern));
}

void DecodedValues::Maintenance_Data(const RegisterImages& im)
{
    for (int k = 0; k < 7; ++k) {
        const auto w = static_cast<std::int32_t>(Leer_Word_RX(im, at(static_cast<std::uint16_t>(0x02D0 + k))));
        set(77 + k, (k >= 1 && k <= 3) ? w * 1000 : w);
    }
}

void DecodedValues::Leer_Valores_027F(const RegisterImages& im, const TextTables& t, std::string_view datePattern)
{
    const std::string s = Formato_8(im, at(0x027F), true, true, t, datePattern);
    const auto comma = s.find(',');
    set(65, s.substr(0, comma));
    const std::string_view when =
        comma == std::string::npos ? std::string_view() : std::string_view(s).substr(comma + 1);
    set(66, leadingDigits(when) == 0 ? std::string("0") : std::string(when));
    static constexpr std::uint16_t kCurrents[] = {0x0282, 0x0284, 0x0286, 0x0288, 0x028A};
    for (int k = 0; k < 5; ++k)
        set(67 + k, Formato_6(im, kCurrents[k]));
    static constexpr std::uint16_t kVoltages[] = {0x028C, 0x028E, 0x0290};
    for (int k = 0; k < 3; ++k)
        set(72 + k, Formato_4(im, kVoltages[k]));
    set(75, formatPattern(Formato_6_1Word(im, 0x0292), "###0.#0"));
    set(76, Formato_19_Patron(im, 0x0293, "#0.#0"));
}

void DecodedValues::Date_Time_System(const RegisterImages& im, const TextTables& t, std::string_view datePattern)
{
    set(40, Formato_8(im, at(0x0200), true, false, t, datePattern));
}

} // namespace kova
