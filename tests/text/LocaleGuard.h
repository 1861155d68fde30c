#pragma once
// Switching the process locale inside a test: the C locale (as the GUI
// toolkit sets it at start-up) and the global C++ locale, both put back as
// they were when the guard goes out of scope, whatever the test ends with.

#include <clocale>
#include <locale>
#include <string>

namespace kova::test {

class LocaleGuard {
public:
    LocaleGuard() : c_(std::setlocale(LC_ALL, nullptr)) {}
    ~LocaleGuard()
    {
        // The C++ locale first: making a named one global also sets the C locale.
        std::locale::global(cpp_);
        std::setlocale(LC_ALL, c_.c_str());
    }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;

private:
    std::string c_;
    std::locale cpp_;
};

// Numbers with a comma as decimal point and "." between groups of three.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

inline std::locale commaLocale()
{
    return std::locale(std::locale::classic(), new CommaPunct);
}

} // namespace kova::test
