#pragma once
// Message boxes as the link sees them (implemented with Qt in platform/).

#include <string>

namespace kova {

class INotifier {
public:
    virtual ~INotifier() = default;
    // Modal message with a critical-error icon and an OK button.
    virtual void critical(const std::string& text, const std::string& title) = 0;
};

} // namespace kova
