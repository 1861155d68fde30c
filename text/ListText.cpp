#include "text/ListText.h"

#include "text/NumberText.h"

namespace kova {

std::string joinedList(const std::vector<std::string>& parts, std::string_view conjunction)
{
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += i + 1 == parts.size() ? " " + std::string(conjunction) + " " : ", ";
        out += parts[i];
    }
    return out;
}

std::string numberList(const std::vector<int>& numbers, std::size_t shortestRun)
{
    const auto text = [](int n) { return integerText(n); };
    bool run = numbers.size() >= shortestRun && numbers.size() > 1;
    for (std::size_t i = 1; run && i < numbers.size(); ++i)
        run = numbers[i] == numbers[i - 1] + 1;
    if (run)
        return text(numbers.front()) + " to " + text(numbers.back());
    std::vector<std::string> parts;
    for (int n : numbers)
        parts.push_back(text(n));
    return joinedList(parts);
}

} // namespace kova
