#pragma once
// Two-range editor: step Inc_A at and below the change point Cambio_de_paso
// (going down) or below it (going up), Inc_B otherwise; always shown with
// scale Paso_A. A click at a limit does nothing at all. Keypad kind 2.

#include "editors/ValueEditorModel.h"

namespace kova {

class Word_DosR : public ValueEditorModel {
public:
    Word_DosR();

    // Number-or-text settings; they count as the numbers they spell.
    const NumOrText& Cambio_de_paso() const { return cambio_; }
    void setCambio_de_paso(const NumOrText& v);
    const NumOrText& Inc_A() const { return incA_; }
    void setInc_A(const NumOrText& v);
    const NumOrText& Inc_B() const { return incB_; }
    void setInc_B(const NumOrText& v);
    Decimal4 Paso_A() const { return pasoA_; }
    void setPaso_A(Decimal4 v);
    Decimal4 Paso_B() const { return pasoB_; }
    void setPaso_B(Decimal4 v);
    const std::string& Formato() const { return formato_; }
    void setFormato(const std::string& v);
    std::int16_t Pos_Texto() const { return posTexto_; }
    void setPos_Texto(std::int16_t v);

    const std::vector<Setting>& settings() const override;

protected:
    std::string textOf(std::int32_t v) const override;
    Decimal4 shownScale() const override { return pasoA_; }
    std::vector<StepRange> stepRanges() const override;
    bool clicksAtLimitCount() const override { return false; }
    bool arrowSetsDato() const override { return false; }
    bool fillKeypad(KeypadBlock& b) const override;
    std::string classProblem(bool forKeypad) const override;

private:
    NumOrText cambio_ = std::int32_t{0};
    NumOrText incA_ = std::int32_t{0};
    NumOrText incB_ = std::int32_t{0};
    Decimal4 pasoA_{};
    Decimal4 pasoB_{};
    std::string formato_ = "0";
    std::int16_t posTexto_ = 0;
};

} // namespace kova
