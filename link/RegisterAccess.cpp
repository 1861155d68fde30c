#include "link/RegisterAccess.h"

#include "text/HexText.h"

#include <array>

namespace kova {

namespace {

// True when bytes index .. index + count - 1 all lie in the image.
bool inImage(ImageIndex index, std::size_t count)
{
    return index && static_cast<std::size_t>(*index) + count <= RegisterImages::kSetpointBytes;
}

std::uint32_t readSetting(const SetpointImage& img, ImageIndex index, int dataLen, int high)
{
    if (dataLen == 0) {
        const std::size_t at = high == 1 ? 0 : 1;
        if (!inImage(index, at + 1))
            return 0;
        return img[*index + at];
    }
    if (dataLen == 1) {
        if (!inImage(index, 2))
            return 0;
        return static_cast<std::uint32_t>(img[*index]) << 8 | img[*index + 1u];
    }
    return 0;
}

bool bitSet(std::uint32_t w, int bit)
{
    return bit >= 0 && bit < 32 && ((w >> bit) & 1u) != 0;
}

// A bit that can be part of a register field.
bool registerBit(int bit) { return bit >= 0 && bit < 16; }

template <std::size_t N>
int decode(std::uint32_t w, const std::array<int, N>& bits)
{
    int r = 0;
    for (std::size_t k = 0; k < N; ++k)
        if (bitSet(w, bits[k]))
            r |= 1 << k;
    return r;
}

template <std::size_t N>
std::uint32_t encode(std::uint32_t w, const std::array<int, N>& bits, int value, int step)
{
    std::uint32_t mask = 0;
    for (int b : bits) {
        if (!registerBit(b))
            return w;
        mask |= 1u << b;
    }
    const std::int64_t c = static_cast<std::int64_t>(value) * step;
    if (c < 0 || c > (1 << N) - 1)
        return w;
    std::uint32_t r = w & ~mask;
    for (std::size_t k = 0; k < N; ++k)
        if ((c >> k) & 1)
            r |= 1u << bits[k];
    return r;
}

// The byte of characters [pos, pos + 2) of a hex text.
std::uint8_t pair(std::string_view text, std::size_t pos)
{
    if (pos >= text.size())
        return 0;
    return static_cast<std::uint8_t>(hexPrefix(text.substr(pos, 2)));
}

} // namespace

std::uint32_t Leer_Get(const RegisterImages& im, ImageIndex index, int dataLen, int high)
{
    return readSetting(im.get, index, dataLen, high);
}

std::uint32_t Leer_Put(const RegisterImages& im, ImageIndex index, int dataLen, int high)
{
    return readSetting(im.put, index, dataLen, high);
}

std::uint32_t Leer_Get_Largo(const RegisterImages& im, ImageIndex index, int dataLen, int high)
{
    if (dataLen == 0 && high != 0 && high != 1)
        return 0;
    if (dataLen == 2) {
        if (!inImage(index, 4))
            return 0;
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 4; ++k)
            v = v << 8 | im.get[*index + k];
        return v;
    }
    return readSetting(im.get, index, dataLen, high);
}

int Leer_Bit(const RegisterImages& im, int bit, ImageIndex index, int dataLen, int high)
{
    return bitSet(Leer_Get(im, index, dataLen, high), bit) ? 1 : 0;
}

int Decodificar_2_Bits(const RegisterImages& im, int b1, int b2, ImageIndex index, int dataLen, int high)
{
    return decode(Leer_Get(im, index, dataLen, high), std::array{b1, b2});
}

int Decodificar_3_Bits(const RegisterImages& im, int b1, int b2, int b3, ImageIndex index, int dataLen, int high)
{
    return decode(Leer_Get(im, index, dataLen, high), std::array{b1, b2, b3});
}

int Decodificar_4_Bits(const RegisterImages& im, int b1, int b2, int b3, int b4, ImageIndex index, int dataLen,
                       int high)
{
    return decode(Leer_Get(im, index, dataLen, high), std::array{b1, b2, b3, b4});
}

std::uint32_t Codificar_1_Bit(const RegisterImages& im, int value, int bit, ImageIndex index, int dataLen, int high)
{
    const std::uint32_t w = Leer_Put(im, index, dataLen, high);
    if (!registerBit(bit))
        return w;
    return value != 0 ? (w | 1u << bit) : (w & ~(1u << bit));
}

std::uint32_t Codificar_2_Bits(const RegisterImages& im, int b1, int b2, int value, ImageIndex index, int dataLen,
                               int high, int step)
{
    return encode(Leer_Put(im, index, dataLen, high), std::array{b1, b2}, value, step);
}

std::uint32_t Codificar_3_Bits(const RegisterImages& im, int b1, int b2, int b3, int value, ImageIndex index,
                               int dataLen, int high, int step)
{
    return encode(Leer_Put(im, index, dataLen, high), std::array{b1, b2, b3}, value, step);
}

std::uint32_t Codificar_4_Bits(const RegisterImages& im, int b1, int b2, int b3, int b4, int value, ImageIndex index,
                               int dataLen, int high, int step)
{
    return encode(Leer_Put(im, index, dataLen, high), std::array{b1, b2, b3, b4}, value, step);
}

void Escribir_Dato(RegisterImages& im, std::string_view text, ImageIndex index, int dataLen, int high)
{
    if (dataLen == 1) {
        if (!inImage(index, 2))
            return;
        im.put[*index] = pair(text, 0);
        im.put[*index + 1u] = pair(text, 2);
    } else if (dataLen == 0) {
        const std::size_t at = high == 1 ? 0 : 1;
        if (!inImage(index, at + 1))
            return;
        im.put[*index + at] = pair(text, 2);
    }
}

void Escribir_Registro(RegisterImages& im, ImageIndex index, std::string_view text, int dataLen, int high)
{
    if (dataLen == 2) {
        if (!inImage(index, 4))
            return;
        for (std::size_t k = 0; k < 4; ++k)
            im.put[*index + k] = pair(text, 2 * k);
    } else if (dataLen == 1) {
        if (!inImage(index, 2))
            return;
        im.put[*index] = pair(text, 4);
        im.put[*index + 1u] = pair(text, 6);
    } else if (dataLen == 0) {
        if (high != 0 && high != 1)
            return;
        const std::size_t at = high == 1 ? 0 : 1;
        if (!inImage(index, at + 1))
            return;
        const std::uint32_t v = hexPrefix(text);
        if (v > 255)
            return;
        im.put[*index + at] = static_cast<std::uint8_t>(v);
    }
}

} // namespace kova
