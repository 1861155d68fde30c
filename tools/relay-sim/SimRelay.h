#pragma once
// The simulated relay's registers and behaviour, independent of the line:
// the libmodbus register mapping plus what a real relay does around it
// (running clock, event record selection, commands).

#include "tools/relay-sim/RelayValues.h"

#include <modbus/modbus.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace kova::relaysim {

struct RelayOptions {
    std::uint16_t type = kDeviceType;
    std::uint16_t model = kModel;
    std::uint16_t version = kVersion;
    std::uint16_t status = kDefaultStatus;
    int events = 5;                                  // events recorded at start
    bool alternativeSetpoints = false;               // start with the alternative table
    std::vector<RegisterValue> setpointOverrides;    // applied after the table
    std::vector<RegisterValue> inputOverrides;       // applied after the values and the status
    bool clockGiven = false;                         // start clock given (else system UTC)
    std::chrono::sys_seconds clockStart{};
};

class SimRelay {
public:
    // Register space sizes: holding registers reach past 0x1064, input
    // registers past 0x0625, coils cover every command number used.
    static constexpr int kHoldingCount = 0x1100;
    static constexpr int kInputCount = 0x0700;
    static constexpr int kCoilCount = 64;

    explicit SimRelay(const RelayOptions& options);
    ~SimRelay();
    SimRelay(const SimRelay&) = delete;
    SimRelay& operator=(const SimRelay&) = delete;

    modbus_mapping_t* mapping() { return map_; }

    // Refreshes the registers a reply may read (clock, newest event).
    void beforeReply();
    // Acts on a request that the relay has executed (its writes are in the
    // mapping): event selection, commands. Returns a note for the log.
    std::string afterRequest(const std::uint8_t* req, int length);
    // Applies the writes of a function-5 or function-16 request to the
    // mapping as the library's reply would (used when the simulator builds
    // a reply itself). Returns false for a request it cannot apply.
    bool applyWrite(const std::uint8_t* req, int length);

    // Whether a write of `count` registers at `addr` is one the relay takes.
    static bool writableRange(int addr, int count);

    // Records one more event: the generated record numbered newest + 1.
    // Returns the new newest number (unchanged when the record is full).
    std::uint16_t addEvent();

    void setStatus(std::uint16_t status);
    std::uint16_t status() const;

    // Whether input register `reg` can be set from outside: any in the map
    // except those the relay keeps itself (its clock, the newest event and
    // the selected event record).
    static bool settableInput(int reg);
    // Sets an input register (an actual value, the status, ...); false,
    // and nothing changes, for one that is not settable.
    bool setInput(int reg, std::uint16_t value);

    // Writes the setpoint registers, the clock write registers, the event
    // selection and the status as text lines "holding RRRR VVVV" /
    // "input RRRR VVVV" (hex) to `path`, replacing it atomically.
    bool dump(const std::string& path) const;

private:
    using Clock = std::chrono::system_clock;
    std::chrono::sys_time<std::chrono::milliseconds> relayNow() const;
    Stamp clockStamp(int cause) const;
    void selectEvent(std::uint16_t k);
    void publishNewest();
    std::string runCommand(std::uint16_t command);

    modbus_mapping_t* map_ = nullptr;
    std::vector<EventRecord> events_;       // event k is events_[k - 1]
    std::chrono::milliseconds clockOffset_{0};
};

} // namespace kova::relaysim
