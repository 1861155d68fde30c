#include "pages/SETPAGE2.h"

#include "link/RegisterAccess.h"
#include "pages/PageHost.h"
#include "text/HexText.h"

namespace kova {

namespace {

constexpr int kBit1 = 5;
constexpr int kBit2 = 6;
// "Residual" and "Zero Sequence": field values 1 and 2.
constexpr int kItems = 2;

ImageIndex groundSensing() { return setpointIndex(0x0101); }

} // namespace

void SETPAGE2::beforeReads(PageHost& host)
{
    host.setHabilitaReset(false);
}

int SETPAGE2::comboItem(const std::string& combo, const RegisterImages& images) const
{
    if (combo != "Combo1")
        return -1;
    return Decodificar_2_Bits(images, kBit1, kBit2, groundSensing(), 1, 1) - 1;
}

void SETPAGE2::comboChosen(const std::string& combo, int item, RegisterImages& images) const
{
    if (combo != "Combo1")
        return;
    const std::uint32_t v = Codificar_2_Bits(images, kBit1, kBit2, item + 1, groundSensing(), 1, 1, 1);
    Escribir_Dato(images, hex4word(v), groundSensing(), 1, 1);
}

std::vector<PageBehaviour::ComboBits> SETPAGE2::comboBits() const
{
    return {{"Combo1", "0101", {kBit1, kBit2}, kItems}};
}

} // namespace kova
