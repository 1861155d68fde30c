#include "link/EventLog.h"

#include "link/ValueFormats.h"
#include "text/NumberText.h"

#include <algorithm>
#include <string>

namespace kova {

namespace {

constexpr int at(std::uint16_t reg) { return *actualValueIndex(reg); }

static_assert(at(0x0600) == 266 && at(0x0610) == 298 && at(0x0611) == 300 && at(0x0625) == 340);

} // namespace

std::uint16_t EventLog::newestIn(const RegisterImages& im)
{
    return static_cast<std::uint16_t>(Leer_Word_RX(im, at(0x0600)));
}

std::uint16_t EventLog::seleccionar(const RegisterImages& im, int n)
{
    const std::uint16_t newest = newestIn(im);
    if (n > static_cast<int>(newest)) {
        Write_NotEvent(n);
        return 1;
    }
    if (n == 1 && newest < kRows)
        Write_NotEvent(newest + 1);
    return static_cast<std::uint16_t>(newest - n + 1);
}

void EventLog::Write_NotEvent(int start)
{
    for (int i = std::max(start, 1); i <= kRows; ++i)
        table_.set(kFirstPosition - 1 + i, texts_.causa(0));
}

bool EventLog::Evento_Incompleto(int n) const
{
    const int m = std::min(n, kRows);
    for (int i = 0; i < m; ++i)
        if (table_.DatosDeVariables(kFirstPosition + i).isEmpty())
            return true;
    return false;
}

void EventLog::Procesar_Bloque_0600(const RegisterImages& im, std::string_view datePattern)
{
    const auto k = static_cast<std::uint16_t>(Leer_Word_RX(im, at(0x0610)));
    const std::uint16_t newest = newestIn(im);
    ultimo_ = newest;
    const std::string stamp = Formato_8(im, at(0x0611), true, true, texts_, datePattern);

    if (newest < kRows)
        Write_NotEvent(newest + 1);

    const int r = static_cast<int>(newest) - static_cast<int>(k);
    if (r < 0 || r >= kRows)
        return;
    table_.set(position(0, r), integerText(k) + "," + stamp);
    static constexpr std::uint16_t kCurrents[] = {0x0614, 0x0616, 0x0618, 0x061A, 0x061C};
    for (int c = 0; c < 5; ++c)
        table_.set(position(1 + c, r), formatPattern(Formato_6(im, kCurrents[c]), "###0.#0"));
    static constexpr std::uint16_t kVoltages[] = {0x061E, 0x0620, 0x0622};
    for (int c = 0; c < 3; ++c)
        table_.set(position(6 + c, r), Formato_4(im, kVoltages[c]));
    table_.set(position(9, r), formatPattern(Formato_6_1Word(im, 0x0624), "###0.#0"));
    table_.set(position(10, r), Formato_19_Patron(im, 0x0625, "#0.#0"));
}

void EventLog::Ultimo_Evento(const RegisterImages& im, std::string_view datePattern)
{
    table_.set(312, static_cast<std::int32_t>(newestIn(im)));
    table_.set(313, Formato_8(im, at(0x0601), true, true, texts_, datePattern));
}

int EventLog::eventosPorRevisar(std::uint16_t newest)
{
    if (newest > kRows)
        return kRows - 1;
    if (newest == 0)
        return 1;
    return newest - 1;
}

} // namespace kova
