#pragma once
// One-range editor of a register (or one byte of it): value x Paso in the
// pattern Formato, arrows step by SmallChange, keypad kind 1, write-back as
// an eight-digit hex text. A click at a limit still writes back and raises
// Change. Paso is held to four decimals.

#include "editors/ValueEditorModel.h"

namespace kova {

class Byte_UnR : public ValueEditorModel {
public:
    Byte_UnR();

    Decimal4 Paso() const { return paso_; }
    void setPaso(Decimal4 v);
    const std::string& Formato() const { return formato_; }
    void setFormato(const std::string& v);
    std::int32_t SmallChange() const { return smallChange_; }
    void setSmallChange(std::int32_t v);
    std::uint32_t BackColor() const { return backColor_; }
    void setBackColor(std::uint32_t v);
    std::int16_t Pos_Texto() const { return posTexto_; }
    void setPos_Texto(std::int16_t v);

    // The write-back alone; raises nothing and always returns false.
    bool Actualizar();
    // Eight upper-case hex digits of v (two's complement when negative).
    static std::string Cambio(std::int32_t v);

    const std::vector<Setting>& settings() const override;

protected:
    std::string textOf(std::int32_t v) const override;
    Decimal4 shownScale() const override { return paso_; }
    std::vector<StepRange> stepRanges() const override;
    bool clicksAtLimitCount() const override { return true; }
    bool arrowSetsDato() const override { return true; }
    bool fillKeypad(KeypadBlock& b) const override;
    std::string classProblem(bool forKeypad) const override;

    Decimal4 paso_{};
    std::string formato_ = "0";
    std::int32_t smallChange_ = 0;
    std::uint32_t backColor_ = 0;
    std::int16_t posTexto_ = 0;
};

// Word_UnR: as Byte_UnR with an exact four-decimal Paso, write-back through
// the four-digit writer (one byte or one register), arrows that leave Dato
// alone, and no BackColor member. Two-register width cannot be written, so
// such an editor is read-only.
class Word_UnR : public Byte_UnR {
public:
    Word_UnR();
    bool readOnly() const override;
    const std::vector<Setting>& settings() const override;

protected:
    bool arrowSetsDato() const override { return false; }
    void store(std::uint16_t index, std::int32_t v) const override;
};

} // namespace kova
