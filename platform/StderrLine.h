#pragma once
// One line of text on the standard error stream, written as it is: the
// caller makes every number in it through the text layer.

#include <string_view>

namespace kova {

// The line and a line feed, in one write, flushed.
void writeStderrLine(std::string_view line);

} // namespace kova
