#include "platform/StderrLine.h"

#include <cstdio>
#include <string>

namespace kova {

void writeStderrLine(std::string_view line)
{
    std::string out(line);
    out.push_back('\n');
    std::fwrite(out.data(), 1, out.size(), stderr);
    std::fflush(stderr);
}

} // namespace kova
