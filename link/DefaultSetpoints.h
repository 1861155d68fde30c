#pragma once
// The default setpoint table, one array per setpoint block (holding
// registers, read with function 3 and written with function 16): the
// simulated relay starts with it, the program's Default.KOVA2 is built from
// it, and a page form's proof runs on it. Every value lies inside the limits
// and on the steps of the editor that shows it; registers no page shows hold
// 0.
//
// Plain C++ (no Qt, no libmodbus) so that the link, tests and tools can
// include it.

#include <array>
#include <cstddef>
#include <cstdint>

namespace kova::relaysim {

// 0x0101-0x0118: system set-up and output relays.
inline constexpr std::array<std::uint16_t, 24> kSetpointBlock1 = {
    0x1021, // 0101 60 Hz, Wye, residual ground sensing, block trip on Aux. 1
    600,    // 0102 phase CT primary 600 A
    100,    // 0103 ground CT primary 100 A
    120,    // 0104 VT nominal secondary 120 V
    1380,   // 0105 VT primary 13.80 kV
    0,      // 0106
    0,      // 0107
    0,      // 0108
    15,     // 0109 amps demand period 15 min
    15,     // 010A power demand period 15 min
    0,      // 010B
    0,      // 010C
    0x0011, // 010D Trip and Aux. 2 pulsed, Aux. 1 and Aux. 3 latched
    500,    // 010E Trip pulse time 500 ms
    1000,   // 010F Aux. 1 pulse time 1000 ms
    500,    // 0110 Aux. 2 pulse time 500 ms
    1000,   // 0111 Aux. 3 pulse time 1000 ms
    0,      // 0112
    0,      // 0113
    0,      // 0114
    0,      // 0115
    0,      // 0116
    0,      // 0117
    0,      // 0118
};

// 0x0119-0x0130: system set-up, digital inputs, event recorder, breaker
// supervision.
inline constexpr std::array<std::uint16_t, 24> kSetpointBlock2 = {
    0,      // 0119
    20,     // 011A block trip delay 0.20 s
    100,    // 011B breaker opening time 100 ms
    0,      // 011C
    0,      // 011D
    0,      // 011E
    0,      // 011F
    0x0000, // 0120 inputs 1-3 active when contact closed
    2,      // 0121 input 1: External Reset
    3,      // 0122 input 2: Remote Trip
    4,      // 0123 input 3: Block Trip
    0,      // 0124
    0,      // 0125
    0,      // 0126
    0,      // 0127
    0,      // 0128
    0,      // 0129
    0x00FF, // 012A all event classes recorded
    0x0002, // 012B breaker discrepancy on Aux. 1
    500,    // 012C breaker discrepancy delay 500 ms
    0x0004, // 012D mechanical operations alarm on Aux. 2
    5000,   // 012E mechanical operations maximum 5000
    0x0004, // 012F accumulated current alarm on Aux. 2
    1000,   // 0130 accumulated current level 1000 kA
};

// 0x1000-0x1018: phase protections.
inline constexpr std::array<std::uint16_t, 25> kSetpointBlock3 = {
    0x0001, // 1000 phase timed O/C on Trip
    100,    // 1001 pickup 100 %CT
    2,      // 1002 curve ANSI Normal Inv
    10,     // 1003 multiplier 1.0
    100,    // 1004 delay 1.00 s
    0,      // 1005
    0x0001, // 1006 phase inst. O/C on Trip
    800,    // 1007 pickup 800 %CT
    50,     // 1008 delay 50 ms
    0,      // 1009
    0x0002, // 100A neg. seq. O/C on Aux. 1
    20,     // 100B pickup 20 %CT
    0,      // 100C curve Definite Time
    10,     // 100D multiplier 1.0
    500,    // 100E delay 5.00 s
    0,      // 100F
    0,      // 1010
    0,      // 1011
    0x0002, // 1012 phase O/C alarm on Aux. 1
    90,     // 1013 pickup 90 %CT
    1000,   // 1014 delay 10.00 s
    0x0004, // 1015 current unbalance on Aux. 2
    15,     // 1016 pickup 15 %
    500,    // 1017 delay 5.00 s
    0x0008, // 1018 phase undercurrent on Aux. 3
};

// 0x1019-0x1031: phase undercurrent, ground protections, undervoltage 1.
inline constexpr std::array<std::uint16_t, 25> kSetpointBlock4 = {
    10,     // 1019 undercurrent pickup 10 %CT
    1000,   // 101A undercurrent delay 10.00 s
    0,      // 101B
    0,      // 101C
    0,      // 101D
    0,      // 101E
    0x0001, // 101F ground timed O/C on Trip
    20,     // 1020 pickup 20 %CT
    3,      // 1021 curve ANSI Very Inv
    5,      // 1022 multiplier 0.5
    50,     // 1023 delay 0.50 s
    0,      // 1024
    0x0001, // 1025 ground inst. O/C on Trip
    400,    // 1026 pickup 400 %CT
    100,    // 1027 delay 100 ms
    0,      // 1028
    0x0002, // 1029 ground O/C alarm on Aux. 1
    15,     // 102A pickup 15 %CT
    1000,   // 102B delay 10.00 s
    0,      // 102C
    0,      // 102D
    0,      // 102E
    0,      // 102F
    0x0001, // 1030 undervoltage 1 on Trip
    80,     // 1031 pickup 80 %VT
};

// 0x1032-0x104A: undervoltage 1, overvoltage 1, phase reversal, frequency 1.
inline constexpr std::array<std::uint16_t, 25> kSetpointBlock5 = {
    85,     // 1032 undervoltage 1 dropout 85 %VT
    200,    // 1033 delay 2.00 s
    0,      // 1034 curve Definite Time
    1,      // 1035 phases: Any Two
    20,     // 1036 minimum operation level 20 %VT
    0x0001, // 1037 overvoltage 1 on Trip
    110,    // 1038 pickup 110 %VT
    105,    // 1039 dropout 105 %VT
    300,    // 103A delay 3.00 s
    2,      // 103B phases: All Three
    0,      // 103C
    0,      // 103D
    0,      // 103E
    0,      // 103F
    0,      // 1040
    0,      // 1041
    0,      // 1042
    0,      // 1043
    0,      // 1044
    0x0002, // 1045 phase reversal on Aux. 1
    100,    // 1046 delay 1.00 s
    0x0001, // 1047 frequency 1 on Trip
    2,      // 1048 mode U/F
    50,     // 1049 pickup 0.50 Hz
    20,     // 104A dropout 0.20 Hz
};

// 0x104B-0x1064: frequency 1 and 2, power protections, demand alarms.
inline constexpr std::array<std::uint16_t, 26> kSetpointBlock6 = {
    200,    // 104B frequency 1 delay 2.0 s
    0x0002, // 104C frequency 2 on Aux. 1
    1,      // 104D mode O/F
    100,    // 104E pickup 1.00 Hz
    30,     // 104F dropout 0.30 Hz
    500,    // 1050 delay 5.0 s
    0x0002, // 1051 P.F. leading on Aux. 1
    80,     // 1052 pickup 0.80
    85,     // 1053 dropout 0.85
    1000,   // 1054 delay 10.0 s
    0x0002, // 1055 P.F. lagging on Aux. 1
    75,     // 1056 pickup 0.75
    80,     // 1057 dropout 0.80
    1000,   // 1058 delay 10.0 s
    0x0001, // 1059 reverse power on Trip
    50,     // 105A pickup 500 kW
    500,    // 105B delay 5.0 s
    0x0004, // 105C forward power on Aux. 2
    500,    // 105D pickup 5000 kW
    1000,   // 105E delay 10.0 s
    0x0008, // 105F amps demand on Aux. 3
    400,    // 1060 pickup 400 A
    0x0008, // 1061 kW demand on Aux. 3
    400,    // 1062 pickup 4000 kW
    0x0008, // 1063 kvar demand on Aux. 3
    150,    // 1064 pickup 1500 kvar
};

// The six blocks in register-map order (the order they lie in the setpoint
// images and in a setpoint file).
struct SetpointBlock {
    std::uint16_t first;          // first register
    std::size_t count;            // number of registers
    const std::uint16_t* values;  // count values
};

inline constexpr std::array<SetpointBlock, 6> kDefaultSetpointBlocks = {{
    {0x0101, kSetpointBlock1.size(), kSetpointBlock1.data()},
    {0x0119, kSetpointBlock2.size(), kSetpointBlock2.data()},
    {0x1000, kSetpointBlock3.size(), kSetpointBlock3.data()},
    {0x1019, kSetpointBlock4.size(), kSetpointBlock4.data()},
    {0x1032, kSetpointBlock5.size(), kSetpointBlock5.data()},
    {0x104B, kSetpointBlock6.size(), kSetpointBlock6.data()},
}};

// The default value of setpoint register `reg`; false when no block holds it.
constexpr bool defaultSetpoint(std::uint16_t reg, std::uint16_t& value)
{
    for (const SetpointBlock& b : kDefaultSetpointBlocks) {
        if (reg >= b.first && reg < b.first + b.count) {
            value = b.values[reg - b.first];
            return true;
        }
    }
    return false;
}

// A second table for runs that need a relay whose setpoints differ from the
// default file (simulator option --alt-setpoints): the default table with
// these registers changed. Every value is still inside its editor's limits.
struct SetpointChange {
    std::uint16_t reg;
    std::uint16_t value;
};

inline constexpr std::array<SetpointChange, 8> kAlternativeSetpointChanges = {{
    {0x0101, 0x0041}, // 60 Hz, Wye, zero-sequence ground sensing, no block trip on Aux. 1
    {0x0102, 800},    // phase CT primary 800 A
    {0x0105, 2300},   // VT primary 23.00 kV
    {0x012E, 2500},   // mechanical operations maximum 2500
    {0x1001, 120},    // phase timed O/C pickup 120 %CT
    {0x1021, 0},      // ground timed O/C curve Definite Time
    {0x1038, 115},    // overvoltage 1 pickup 115 %VT
    {0x1064, 200},    // kvar demand pickup 2000 kvar
}};

} // namespace kova::relaysim
