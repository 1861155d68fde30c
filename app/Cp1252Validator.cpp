#include "app/Cp1252Validator.h"

#include "app/Cp1252.h"

namespace kova {

QValidator::State Cp1252Validator::validate(QString& input, int& pos) const
{
    Q_UNUSED(pos);
    return cp1252::codificable(input.toStdString()) ? Acceptable : Invalid;
}

} // namespace kova
