#pragma once
// Refuses, as it is typed or pasted, a character a setpoint file cannot
// store (one outside Windows-1252): the text box keeps what it had.

#include <QValidator>

namespace kova {

class Cp1252Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

} // namespace kova
