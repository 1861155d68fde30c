#pragma once
// Relay register encodings turned into numbers and texts: the image readers
// and the value formats the decoded-value table and the event record are
// written in.
//
// Formats take the register number; one in no block reads as 0 (never as
// the register at index 0). Readers take a byte index and read 0 outside
// their image. Scaled values are divided in double precision, then rounded
// to single precision.

#include "link/RegisterImages.h"
#include "link/TextTables.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kova {

// Actual-values image.
std::uint32_t Leer_Word_RX(const RegisterImages& im, int i);   // i 0..399, 0..65535
double Leer_Long_RX(const RegisterImages& im, int i);          // i 0..397, unsigned
int Bit_Activo(const RegisterImages& im, int bit, int i);      // 1 or 0
// Get image.
std::uint32_t Leer_Word_RX2(const RegisterImages& im, int i);  // i 0..299
std::uint32_t Leer_Long_RX2(const RegisterImages& im, int i);  // i 0..297
// (bit a set) + 2 (bit b set) + 4 (bit c set) of Leer_Word_RX2(i).
int Leer_Codigo_RX2(const RegisterImages& im, int a, int b, int c, int i);

// Unsigned 32 bits / 10. actual false reads the Get image.
float Formato_4(const RegisterImages& im, std::uint16_t reg, bool actual = true);
// Unsigned 16 bits / 10.
float Formato_4_1Word(const RegisterImages& im, std::uint16_t reg, bool actual = true);
// Signed 32 bits / 100 (actual values).
float Formato_5(const RegisterImages& im, std::uint16_t reg);
// Unsigned 32 bits / 100.
float Formato_6(const RegisterImages& im, std::uint16_t reg, bool actual = true);
// Unsigned 16 bits / 100.
float Formato_6_1Word(const RegisterImages& im, std::uint16_t reg, bool actual = true);
// Signed 16 bits / 100 as a general number text ("0", "1.5", "-0.01").
std::string Formato_19(const RegisterImages& im, std::uint16_t reg);
// Formato_19's number written with a digit pattern ("#0.#0"), computed
// exactly from the register.
std::string Formato_19_Patron(const RegisterImages& im, std::uint16_t reg, std::string_view pattern);
// IEEE single of two registers, high register first.
float Formato_7(const RegisterImages& im, std::uint16_t reg);

// Time stamp of three registers at byte index i (of the actual-values image,
// or of the Get image with actual false): "date time", or with eventoDate
// "cause,date time". An all-zero date or time is written "0"; fields that
// form no calendar date or time are written as they are.
std::string Formato_8(const RegisterImages& im, int i, bool actual, bool eventoDate, const TextTables& texts,
                      std::string_view datePattern);

} // namespace kova
