#pragma once
// Input registers of the simulated relay at start: identification, status,
// actual values and the generated event record. Plain C++ so that tests can
// compute what the simulator answers.

#include <array>
#include <cstddef>
#include <cstdint>

namespace kova::relaysim {

// Identification, input registers 0x0000-0x0003.
inline constexpr std::uint16_t kDeviceType = 22;
inline constexpr std::uint16_t kModel = 1;
inline constexpr std::uint16_t kVersion = 101;

// Relay status 0x0203: breaker closed (bit 7), auto-reclose enabled (bit 9).
inline constexpr std::uint16_t kDefaultStatus = 0x0280;

struct RegisterValue {
    std::uint16_t reg;
    std::uint16_t value;
};

// Helpers for 32-bit values held in two registers, high register first.
constexpr std::uint16_t hi16(std::uint32_t v) { return static_cast<std::uint16_t>(v >> 16); }
constexpr std::uint16_t lo16(std::uint32_t v) { return static_cast<std::uint16_t>(v & 0xFFFF); }

// Date-and-time stamp of three registers (also the clock layout):
// w1 = cause << 7 | (year - 2000), w2 = month << 10 | day << 5 | hour,
// w3 = minute << 10 | tenths of a second.
struct Stamp {
    std::uint16_t w1, w2, w3;
};

constexpr Stamp makeStamp(int cause, int year, int month, int day, int hour, int minute,
                          int second)
{
    return Stamp{static_cast<std::uint16_t>((cause << 7) | ((year - 2000) & 0x7F)),
                 static_cast<std::uint16_t>((month << 10) | (day << 5) | hour),
                 static_cast<std::uint16_t>((minute << 10) | (second * 10))};
}

inline constexpr Stamp kEnergyClearStamp = makeStamp(0, 2005, 1, 15, 8, 30, 0);
inline constexpr Stamp kMaxAmpsDemandStamp = makeStamp(0, 2005, 6, 3, 14, 15, 20);
inline constexpr Stamp kMaxKwDemandStamp = makeStamp(0, 2005, 6, 3, 14, 30, 0);
inline constexpr Stamp kMaxKvarDemandStamp = makeStamp(0, 2005, 6, 4, 10, 45, 30);
inline constexpr Stamp kLastTripStamp = makeStamp(50, 2005, 7, 10, 16, 42, 17);

// Actual values (function 4), plausible and non-zero. Units as the relay
// sends them: currents in hundredths of an ampere, voltages in tenths of a
// volt, powers in hundredths of kW/kvar/kVA, frequency in hundredths of a
// hertz, power factor in hundredths.
inline constexpr RegisterValue kActualValues[] = {
    // 0x020D-0x0226: currents and voltages
    {0x020D, hi16(12540)}, {0x020E, lo16(12540)},     // Ia 125.40 A
    {0x020F, hi16(12380)}, {0x0210, lo16(12380)},     // Ib 123.80 A
    {0x0211, hi16(12610)}, {0x0212, lo16(12610)},     // Ic 126.10 A
    {0x0213, hi16(125)}, {0x0214, lo16(125)},         // Ig 1.25 A
    {0x0215, hi16(230)}, {0x0216, lo16(230)},         // I2 2.30 A
    {0x0217, hi16(138000)}, {0x0218, lo16(138000)},   // Vab 13800.0 V
    {0x0219, hi16(137950)}, {0x021A, lo16(137950)},   // Vbc 13795.0 V
    {0x021B, hi16(138050)}, {0x021C, lo16(138050)},   // Vca 13805.0 V
    {0x021D, hi16(79674)}, {0x021E, lo16(79674)},     // Van 7967.4 V
    {0x021F, hi16(79650)}, {0x0220, lo16(79650)},     // Vbn 7965.0 V
    {0x0221, hi16(79700)}, {0x0222, lo16(79700)},     // Vcn 7970.0 V
    {0x0223, hi16(12510)}, {0x0224, lo16(12510)},     // average current 125.10 A
    {0x0225, hi16(138000)}, {0x0226, lo16(138000)},   // average line voltage 13800.0 V
    // 0x022F-0x0247: powers and power factor
    {0x022F, hi16(285000)}, {0x0230, lo16(285000)},   // P 2850.00 kW
    {0x0231, hi16(95000)}, {0x0232, lo16(95000)},     // Q 950.00 kvar
    {0x0233, hi16(300417)}, {0x0234, lo16(300417)},   // S 3004.17 kVA
    {0x0235, hi16(95000)}, {0x0236, lo16(95000)},     // Pa 950.00 kW
    {0x0237, hi16(94800)}, {0x0238, lo16(94800)},     // Pb 948.00 kW
    {0x0239, hi16(95200)}, {0x023A, lo16(95200)},     // Pc 952.00 kW
    {0x023B, hi16(31667)}, {0x023C, lo16(31667)},     // Qa 316.67 kvar
    {0x023D, hi16(31600)}, {0x023E, lo16(31600)},     // Qb 316.00 kvar
    {0x023F, hi16(31733)}, {0x0240, lo16(31733)},     // Qc 317.33 kvar
    {0x0241, hi16(100139)}, {0x0242, lo16(100139)},   // Sa 1001.39 kVA
    {0x0243, hi16(99928)}, {0x0244, lo16(99928)},     // Sb 999.28 kVA
    {0x0245, hi16(100350)}, {0x0246, lo16(100350)},   // Sc 1003.50 kVA
    {0x0247, 95},                                     // PF 0.95
    // 0x024B-0x0252: frequency, current unbalance
    {0x024B, 6000},                                   // 60.00 Hz
    {0x0250, 12}, {0x0251, 8}, {0x0252, 15},          // unbalance 1.2, 0.8, 1.5 %
    // 0x025E-0x0269: phase sequence, energies, energy-clear stamp
    {0x025E, 1},                                      // A-B-C
    {0x025F, hi16(123456)}, {0x0260, lo16(123456)},   // +kWh
    {0x0261, hi16(120)}, {0x0262, lo16(120)},         // -kWh
    {0x0263, hi16(45678)}, {0x0264, lo16(45678)},     // +kvarh
    {0x0265, hi16(30)}, {0x0266, lo16(30)},           // -kvarh
    {0x0267, kEnergyClearStamp.w1}, {0x0268, kEnergyClearStamp.w2},
    {0x0269, kEnergyClearStamp.w3},
    // 0x026A-0x027E: demand
    {0x026A, hi16(11850)}, {0x026B, lo16(11850)},     // last amps demand 118.50 A
    {0x026C, hi16(270000)}, {0x026D, lo16(270000)},   // last kW demand 2700.00
    {0x026E, hi16(90000)}, {0x026F, lo16(90000)},     // last kvar demand 900.00
    {0x0270, hi16(16025)}, {0x0271, lo16(16025)},     // max amps demand 160.25 A
    {0x0272, kMaxAmpsDemandStamp.w1}, {0x0273, kMaxAmpsDemandStamp.w2},
    {0x0274, kMaxAmpsDemandStamp.w3},
    {0x0275, hi16(340000)}, {0x0276, lo16(340000)},   // max kW demand 3400.00
    {0x0277, kMaxKwDemandStamp.w1}, {0x0278, kMaxKwDemandStamp.w2},
    {0x0279, kMaxKwDemandStamp.w3},
    {0x027A, hi16(115000)}, {0x027B, lo16(115000)},   // max kvar demand 1150.00
    {0x027C, kMaxKvarDemandStamp.w1}, {0x027D, kMaxKvarDemandStamp.w2},
    {0x027E, kMaxKvarDemandStamp.w3},
    // 0x027F-0x0293: last trip
    {0x027F, kLastTripStamp.w1}, {0x0280, kLastTripStamp.w2}, {0x0281, kLastTripStamp.w3},
    {0x0282, hi16(84520)}, {0x0283, lo16(84520)},     // Ia 845.20 A
    {0x0284, hi16(83010)}, {0x0285, lo16(83010)},     // Ib 830.10 A
    {0x0286, hi16(85100)}, {0x0287, lo16(85100)},     // Ic 851.00 A
    {0x0288, hi16(320)}, {0x0289, lo16(320)},         // Ig 3.20 A
    {0x028A, hi16(1240)}, {0x028B, lo16(1240)},       // I2 12.40 A
    {0x028C, hi16(136500)}, {0x028D, lo16(136500)},   // Vab 13650.0 V
    {0x028E, hi16(136400)}, {0x028F, lo16(136400)},   // Vbc 13640.0 V
    {0x0290, hi16(136600)}, {0x0291, lo16(136600)},   // Vca 13660.0 V
    {0x0292, 5998},                                   // 59.98 Hz
    {0x0293, 87},                                     // PF 0.87
    // 0x02D0-0x02D6: maintenance counters
    {0x02D0, 12},                                     // trips
    {0x02D1, 45}, {0x02D2, 47}, {0x02D3, 44},         // accumulated kA per phase
    {0x02D4, 9},                                      // phase O/C trips
    {0x02D5, 3},                                      // ground O/C trips
    {0x02D6, 27},                                     // openings
};

// Registers of one event record, as read at 0x0610-0x0625: event number,
// stamp with cause, five currents (32-bit), three voltages (32-bit),
// frequency, power factor (signed).
inline constexpr std::size_t kEventRecordLength = 22;
using EventRecord = std::array<std::uint16_t, kEventRecordLength>;

// Causes the generated events cycle through (all have a cause text).
inline constexpr std::array<std::uint16_t, 15> kEventCauses = {
    50, 5, 4, 26, 27, 61, 21, 20, 70, 80, 34, 7, 6, 91, 53};

// Event k of a relay started with --events N (1 <= k <= N): a fixed record
// that depends on k only, so that tests can predict every text.
constexpr Stamp generatedEventStamp(std::uint16_t k)
{
    const int i = k - 1;
    return makeStamp(kEventCauses[static_cast<std::size_t>(i) % kEventCauses.size()], 2005,
                     1 + (i / 28) % 12, 1 + i % 28, (k * 5) % 24, (k * 7) % 60, (k * 11) % 60);
}

constexpr EventRecord generatedEvent(std::uint16_t k)
{
    const Stamp s = generatedEventStamp(k);
    const std::uint32_t m = k % 1000u;
    const std::uint32_t v = k % 100u;
    const std::uint32_t ia = 10000 + 37 * m, ib = 10100 + 29 * m, ic = 9900 + 31 * m;
    const std::uint32_t ig = 50 + m, i2 = 120 + 3 * m;
    const std::uint32_t vab = 138000 - 10 * v, vbc = 137900 - 10 * v, vca = 138100 - 10 * v;
    const std::uint16_t freq = static_cast<std::uint16_t>(6000 - k % 20);
    const int pf = (k % 4 == 3) ? -(90 - static_cast<int>(k % 10)) : 90 - static_cast<int>(k % 10);
    return EventRecord{k,         s.w1,      s.w2,      s.w3,      hi16(ia),  lo16(ia),
                       hi16(ib),  lo16(ib),  hi16(ic),  lo16(ic),  hi16(ig),  lo16(ig),
                       hi16(i2),  lo16(i2),  hi16(vab), lo16(vab), hi16(vbc), lo16(vbc),
                       hi16(vca), lo16(vca), freq,      static_cast<std::uint16_t>(pf & 0xFFFF)};
}

// Relay commands (coil numbers) the simulator acts on.
enum Command : std::uint16_t {
    kCmdReset = 1,       // clears the Trip and Lockout status bits
    kCmdApplyClock = 5,  // takes over the clock written at 0x0090-0x0092
    kCmdClearDemand = 6, // zeroes the demand values and their stamps
    kCmdClearEnergy = 8, // zeroes the energies, stamps the clear with the clock
    kCmdClearEvents = 9, // leaves one event: number 1, cause 1
};

inline constexpr std::uint16_t kCauseEventsClear = 1;

} // namespace kova::relaysim
