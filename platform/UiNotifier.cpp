#include "platform/UiNotifier.h"

#include "platform/Ui.h"

namespace kova {

void UiNotifier::critical(const std::string& text, const std::string& title)
{
    ui().msgBox(QString::fromStdString(text), MsgButtons::OKOnly, MsgIcon::Critical,
                QString::fromStdString(title));
}

void UiNotifier::exclamation(const std::string& text, const std::string& title)
{
    ui().msgBox(QString::fromStdString(text), MsgButtons::OKOnly, MsgIcon::Exclamation,
                QString::fromStdString(title));
}

void UiNotifier::information(const std::string& text, const std::string& title)
{
    ui().msgBox(QString::fromStdString(text), MsgButtons::OKOnly, MsgIcon::Information,
                QString::fromStdString(title));
}

} // namespace kova
