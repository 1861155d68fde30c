#pragma once
// The value model shared by the value editors: a raw register value read
// from the Get image, shown as value x scale in a digit pattern with a unit,
// stepped by the arrows or typed on the keypad, and written into the Put
// image at once. The classes Byte_UnR, Word_UnR, Word_DosR and Word_TresR
// add their own steps, scales, display and persisted keys.
//
// Safety rules kept by every editor:
// - an editor without a register position writes nothing;
// - the arrows never leave [Min, Max] intersected with the register width;
// - an arrow from a value off the grid of the editor's steps (as read from a
//   relay or a file) goes to the grid's next value in its direction, so the
//   value shown is again exactly the value written;
// - a value that does not fit the width is never written;
// - a zero scale or a step below 1 never opens the keypad.

#include "editors/KeypadBlock.h"
#include "editors/PropertyBag.h"
#include "editors/PropertyHost.h"
#include "link/RegisterImages.h"
#include "text/NumOrText.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kova {

class ValueEditorModel : public PropertyHost {
public:

    // Events to the host.
    std::function<void()> onChange;  // after an arrow click that counts
    std::function<void()> onClick;   // after the keypad has closed
    // The shown text changed (Text1 must show Text()).
    std::function<void()> onTextShown;
    // Shows the keypad modally on keypadBlock(); returns when it has closed.
    std::function<void()> keypadRunner;

    // Members common to the value editors.
    const std::string& Text() const { return text_; }
    void setText(const std::string& t);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool e);
    std::int32_t Value() const { return value_; }
    void setValue(std::int32_t v);
    std::int32_t Min() const { return min_; }
    void setMin(std::int32_t v);
    std::int32_t Max() const { return max_; }
    void setMax(std::int32_t v);
    const std::string& Medida() const { return medida_; }
    void setMedida(const std::string& v);
    const std::string& Direccion() const { return direccion_; }
    void setDireccion(const std::string& v);
    const std::string& Titulo() const { return titulo_; }
    void setTitulo(const std::string& v);
    std::int16_t DataLen() const { return dataLen_; }
    void setDataLen(std::int16_t v);
    std::int16_t High() const { return high_; }
    void setHigh(std::int16_t v);
    const NumOrText& Dato() const { return dato_; }
    void setDato(const NumOrText& v);
    const std::string& valor() const { return valor_; }

    // Text1's persisted look (applied by the widget).
    std::uint32_t textBackColor() const { return textBackColor_; }
    void setTextBackColor(std::uint32_t c);
    double fontSize() const { return fontSize_; }
    void setFontSize(double s);
    const std::string& font() const { return font_; }  // "" = the host's font
    void setFont(const std::string& f);

    // The register position found by the last Inicializacion.
    std::optional<std::uint16_t> indice() const { return indice_; }

    // The images read and written (the program's own unless replaced).
    RegisterImages& images() const { return *images_; }
    void setImages(RegisterImages& im) { images_ = &im; }

    // Loads the register from the Get image and shows it; false when the
    // address lies in no setpoint block (then nothing is read).
    bool Inicializacion();
    // User actions.
    void arrowUp() { arrow(true); }
    void arrowDown() { arrow(false); }
    void keypad();

    // Settings that make the arrows or the keypad unusable; empty when none.
    std::string configProblem(bool forKeypad) const;
    // True when edits could not be stored (the arrows and keypad are off).
    virtual bool readOnly() const;

    // The raw limits the arrows and the keypad respect: [Min, Max]
    // intersected with what the register width can hold.
    std::int64_t lowLimit() const;
    std::int64_t highLimit() const;
    // The raw range the register width (DataLen, High) can hold; nothing
    // for a width that stores no value.
    std::optional<std::pair<std::int64_t, std::int64_t>> widthRange() const;
    // The texts among which the widest the editor can show is: those of
    // the lowest and the highest value the arrows and the keypad allow
    // (none when the limits cross). A widget makes its field that wide.
    virtual std::vector<std::string> extremeTexts() const;
    // The text the editor shows for the raw value v.
    std::string textFor(std::int32_t v) const { return textOf(v); }
    // The raw value v x the scale the editor shows it with, in every decimal
    // that scale has, then the unit: where the pattern rounds (600.01 shown
    // as "600"), this text still tells any two raw values apart.
    std::string exactTextFor(std::int32_t v) const;


protected:
    // The text the editor shows for the raw value v.
    virtual std::string textOf(std::int32_t v) const = 0;
    // The scale textOf multiplies the raw value by.
    virtual Decimal4 shownScale() const = 0;
    // The text for the value now held (Inicializacion and keypad path).
    std::string shownText() const { return textOf(value_); }
    // One range of the arrows' steps: `step` from the change point `from`
    // on (the first range's `from` is not read: it starts at the low limit).
    struct StepRange {
        Decimal4 from;
        std::int64_t step = 0;
    };
    // The ranges of the editor's steps, lowest first; none when the settings
    // give no usable step.
    virtual std::vector<StepRange> stepRanges() const = 0;
    // The text after an arrow step; by default the shown text.
    virtual std::string textAfterStep(std::int32_t before, bool up) const;
    // Byte_UnR and Word_UnR write back and raise Change also at a limit.
    virtual bool clicksAtLimitCount() const = 0;
    virtual bool arrowSetsDato() const = 0;
    // Fills the keypad block; false when the settings do not allow it.
    virtual bool fillKeypad(KeypadBlock& b) const = 0;
    // Stores the value (known to fit the width) at the register position;
    // by default as an eight-digit hex text through the register writer.
    virtual void store(std::uint16_t index, std::int32_t v) const;
    // Extra checks of the class (steps, scales, change points).
    virtual std::string classProblem(bool forKeypad) const = 0;

    // The block fields every keypad kind takes: kind, title, limits, the
    // value now held and the unit.
    void fillKeypadCommon(KeypadBlock& b, std::uint8_t tipo) const;
    // A raw value as a four-decimal number, to compare with change points.
    static Decimal4 asDecimal(std::int32_t v) { return Decimal4::fromCount(std::int64_t{v} * Decimal4::kScale); }

    void show(const std::string& text);
    void writeBack() const;
    void warn(const std::string& what) const;

    // Text of v x scale in pattern, one blank, then Medida.
    std::string displayText(std::int32_t v, Decimal4 scale, const std::string& pattern) const;
    // 1 / scale in four decimals, rounded half to even; nothing for 0.
    static std::optional<Decimal4> factorOf(Decimal4 scale);

    std::string text_ = "Text1";
    bool enabled_ = true;
    std::int32_t value_ = 0;
    std::int32_t min_ = 0;
    std::int32_t max_ = 0;
    std::string medida_ = "0";
    std::string direccion_ = "0";
    std::string titulo_ = "0";
    std::int16_t dataLen_ = 0;
    std::int16_t high_ = 0;
    NumOrText dato_ = std::int32_t{0};
    std::string valor_;
    std::uint32_t textBackColor_ = 0x80000005u;
    double fontSize_ = 8.25;
    std::string font_;
    std::optional<std::uint16_t> indice_;
    RegisterImages* images_ = &processImages();

private:
    void arrow(bool up);
    // The value an arrow goes to from the value held, within the limits;
    // nothing when the settings give no usable step. On the grid of the
    // steps, one step of its range; off it, the grid's next value in the
    // arrow's direction. The grid runs from the low limit in the first
    // range's step; each further range's grid starts at the first value of
    // the one below at or above its change point.
    std::optional<std::int64_t> nextOnGrid(bool up) const;
};

// Rows every value editor's table starts with: Text, Text1's BackColor,
// Enabled, FontSize and Font.
std::vector<ValueEditorModel::Setting> commonLeadingSettings();

} // namespace kova
