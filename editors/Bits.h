#pragma once
// Bit-field selector: a pick-only list of named options bound to one to
// four bits (Tipo 0..3, bit numbers Bit1..Bit4 with weights 1, 2, 4, 8) of
// one setpoint register. List position k stands for the field value
// k x Paso. Inicializacion selects the option the Get image holds; every
// selection writes the field into the Put register, keeping its other bits,
// and raises Click.
//
// Safety rules: a value that names no option leaves the list unselected and
// writes nothing; a choice whose code does not fit the field is refused; a
// selector without a register position, or with settings it cannot honour
// (Paso below 1, bits outside the register), writes nothing.

#include "editors/PropertyHost.h"
#include "link/RegisterImages.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kova {

class Bits : public PropertyHost {
public:
    Bits();

    // Events and list hand-over to the widget.
    std::function<void()> onClick;
    std::function<void()> onItemsAppended;     // List() grew
    std::function<void()> onSelectionShown;    // ListIndex() changed

    // Settings.
    std::uint32_t BackColor() const { return backColor_; }
    void setBackColor(std::uint32_t v);
    std::uint32_t ForeColor() const { return foreColor_; }
    void setForeColor(std::uint32_t v);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool v);
    const std::string& Font() const { return font_; }  // "" = the host's font
    void setFont(const std::string& v);
    std::uint8_t Bit(int n) const { return bits_[static_cast<size_t>(n - 1)]; }  // n = 1..4
    bool setBit(int n, std::uint8_t v);  // false (unchanged) for a bit past 15
    std::uint8_t Bit1() const { return Bit(1); }
    std::uint8_t Bit2() const { return Bit(2); }
    std::uint8_t Bit3() const { return Bit(3); }
    std::uint8_t Bit4() const { return Bit(4); }
    const std::string& Direccion() const { return direccion_; }
    void setDireccion(const std::string& v);
    std::int16_t Tipo() const { return tipo_; }
    void setTipo(std::int16_t v);
    const std::string& Nombre(int n) const { return nombre_[static_cast<size_t>(n - 1)]; }  // 1..16
    void setNombre(int n, const std::string& v);
    std::int16_t BackStyle() const { return backStyle_; }
    void setBackStyle(std::int16_t v);
    std::int16_t Cantidad_Items() const { return cantidad_; }
    void setCantidad_Items(std::int16_t v);
    std::int16_t Pos_Texto() const { return posTexto_; }
    void setPos_Texto(std::int16_t v);
    std::int16_t DataLen() const { return dataLen_; }
    void setDataLen(std::int16_t v);
    std::int16_t High() const { return high_; }
    void setHigh(std::int16_t v);
    std::int16_t Paso() const { return paso_; }
    void setPaso(std::int16_t v);

    // The list.
    const std::vector<std::string>& List() const { return items_; }
    int ListCount() const { return static_cast<int>(items_.size()); }
    int ListIndex() const { return listIndex_; }
    const std::string& valor() const { return valor_; }

    // Appends the options by Tipo and Cantidad_Items; always false.
    bool Crear_Items();
    // Selects the option the Get image holds and runs the selection
    // handling; false when the register has no position.
    bool Inicializacion();
    // The field's value (0 to 15) that the Get image holds at the
    // selector's register, before Paso divides it; 0 without a position.
    int fieldValue() const;
    // A pick of list position k by the user.
    void pick(int k);

    // Settings that keep the selector from writing; empty when none.
    std::string configProblem() const;

    RegisterImages& images() const { return *images_; }
    void setImages(RegisterImages& im) { images_ = &im; }
    std::optional<std::uint16_t> indice() const { return indice_; }

    const std::vector<Setting>& settings() const override;

private:
    // Writes the field for list position k; false when the code does not fit.
    bool writeField(int k);
    void select(int k);
    int fieldBits() const { return tipo_ + 1; }

    std::uint32_t backColor_ = 0x80000005u;
    std::uint32_t foreColor_ = 0x80000008u;
    bool enabled_ = true;
    std::string font_;
    std::array<std::uint8_t, 4> bits_{};
    std::string direccion_ = "0";
    std::int16_t tipo_ = 0;
    std::array<std::string, 16> nombre_;
    std::int16_t backStyle_ = 0;
    std::int16_t cantidad_ = 0;
    std::int16_t posTexto_ = 0;
    std::int16_t dataLen_ = 0;
    std::int16_t high_ = 0;
    std::int16_t paso_ = 1;

    std::vector<std::string> items_;
    int listIndex_ = -1;
    std::string valor_;
    std::optional<std::uint16_t> indice_;
    RegisterImages* images_ = &processImages();
};

} // namespace kova
