#include "reports/LayoutJson.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <stdexcept>

namespace kova {

QJsonObject layoutJsonObject(std::string_view json)
{
    QJsonParseError err{};
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())), &err);
    if (err.error != QJsonParseError::NoError)
        throw std::runtime_error(err.errorString().toStdString());
    if (!doc.isObject())
        throw std::runtime_error("not an object");
    return doc.object();
}

} // namespace kova
