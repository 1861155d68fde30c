#pragma once
// Lists in the program's English sentences: "a", "a and b", "a, b and c",
// and numbers with their runs said as ranges ("1 to 4").

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kova {

// The parts joined with ", " and, before the last, " <conjunction> ".
std::string joinedList(const std::vector<std::string>& parts, std::string_view conjunction = "and");

// The numbers as joinedList gives them, or "first to last" when they are at
// least `shortestRun` numbers counting up one by one.
std::string numberList(const std::vector<int>& numbers, std::size_t shortestRun);

} // namespace kova
