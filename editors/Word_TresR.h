#pragma once
// Three-range editor: ranges split at Cambio_A < Cambio_B, each with its
// own step, scale and pattern. An arrow step shows the new value with the
// pattern and scale of the range the value was in before the step; the
// initial and keypad texts use the value's own range pattern and Paso_A.
// A click at a limit does nothing at all. Keypad kind 3.

#include "editors/ValueEditorModel.h"

namespace kova {

class Word_TresR : public ValueEditorModel {
public:
    enum class Range { A, B, C };

    Word_TresR();

    Decimal4 Paso_A() const { return paso_[0]; }
    void setPaso_A(Decimal4 v);
    Decimal4 Paso_B() const { return paso_[1]; }
    void setPaso_B(Decimal4 v);
    Decimal4 Paso_C() const { return paso_[2]; }
    void setPaso_C(Decimal4 v);
    std::int32_t Inc_A() const { return inc_[0]; }
    void setInc_A(std::int32_t v);
    std::int32_t Inc_B() const { return inc_[1]; }
    void setInc_B(std::int32_t v);
    std::int32_t Inc_C() const { return inc_[2]; }
    void setInc_C(std::int32_t v);
    const std::string& FormatoA() const { return formato_[0]; }
    void setFormatoA(const std::string& v);
    const std::string& FormatoB() const { return formato_[1]; }
    void setFormatoB(const std::string& v);
    const std::string& FormatoC() const { return formato_[2]; }
    void setFormatoC(const std::string& v);
    Decimal4 Cambio_A() const { return cambioA_; }
    void setCambio_A(Decimal4 v);
    Decimal4 Cambio_B() const { return cambioB_; }
    void setCambio_B(Decimal4 v);

    // The range rules: before a step down, before a step up, and of a shown value.
    Range rangeDown(std::int32_t v) const;
    Range rangeUp(std::int32_t v) const;
    Range rangeShown(std::int32_t v) const;

    const std::vector<Setting>& settings() const override;

    // Also the texts next to each change point, in every range's pattern.
    std::vector<std::string> extremeTexts() const override;

protected:
    std::string textOf(std::int32_t v) const override;
    Decimal4 shownScale() const override { return paso_[0]; }
    std::vector<StepRange> stepRanges() const override;
    std::string textAfterStep(std::int32_t before, bool up) const override;
    bool clicksAtLimitCount() const override { return false; }
    bool arrowSetsDato() const override { return false; }
    bool fillKeypad(KeypadBlock& b) const override;
    std::string classProblem(bool forKeypad) const override;

private:
    Decimal4 paso_[3]{};
    std::int32_t inc_[3]{};
    std::string formato_[3] = {"0", "0", "0"};
    Decimal4 cambioA_{};
    Decimal4 cambioB_{};
};

} // namespace kova
