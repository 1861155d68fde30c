#pragma once
// Test helpers: write relay registers into the images by register number.

#include "link/RegisterImages.h"

#include <cstdint>
#include <initializer_list>
#include <stdexcept>

namespace kova::test {

inline void setActual(RegisterImages& im, std::uint16_t reg, std::initializer_list<int> words)
{
    auto i = actualValueIndex(reg);
    if (!i)
        throw std::logic_error("register in no block");
    std::size_t at = *i;
    for (int w : words) {
        im.actual.at(at++) = static_cast<std::uint8_t>((w >> 8) & 0xFF);
        im.actual.at(at++) = static_cast<std::uint8_t>(w & 0xFF);
    }
}

inline void setGet(RegisterImages& im, std::uint16_t reg, int w)
{
    const std::size_t at = *setpointIndex(reg);
    im.get.at(at) = static_cast<std::uint8_t>((w >> 8) & 0xFF);
    im.get.at(at + 1) = static_cast<std::uint8_t>(w & 0xFF);
}

} // namespace kova::test
