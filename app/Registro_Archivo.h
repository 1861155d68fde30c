#pragma once

// The one 4268-byte record of a setpoint file (*.KOVA2) and its codec.
//
//   offset  length        field
//        0      50        signature "KOVA2" + blanks
//       50       8        save date: IEEE double, little-endian, days since 1899-12-30
//       58      20        programmer
//       78      20        relay name
//       98     100        observations
//      198     301        Put image, bytes 0..300
//      499     401        actual-values image, bytes 0..400
//      900   21x60        event texts, row r at 900 + 60r
//     2160 10x21x10       event values, column c (1..10), row r at 2160 + 210(c-1) + 10r
//     4260       8        firmware text
//
// Texts are Windows-1252, blank-padded, cut at the field length. Save never
// writes row 20 of the event texts and values: those bytes keep what the
// record in memory held.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kova {

// The event copy kept from a loaded file: 20 rows each, row 0 the newest.
struct Copia_Eventos
{
    std::array<std::string, 20> Eventos_Texto;
    std::array<std::string, 20> Eventos_IA;
    std::array<std::string, 20> Eventos_IB;
    std::array<std::string, 20> Eventos_IC;
    std::array<std::string, 20> Eventos_IG;
    std::array<std::string, 20> Eventos_Secuencia_Negativa;
    std::array<std::string, 20> Eventos_Vab;
    std::array<std::string, 20> Eventos_Vbc;
    std::array<std::string, 20> Eventos_Vca;
    std::array<std::string, 20> Eventos_Frecuencia;
    std::array<std::string, 20> Eventos_FP;

    // Value column c, 1..10 (IA .. FP).
    std::array<std::string, 20>& columna(int c);
    const std::array<std::string, 20>& columna(int c) const;

    bool operator==(const Copia_Eventos&) const = default;
};

struct Fecha_Civil
{
    int anio = 1899;
    int mes = 12;
    int dia = 30;
    bool operator==(const Fecha_Civil&) const = default;
};

// Day number of the save-date field (days since 1899-12-30) and back.
double numeroDeFecha(const Fecha_Civil& f);
// Empty when the number is not finite or lies outside the years 100..9999.
std::optional<Fecha_Civil> fechaDeNumero(double dias);

using Imagen_Setpoints = std::array<std::uint8_t, 301>;
using Imagen_Actual = std::array<std::uint8_t, 401>;

// The fields of a record, as the program holds them (UTF-8 texts).
struct Datos_Archivo
{
    double Fecha = 0.0;
    std::string Programador;    // 20 characters
    std::string Nombre_Rele;    // 20 characters
    std::string Observaciones;  // 100 characters
    std::string Firmware_Rele;  // 8 characters, trailing blanks kept
    Imagen_Setpoints Put{};
    Imagen_Actual Actual{};
    Copia_Eventos Eventos;      // trimmed texts
};

class Registro_Archivo
{
public:
    static constexpr std::size_t Largo = 4268;

    static constexpr std::size_t Pos_Firma = 0, Largo_Firma = 50;
    static constexpr std::size_t Pos_Fecha = 50, Largo_Fecha = 8;
    static constexpr std::size_t Pos_Programador = 58, Largo_Programador = 20;
    static constexpr std::size_t Pos_Nombre = 78, Largo_Nombre = 20;
    static constexpr std::size_t Pos_Observaciones = 98, Largo_Observaciones = 100;
    static constexpr std::size_t Pos_Put = 198;
    static constexpr std::size_t Pos_Actual = 499;
    static constexpr std::size_t Pos_Textos = 900, Largo_Texto = 60;
    static constexpr std::size_t Pos_Valores = 2160, Largo_Valor = 10, Largo_Columna = 210;
    static constexpr std::size_t Pos_Firmware = 4260, Largo_Firmware = 8;
    static constexpr int Filas = 21;          // rows in the file
    static constexpr int Filas_Eventos = 20;  // rows written and read

    static constexpr std::size_t posTexto(int fila) { return Pos_Textos + Largo_Texto * fila; }
    static constexpr std::size_t posValor(int columna, int fila)
    {
        return Pos_Valores + Largo_Columna * (columna - 1) + Largo_Valor * fila;
    }

    using Bytes = std::array<std::uint8_t, Largo>;

    // A record of zero bytes, as held before any file was loaded.
    Registro_Archivo() = default;

    // The record of a file's bytes: needs at least Largo bytes (more are
    // ignored) and a signature that reads "KOVA2" once blanks are trimmed.
    static std::optional<Registro_Archivo> desdeBytes(std::span<const std::uint8_t> datos);

    // Writes every field except row 20 of the event texts and values.
    void escribir(const Datos_Archivo& d);
    // Reads every field: header texts untrimmed, event rows 0..19 trimmed.
    Datos_Archivo leer() const;

    bool firmaValida() const;
    const Bytes& bytes() const { return bytes_; }

private:
    void ponerTexto(std::size_t pos, std::size_t largo, std::string_view utf8);
    std::string texto(std::size_t pos, std::size_t largo) const;

    Bytes bytes_{};
};

} // namespace kova
