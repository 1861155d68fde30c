#include "link/RegisterImages.h"

#include "text/HexText.h"

#include <algorithm>

namespace kova {

RegisterImages& processImages()
{
    static RegisterImages images;
    return images;
}

namespace {

std::optional<std::uint32_t> addressValue(std::string_view address)
{
    if (address.size() > 4)
        return std::nullopt;
    return parseHex(address);
}

} // namespace

std::optional<std::uint16_t> Indice_Setpoint(std::string_view address)
{
    const auto reg = addressValue(address);
    return reg ? setpointIndex(*reg) : std::nullopt;
}

std::optional<std::uint16_t> Indice_ActualValue(std::string_view address)
{
    const auto reg = addressValue(address);
    return reg ? actualValueIndex(*reg) : std::nullopt;
}

int Bloque_De_Trama(const std::vector<std::uint8_t>& trama)
{
    if (trama.size() < 4 || trama[1] != 16)
        return 0;
    const int inicio = trama[2] * 256 + trama[3];
    for (std::size_t j = 0; j < Bloques_Setpoints.size(); ++j)
        if (Bloques_Setpoints[j].first == inicio)
            return static_cast<int>(j) + 1;
    return 0;
}

void copySetpointBlock(const SetpointImage& from, SetpointImage& to, int k)
{
    if (k < 1 || k > static_cast<int>(Bloques_Setpoints.size()))
        return;
    const RegisterBlock& b = Bloques_Setpoints[static_cast<std::size_t>(k - 1)];
    const auto start = static_cast<std::ptrdiff_t>(*setpointIndex(b.first));
    const auto stop = static_cast<std::ptrdiff_t>(*setpointIndex(b.last)) + 2; // past the last low byte
    std::copy(from.begin() + start, from.begin() + stop, to.begin() + start);
}

void Restaurar_Bloque(RegisterImages& images, int k)
{
    copySetpointBlock(images.get, images.put, k);
}

void Copiar_Put_A_Get(RegisterImages& images)
{
    images.get = images.put;
}

} // namespace kova
