#include "ColourText.h"

#include <QRegularExpression>

#include <array>

namespace kova {

namespace {

// The system colours by their index (the low byte of 0x800000nn).
const std::array<const char*, 25> kSystemColours = {
    "Scroll Bars",        "Desktop",           "Active Title Bar",      "Inactive Title Bar",
    "Menu Bar",           "Window Background", "Window Frame",          "Menu Text",
    "Window Text",        "Active Title Bar Text", "Active Border",     "Inactive Border",
    "Application Workspace", "Highlight",      "Highlight Text",        "Button Face",
    "Button Shadow",      "Disabled Text",     "Button Text",           "Inactive Title Bar Text",
    "Button Highlight",   "Button Dark Shadow", "Button Light Shadow",  "ToolTip Text",
    "ToolTip"};

constexpr std::uint32_t kSystem = 0x80000000u;

} // namespace

QString colourText(std::uint32_t stored)
{
    if ((stored & 0xFFFFFF00u) == kSystem && (stored & 0xFFu) < kSystemColours.size())
        return QString::fromLatin1(kSystemColours[stored & 0xFFu]);
    if (stored & 0xFF000000u)
        return QString::number(stored);  // no colour the editors know: shown as stored
    const unsigned r = stored & 0xFF, g = (stored >> 8) & 0xFF, b = (stored >> 16) & 0xFF;
    return QStringLiteral("#%1%2%3")
        .arg(r, 2, 16, QLatin1Char('0'))
        .arg(g, 2, 16, QLatin1Char('0'))
        .arg(b, 2, 16, QLatin1Char('0'))
        .toUpper();
}

std::optional<std::uint32_t> colourFromText(const QString& text)
{
    const QString t = text.trimmed();
    for (std::size_t i = 0; i < kSystemColours.size(); ++i)
        if (t.compare(QLatin1String(kSystemColours[i]), Qt::CaseInsensitive) == 0)
            return kSystem | static_cast<std::uint32_t>(i);
    static const QRegularExpression rgb(QStringLiteral("^#([0-9A-Fa-f]{2})([0-9A-Fa-f]{2})([0-9A-Fa-f]{2})$"));
    const auto m = rgb.match(t);
    if (!m.hasMatch())
        return std::nullopt;
    const auto part = [&](int k) { return m.captured(k).toUInt(nullptr, 16); };
    return part(1) | (part(2) << 8) | (part(3) << 16);
}

} // namespace kova
