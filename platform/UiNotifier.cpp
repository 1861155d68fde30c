#include "platform/UiNotifier.h"

#include "platform/Ui.h"

namespace kova {

namespace {
void show(const std::string& text, const std::string& title, MsgIcon icon)
{
    ui().msgBox(QString::fromStdString(text), MsgButtons::OKOnly, icon, QString::fromStdString(title));
}
} // namespace

void UiNotifier::critical(const std::string& text, const std::string& title)
{
    show(text, title, MsgIcon::Critical);
}

void UiNotifier::criticalDetail(const std::string& text, const std::string& title, const std::string& detail)
{
    ui().msgBoxDetail(QString::fromStdString(text), MsgButtons::OKOnly, MsgIcon::Critical,
                      QString::fromStdString(title), QString::fromStdString(detail));
}

void UiNotifier::exclamation(const std::string& text, const std::string& title)
{
    show(text, title, MsgIcon::Exclamation);
}

void UiNotifier::information(const std::string& text, const std::string& title)
{
    show(text, title, MsgIcon::Information);
}

} // namespace kova
