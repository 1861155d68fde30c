#include "tools/relay-sim/SimRelay.h"
#include "link/DefaultSetpoints.h"
#include "text/HexText.h"
#include "text/NumberText.h"

#include <cstdio>
#include <stdexcept>

namespace kova::relaysim {

namespace {

constexpr int kClockRead = 0x0200;   // relay clock, input registers 0x0200-0x0202
constexpr int kClockWrite = 0x0090;  // clock to take over, holding 0x0090-0x0092
constexpr int kStatus = 0x0203;
constexpr int kNewest = 0x0600;      // newest event number, then its stamp
constexpr int kSelected = 0x0610;    // selected event number, then its record

std::uint16_t word(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }

// A stamp's three words into three consecutive registers.
void putStamp(std::uint16_t* at, const Stamp& s)
{
    at[0] = s.w1;
    at[1] = s.w2;
    at[2] = s.w3;
}

} // namespace

SimRelay::SimRelay(const RelayOptions& o)
{
    map_ = modbus_mapping_new(kCoilCount, 0, kHoldingCount, kInputCount);
    if (!map_)
        throw std::runtime_error("cannot allocate the register mapping");

    std::uint16_t* in = map_->tab_input_registers;
    in[0] = o.type;
    in[1] = o.model;
    in[2] = o.version;
    in[3] = 0;
    in[kStatus] = o.status;
    for (const RegisterValue& rv : kActualValues)
        in[rv.reg] = rv.value;
    for (const RegisterValue& rv : o.inputOverrides)
        setInput(rv.reg, rv.value); // the command line refuses registers not settable

    std::uint16_t* hold = map_->tab_registers;
    for (const SetpointBlock& b : kDefaultSetpointBlocks)
        for (std::size_t i = 0; i < b.count; ++i)
            hold[b.first + i] = b.values[i];
    if (o.alternativeSetpoints)
        for (const SetpointChange& c : kAlternativeSetpointChanges)
            hold[c.reg] = c.value;
    for (const RegisterValue& rv : o.setpointOverrides)
        hold[rv.reg] = rv.value;

    if (o.clockGiven)
        clockOffset_ = std::chrono::duration_cast<std::chrono::milliseconds>(
            o.clockStart - std::chrono::floor<std::chrono::milliseconds>(Clock::now()));

    const int n = o.events < 0 ? 0 : (o.events > 0xFFFF ? 0xFFFF : o.events);
    events_.reserve(static_cast<std::size_t>(n));
    for (int k = 1; k <= n; ++k)
        events_.push_back(generatedEvent(static_cast<std::uint16_t>(k)));
    publishNewest();
    selectEvent(static_cast<std::uint16_t>(events_.empty() ? 1 : events_.size()));
    beforeReply();
}

SimRelay::~SimRelay() { modbus_mapping_free(map_); }

std::chrono::sys_time<std::chrono::milliseconds> SimRelay::relayNow() const
{
    return std::chrono::floor<std::chrono::milliseconds>(Clock::now()) + clockOffset_;
}

Stamp SimRelay::clockStamp(int cause) const
{
    using namespace std::chrono;
    const auto now = relayNow();
    const sys_days day = floor<days>(now);
    const year_month_day ymd{day};
    const hh_mm_ss<milliseconds> t{now - day};
    const int tenths = static_cast<int>(t.seconds().count()) * 10
                       + static_cast<int>(t.subseconds().count() / 100);
    Stamp s = makeStamp(cause, static_cast<int>(ymd.year()), static_cast<int>(unsigned(ymd.month())),
                        static_cast<int>(unsigned(ymd.day())), static_cast<int>(t.hours().count()),
                        static_cast<int>(t.minutes().count()), 0);
    s.w3 = static_cast<std::uint16_t>(s.w3 + tenths);
    return s;
}

void SimRelay::beforeReply()
{
    putStamp(map_->tab_input_registers + kClockRead, clockStamp(0));
}

void SimRelay::publishNewest()
{
    std::uint16_t* in = map_->tab_input_registers;
    in[kNewest] = static_cast<std::uint16_t>(events_.size());
    const EventRecord none{};
    const EventRecord& newest = events_.empty() ? none : events_.back();
    in[kNewest + 1] = newest[1];
    in[kNewest + 2] = newest[2];
    in[kNewest + 3] = newest[3];
}

void SimRelay::selectEvent(std::uint16_t k)
{
    std::uint16_t* in = map_->tab_input_registers;
    EventRecord rec{};
    if (k >= 1 && k <= events_.size())
        rec = events_[k - 1u];
    rec[0] = k; // a number the relay does not hold reads back with an empty record
    for (std::size_t i = 0; i < kEventRecordLength; ++i)
        in[kSelected + i] = rec[i];
    map_->tab_registers[kSelected] = k;
}

bool SimRelay::writableRange(int addr, int count)
{
    if (count < 1)
        return false;
    const int last = addr + count - 1;
    if (addr == kSelected && count == 1)
        return true;
    if (addr >= kClockWrite && last <= kClockWrite + 2)
        return true;
    for (const SetpointBlock& b : kDefaultSetpointBlocks)
        if (addr >= b.first && last < b.first + static_cast<int>(b.count))
            return true;
    return false;
}

bool SimRelay::applyWrite(const std::uint8_t* req, int length)
{
    if (length < 8)
        return false;
    const int fc = req[1];
    const int addr = word(req + 2);
    if (fc == 5) {
        const std::uint16_t v = word(req + 4);
        if (addr >= kCoilCount || (v != 0xFF00 && v != 0x0000))
            return false;
        map_->tab_bits[addr] = v == 0xFF00 ? 1 : 0;
        return true;
    }
    if (fc == 16) {
        const int count = word(req + 4);
        if (length < 9 + 2 * count || req[6] != 2 * count || addr + count > kHoldingCount)
            return false;
        for (int i = 0; i < count; ++i)
            map_->tab_registers[addr + i] = word(req + 7 + 2 * i);
        return true;
    }
    return fc == 3 || fc == 4;
}

std::string SimRelay::afterRequest(const std::uint8_t* req, int length)
{
    if (length < 8)
        return {};
    const int fc = req[1];
    const int addr = word(req + 2);
    if (fc == 16) {
        const int count = word(req + 4);
        if (addr <= kSelected && kSelected < addr + count) {
            selectEvent(map_->tab_registers[kSelected]);
            return "selected " + integerText(map_->tab_registers[kSelected]);
        }
        return {};
    }
    if (fc == 5 && addr < kCoilCount && map_->tab_bits[addr]) {
        map_->tab_bits[addr] = 0; // a command coil acts once and drops back
        return runCommand(static_cast<std::uint16_t>(addr));
    }
    return {};
}

std::string SimRelay::runCommand(std::uint16_t command)
{
    std::uint16_t* in = map_->tab_input_registers;
    switch (command) {
    case kCmdReset:
        in[kStatus] = static_cast<std::uint16_t>(in[kStatus] & ~0x0801u); // Trip, Lockout
        return "command reset";
    case kCmdApplyClock: {
        using namespace std::chrono;
        const std::uint16_t* h = map_->tab_registers + kClockWrite;
        const int yy = h[0] & 0x7F;
        const unsigned mo = (h[1] >> 10) & 0x0F, dd = (h[1] >> 5) & 0x1F;
        const int hh = h[1] & 0x1F, mi = h[2] >> 10, tenths = h[2] & 0x3FF;
        const year_month_day ymd{year{2000 + yy}, month{mo}, day{dd}};
        if (!ymd.ok() || hh > 23 || mi > 59 || tenths > 599)
            return "command apply-clock refused (no valid date and time)";
        const auto target = sys_days{ymd} + hours{hh} + minutes{mi} + milliseconds{tenths * 100};
        clockOffset_ = target - floor<milliseconds>(Clock::now());
        return "command apply-clock";
    }
    case kCmdClearDemand:
        for (int r = 0x026A; r <= 0x027E; ++r)
            in[r] = 0;
        return "command clear-demand";
    case kCmdClearEnergy: {
        for (int r = 0x025F; r <= 0x0266; ++r)
            in[r] = 0;
        putStamp(in + 0x0267, clockStamp(0));
        return "command clear-energy";
    }
    case kCmdClearEvents: {
        EventRecord rec{};
        rec[0] = 1;
        putStamp(rec.data() + 1, clockStamp(kCauseEventsClear));
        // Measurements at the moment of the clear.
        for (int i = 0; i < 10; ++i)
            rec[4 + i] = in[0x020D + i];
        for (int i = 0; i < 6; ++i)
            rec[14 + i] = in[0x0217 + i];
        rec[20] = in[0x024B];
        rec[21] = in[0x0247];
        events_.assign(1, rec);
        publishNewest();
        selectEvent(1);
        return "command clear-events";
    }
    default:
        return "command " + integerText(command) + " (no effect)";
    }
}

std::uint16_t SimRelay::addEvent()
{
    if (events_.size() < 0xFFFF) {
        events_.push_back(generatedEvent(static_cast<std::uint16_t>(events_.size() + 1)));
        publishNewest();
    }
    return static_cast<std::uint16_t>(events_.size());
}

void SimRelay::setStatus(std::uint16_t status) { map_->tab_input_registers[kStatus] = status; }

bool SimRelay::settableInput(int reg)
{
    const auto within = [reg](int first, int count) { return reg >= first && reg < first + count; };
    return within(0, kInputCount) && !within(kClockRead, 3) && !within(kNewest, 4)
           && !within(kSelected, static_cast<int>(kEventRecordLength));
}

bool SimRelay::setInput(int reg, std::uint16_t value)
{
    if (!settableInput(reg))
        return false;
    map_->tab_input_registers[reg] = value;
    return true;
}

std::uint16_t SimRelay::status() const { return map_->tab_input_registers[kStatus]; }

bool SimRelay::dump(const std::string& path) const
{
    const std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "w");
    if (!f)
        return false;
    std::string text;
    const auto add = [&text](const char* kind, std::uint32_t reg, std::uint16_t value) {
        text += std::string(kind) + " " + hex4word(reg) + " " + hex4word(value) + "\n";
    };
    for (const SetpointBlock& b : kDefaultSetpointBlocks)
        for (std::size_t i = 0; i < b.count; ++i)
            add("holding", static_cast<std::uint32_t>(b.first + i), map_->tab_registers[b.first + i]);
    for (int r = kClockWrite; r <= kClockWrite + 2; ++r)
        add("holding", static_cast<std::uint32_t>(r), map_->tab_registers[r]);
    add("holding", kSelected, map_->tab_registers[kSelected]);
    add("input", kStatus, map_->tab_input_registers[kStatus]);
    add("input", kNewest, map_->tab_input_registers[kNewest]);
    std::fputs(text.c_str(), f);
    const bool ok = std::fclose(f) == 0;
    return ok && std::rename(tmp.c_str(), path.c_str()) == 0;
}

} // namespace kova::relaysim
