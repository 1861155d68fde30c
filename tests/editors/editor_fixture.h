#pragma once
// Shared set-up of the value editor tests: private register images with a
// sentinel in every Put byte, and counters of the editors' events.

#include "editors/KeypadBlock.h"
#include "editors/ValueEditorModel.h"
#include "link/RegisterImages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace kova::test {

class EditorFixture : public ::testing::Test {
protected:
    static constexpr std::uint8_t kSentinel = 0xA5;

    EditorFixture() { images.put.fill(kSentinel); }

    void bind(ValueEditorModel& m)
    {
        m.setImages(images);
        m.onChange = [this] { ++changes; };
        m.onClick = [this] { ++clicks; };
    }

    void setGet(int index, std::uint16_t v)
    {
        images.get[static_cast<size_t>(index)] = static_cast<std::uint8_t>(v >> 8);
        images.get[static_cast<size_t>(index) + 1] = static_cast<std::uint8_t>(v & 0xFF);
    }

    std::vector<int> put(int index, int count) const
    {
        std::vector<int> out;
        for (int i = 0; i < count; ++i)
            out.push_back(images.put[static_cast<size_t>(index + i)]);
        return out;
    }

    bool putUntouched() const
    {
        for (std::uint8_t b : images.put)
            if (b != kSentinel)
                return false;
        return true;
    }

    // Makes the keypad "return" the given result, recording the block it saw.
    void keypadReturns(ValueEditorModel& m, std::int32_t value, const std::string& hex)
    {
        keypadRuns = 0;
        m.keypadRunner = [this, value, hex] {
            ++keypadRuns;
            seen = keypadBlock();
            keypadBlock().Calc_Valor_Nuevo = value;
            keypadBlock().Calc_Dato_Hex = hex;
            keypadBlock().Calc_Tipo = 1;
        };
    }

    RegisterImages images;
    int changes = 0;
    int clicks = 0;
    int keypadRuns = 0;
    KeypadBlock seen;
};

inline Decimal4 dec(const char* s)
{
    return *Decimal4::parse(s);
}

} // namespace kova::test
