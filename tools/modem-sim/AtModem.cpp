#include "tools/modem-sim/AtModem.h"

#include <cctype>

namespace kova::modemsim {

namespace {

char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the digits at s[i] (none: 0) and moves i past them.
int number(std::string_view s, std::size_t& i)
{
    int n = 0;
    for (; i < s.size() && isDigit(s[i]); ++i)
        n = n * 10 + (s[i] - '0');
    return n;
}

} // namespace

std::string AtModem::result(bool ok) const
{
    if (verbal_)
        return ok ? "\r\nOK\r\n" : "\r\nERROR\r\n";
    return ok ? "0\r" : "4\r";
}

void AtModem::execute(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = upper(s[i++]);
        if (c == ' ')
            continue;
        if (c == '&') {
            const char d = i < s.size() ? upper(s[i++]) : ' ';
            number(s, i);
            if (d == 'F') {
                echo_ = true;
                verbal_ = true;
            }
        } else if (c == 'E') {
            echo_ = number(s, i) != 0;
        } else if (c == 'V') {
            verbal_ = number(s, i) != 0;
        } else if (c == 'S') {
            number(s, i);
            if (i < s.size() && (s[i] == '=' || s[i] == '?'))
                ++i;
            number(s, i);
        } else {
            number(s, i);
        }
    }
}

std::string AtModem::execute(const std::string& line)
{
    std::size_t at = std::string::npos;
    for (std::size_t i = 0; i + 1 < line.size(); ++i)
        if (upper(line[i]) == 'A' && upper(line[i + 1]) == 'T') {
            at = i;
            break;
        }
    if (at == std::string::npos)
        return {};
    if (silent(++commands_))
        return {};
    for (const std::string& text : opt_.errorOn)
        if (!text.empty() && line.find(text) != std::string::npos)
            return result(false);
    execute(std::string_view(line).substr(at + 2));
    return result(true);
}

std::string AtModem::tick(std::int64_t nowMs)
{
    if (escapeAt_ < 0 || nowMs < escapeAt_ + opt_.guardMs)
        return {};
    escapeAt_ = -1;
    pluses_ = 0;
    return silent(++commands_) ? std::string() : result(true);
}

std::string AtModem::receive(std::string_view bytes, std::int64_t nowMs)
{
    std::string out = tick(nowMs);
    const bool quietBefore = lastRxMs_ < 0 || nowMs - lastRxMs_ >= opt_.guardMs;
    lastRxMs_ = nowMs;
    auto normal = [&](char b) {
        if (echo_ && !silent(commands_ + 1))
            out += b;
        if (b == '\r') {
            out += execute(line_);
            line_.clear();
        } else if (b != '\n' && line_.size() < 1024) {
            line_ += b;
        }
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char b = bytes[i];
        if (b == '+' && line_.empty() && escapeAt_ < 0 && (pluses_ > 0 || (i == 0 && quietBefore))) {
            if (++pluses_ == 3)
                escapeAt_ = nowMs;
            continue;
        }
        // Not an escape after all: the pluses held back are ordinary input.
        const int held = pluses_;
        pluses_ = 0;
        escapeAt_ = -1;
        for (int k = 0; k < held; ++k)
            normal('+');
        normal(b);
    }
    return out;
}

} // namespace kova::modemsim
