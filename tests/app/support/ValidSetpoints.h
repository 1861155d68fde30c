#pragma once
// Setpoint images that pass the check a send makes: the simulated relay's
// own tables, and a busy pattern whose out-of-range settings are mended.

#include "pages/FormControls.h"
#include "pages/FormLoader.h"
#include "pages/PageBehaviour.h"
#include "pages/SetpointRangeCheck.h"
#include "link/DefaultSetpoints.h"

#include <cstdint>

namespace kova::test {

inline void putSetpointWord(SetpointImage& image, std::uint32_t reg, std::uint16_t value)
{
    const auto i = *setpointIndex(reg);
    image[i] = static_cast<std::uint8_t>(value >> 8);
    image[i + 1u] = static_cast<std::uint8_t>(value & 0xFF);
}

// The simulated relay's setpoints at start (its alternative table when asked).
inline SetpointImage simSetpoints(bool alternative = false)
{
    SetpointImage image{};
    for (const auto& block : relaysim::kDefaultSetpointBlocks)
        for (std::size_t r = 0; r < block.count; ++r)
            putSetpointWord(image, block.first + static_cast<std::uint32_t>(r), block.values[r]);
    if (alternative)
        for (const auto& change : relaysim::kAlternativeSetpointChanges)
            putSetpointWord(image, change.reg, change.value);
    return image;
}

// Byte i is (37 i + 11) mod 256, except in the registers where that puts a
// setting outside its range: those hold the simulated relay's default.
inline SetpointImage patternWithinRanges()
{
    SetpointImage image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>((37 * i + 11) % 256);
    const SetpointImage sim = simSetpoints();
    for (const RangeProblem& p : setpointRangeProblems(image))
        if (const auto i = setpointIndex(p.reg)) {
            image[*i] = sim[*i];
            image[*i + 1u] = sim[*i + 1u];
        }
    return image;
}

// The simulator's setpoints with every setting of every setpoint page at the
// lowest (or highest) value its control accepts: editors (each on a whole
// register) at Min (Max), selectors and combos at their first (last) item.
inline SetpointImage boundarySetpoints(bool highest)
{
    RegisterImages images;
    images.put = simSetpoints();
    for (const std::string& name : pageFormNames()) {
        const auto form = name.rfind("SETPAGE", 0) == 0 ? loadPageForm(name) : std::nullopt;
        if (!form)
            continue;
        forEachFormControl(*form, [&](const FormControl& c) {
            if (c.editor) {
                const std::int32_t v = highest ? c.editor->Max() : c.editor->Min();
                putSetpointWord(images.put, *c.reg, static_cast<std::uint16_t>(v));
                return;
            }
            c.selector->setImages(images);
            c.selector->Crear_Items();
            c.selector->pick(highest ? c.selector->ListCount() - 1 : 0);
        });
        const auto behaviour = behaviourFor(name);
        for (const auto& [combo, items] : form->combos)
            behaviour->comboChosen(combo, highest ? static_cast<int>(items.size()) - 1 : 0, images);
    }
    return images.put;
}

} // namespace kova::test
