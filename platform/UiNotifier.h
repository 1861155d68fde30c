#pragma once
// The link's message boxes shown through the program's boxes.

#include "link/INotifier.h"

namespace kova {

class UiNotifier : public INotifier {
public:
    void critical(const std::string& text, const std::string& title) override;
    void criticalDetail(const std::string& text, const std::string& title, const std::string& detail) override;
    void exclamation(const std::string& text, const std::string& title) override;
    void information(const std::string& text, const std::string& title) override;
};

} // namespace kova
