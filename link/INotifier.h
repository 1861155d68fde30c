#pragma once
// Message boxes as the link sees them (implemented with Qt in platform/).

#include <string>

namespace kova {

class INotifier {
public:
    virtual ~INotifier() = default;
    // Modal message with a critical-error icon and an OK button.
    virtual void critical(const std::string& text, const std::string& title) = 0;
    // The same box with a detail line under the text: what went wrong and
    // what the user can do about it. Doubles that do not look at the detail
    // get the plain box.
    virtual void criticalDetail(const std::string& text, const std::string& title, const std::string& detail)
    {
        (void)detail;
        critical(text, title);
    }
    // Modal message with an exclamation icon and an OK button (results of
    // writes). Test doubles that do not look at it may leave it out.
    virtual void exclamation(const std::string& text, const std::string& title)
    {
        (void)text;
        (void)title;
    }
    // Modal message with an information icon and an OK button (results of
    // relay commands).
    virtual void information(const std::string& text, const std::string& title)
    {
        (void)text;
        (void)title;
    }
};

} // namespace kova
