#pragma once
// Reading one setting from the Get image and writing one into the Put
// image, and the one- to four-bit field codecs on top of them.
//
// Width of a setting: DataLen 0 one byte (High 1 the register's high byte
// at the index, otherwise its low byte at index + 1), 1 one register, 2 two
// registers as one 32-bit value. Reads give numbers, writes take hex text.
//
// The index is the one the register map gives; a setting whose register
// has no index reads 0 and writes nothing, and so does any access that
// would reach past the image. Encoders only compute the new register value
// (the caller writes it back with Escribir_Dato); a combination that does
// not fit the field, or a bit past the register, returns the register
// unchanged.

#include "link/RegisterImages.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace kova {

using ImageIndex = std::optional<std::uint16_t>;

// DataLen 0: the byte chosen by High; 1: the register; other: 0.
std::uint32_t Leer_Get(const RegisterImages& im, ImageIndex index, int dataLen, int high);
std::uint32_t Leer_Put(const RegisterImages& im, ImageIndex index, int dataLen, int high);
// As Leer_Get, but DataLen 0 with High other than 0 or 1 gives 0, and
// DataLen 2 gives the 32-bit value.
std::uint32_t Leer_Get_Largo(const RegisterImages& im, ImageIndex index, int dataLen, int high);

// 1 when the bit of Leer_Get(...) is set, else 0.
int Leer_Bit(const RegisterImages& im, int bit, ImageIndex index, int dataLen, int high);

// Combination index of the field bits b1..bn of Leer_Get(...):
// (b1 set) + 2 (b2 set) + 4 (b3 set) + 8 (b4 set).
int Decodificar_2_Bits(const RegisterImages& im, int b1, int b2, ImageIndex index, int dataLen, int high);
int Decodificar_3_Bits(const RegisterImages& im, int b1, int b2, int b3, ImageIndex index, int dataLen, int high);
int Decodificar_4_Bits(const RegisterImages& im, int b1, int b2, int b3, int b4, ImageIndex index, int dataLen,
                       int high);

// Leer_Put(...) with the bit set (value != 0) or cleared (value == 0).
std::uint32_t Codificar_1_Bit(const RegisterImages& im, int value, int bit, ImageIndex index, int dataLen, int high);
// Leer_Put(...) with its field replaced by the bits of c = value x step.
std::uint32_t Codificar_2_Bits(const RegisterImages& im, int b1, int b2, int value, ImageIndex index, int dataLen,
                               int high, int step);
std::uint32_t Codificar_3_Bits(const RegisterImages& im, int b1, int b2, int b3, int value, ImageIndex index,
                               int dataLen, int high, int step);
std::uint32_t Codificar_4_Bits(const RegisterImages& im, int b1, int b2, int b3, int b4, int value, ImageIndex index,
                               int dataLen, int high, int step);

// Four-digit hex text: DataLen 1 writes characters 1-2 at the index and 3-4
// after it; DataLen 0 writes characters 3-4 into the byte chosen by High
// (High 1 the index, any other the byte after it); other DataLen nothing.
// A pair ends at its first non-hex character; a missing pair is 0.
void Escribir_Dato(RegisterImages& im, std::string_view text, ImageIndex index, int dataLen, int high);
// Eight-digit hex text: DataLen 2 writes the four bytes; DataLen 1 the
// lower two (characters 5-8); DataLen 0 the whole number, when it is 0..255,
// into the byte chosen by High (1 the index, 0 the byte after it, other
// nothing); other DataLen nothing.
void Escribir_Registro(RegisterImages& im, ImageIndex index, std::string_view text, int dataLen, int high);

} // namespace kova
