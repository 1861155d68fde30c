#include "app/Registro_Archivo.h"

#include "app/Cp1252.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <utility>

namespace kova {
namespace {

constexpr std::string_view kFirma = "KOVA2";

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long long diasDesdeCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

Fecha_Civil civilDesdeDias(long long z)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

const long long kDiaCero = diasDesdeCivil(1899, 12, 30);

// Day numbers of 0100-01-01 and 9999-12-31, the range of the date type.
constexpr double kMinimo = -657434.0;
constexpr double kMaximo = 2958465.0;

} // namespace

std::array<std::string, 20>& Copia_Eventos::columna(int c)
{
    return const_cast<std::array<std::string, 20>&>(std::as_const(*this).columna(c));
}

const std::array<std::string, 20>& Copia_Eventos::columna(int c) const
{
    switch (c) {
    case 1: return Eventos_IA;
    case 2: return Eventos_IB;
    case 3: return Eventos_IC;
    case 4: return Eventos_IG;
    case 5: return Eventos_Secuencia_Negativa;
    case 6: return Eventos_Vab;
    case 7: return Eventos_Vbc;
    case 8: return Eventos_Vca;
    case 9: return Eventos_Frecuencia;
    case 10: return Eventos_FP;
    default: return Eventos_Texto;
    }
}

double numeroDeFecha(const Fecha_Civil& f)
{
    return static_cast<double>(diasDesdeCivil(f.anio, static_cast<unsigned>(f.mes),
                                              static_cast<unsigned>(f.dia)) - kDiaCero);
}

std::optional<Fecha_Civil> fechaDeNumero(double dias)
{
    if (!std::isfinite(dias) || dias < kMinimo || dias >= kMaximo + 1.0)
        return std::nullopt;
    // The whole part is the day; for negative numbers the fraction is the
    // time after that day's midnight, so the day is the truncated value.
    const auto entero = static_cast<long long>(std::trunc(dias));
    return civilDesdeDias(entero + kDiaCero);
}

std::optional<Registro_Archivo> Registro_Archivo::desdeBytes(std::span<const std::uint8_t> datos)
{
    if (datos.size() < Largo)
        return std::nullopt;
    Registro_Archivo r;
    std::copy_n(datos.begin(), Largo, r.bytes_.begin());
    if (!r.firmaValida())
        return std::nullopt;
    return r;
}

bool Registro_Archivo::firmaValida() const
{
    return cp1252::recortar(texto(Pos_Firma, Largo_Firma)) == kFirma;
}

void Registro_Archivo::ponerTexto(std::size_t pos, std::size_t largo, std::string_view utf8)
{
    std::string b = cp1252::codificar(utf8);
    b.resize(std::min(b.size(), largo));
    b.append(largo - b.size(), ' ');
    std::memcpy(bytes_.data() + pos, b.data(), largo);
}

std::string Registro_Archivo::texto(std::size_t pos, std::size_t largo) const
{
    return cp1252::decodificar(
        std::string_view(reinterpret_cast<const char*>(bytes_.data() + pos), largo));
}

void Registro_Archivo::escribir(const Datos_Archivo& d)
{
    ponerTexto(Pos_Firma, Largo_Firma, kFirma);

    const auto fecha = std::bit_cast<std::uint64_t>(d.Fecha);
    for (std::size_t i = 0; i < Largo_Fecha; ++i)
        bytes_[Pos_Fecha + i] = static_cast<std::uint8_t>(fecha >> (8 * i));

    ponerTexto(Pos_Programador, Largo_Programador, d.Programador);
    ponerTexto(Pos_Nombre, Largo_Nombre, d.Nombre_Rele);
    ponerTexto(Pos_Observaciones, Largo_Observaciones, d.Observaciones);
    std::copy(d.Put.begin(), d.Put.end(), bytes_.begin() + Pos_Put);
    std::copy(d.Actual.begin(), d.Actual.end(), bytes_.begin() + Pos_Actual);
    for (int r = 0; r < Filas_Eventos; ++r) {
        ponerTexto(posTexto(r), Largo_Texto, d.Eventos.Eventos_Texto[r]);
        for (int c = 1; c <= 10; ++c)
            ponerTexto(posValor(c, r), Largo_Valor, d.Eventos.columna(c)[r]);
    }
    ponerTexto(Pos_Firmware, Largo_Firmware, d.Firmware_Rele);
}

Datos_Archivo Registro_Archivo::leer() const
{
    Datos_Archivo d;
    std::uint64_t fecha = 0;
    for (std::size_t i = 0; i < Largo_Fecha; ++i)
        fecha |= static_cast<std::uint64_t>(bytes_[Pos_Fecha + i]) << (8 * i);
    d.Fecha = std::bit_cast<double>(fecha);

    d.Programador = texto(Pos_Programador, Largo_Programador);
    d.Nombre_Rele = texto(Pos_Nombre, Largo_Nombre);
    d.Observaciones = texto(Pos_Observaciones, Largo_Observaciones);
    d.Firmware_Rele = texto(Pos_Firmware, Largo_Firmware);
    std::copy_n(bytes_.begin() + Pos_Put, d.Put.size(), d.Put.begin());
    std::copy_n(bytes_.begin() + Pos_Actual, d.Actual.size(), d.Actual.begin());
    for (int r = 0; r < Filas_Eventos; ++r) {
        d.Eventos.Eventos_Texto[r] = cp1252::recortar(texto(posTexto(r), Largo_Texto));
        for (int c = 1; c <= 10; ++c)
            d.Eventos.columna(c)[r] = cp1252::recortar(texto(posValor(c, r), Largo_Valor));
    }
    return d;
}

} // namespace kova
