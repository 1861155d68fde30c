#include "platform/UiNotifier.h"

#include "platform/Ui.h"

namespace kova {

void UiNotifier::critical(const std::string& text, const std::string& title)
{
    ui().msgBox(QString::fromStdString(text), MsgButtons::OKOnly, MsgIcon::Critical,
                QString::fromStdString(title));
}

} // namespace kova
