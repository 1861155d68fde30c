#include "reports/LayoutJson.h"
#include "text/NumberText.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <algorithm>
#include <stdexcept>

namespace kova {

std::string layoutTextPlace(std::string_view json, std::size_t byte)
{
    const std::string_view before = json.substr(0, std::min(byte, json.size()));
    const auto lineStart = before.rfind('\n');
    const std::string_view line = lineStart == std::string_view::npos ? before : before.substr(lineStart + 1);
    const auto lines = std::count(before.begin(), before.end(), '\n');
    const auto characters = std::count_if(line.begin(), line.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    });
    return "line " + integerText(lines + 1) + ", column " + integerText(characters + 1) + " (byte " +
           integerText(byte) + ")";
}

QJsonObject layoutJsonObject(std::string_view json)
{
    QJsonParseError err{};
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())), &err);
    if (err.error != QJsonParseError::NoError)
        throw std::runtime_error(layoutTextPlace(json, static_cast<std::size_t>(std::max(err.offset, 0))) + ": " +
                                 err.errorString().toStdString());
    if (!doc.isObject())
        throw std::runtime_error(doc.isArray() ? "top level: a list, not an object" : "top level: not an object");
    return doc.object();
}

} // namespace kova
