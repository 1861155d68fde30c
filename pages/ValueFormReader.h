#pragma once
// Reads a value page's form file (JSON). A fault names the form and the key.

#include "pages/ValueForm.h"

#include <QByteArray>

#include <stdexcept>
#include <string>

namespace kova {

class ValueFormError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws ValueFormError for text that is no JSON object, a missing or
// mistyped key, an unknown icon or stamp part, or a label bound twice.
ValueForm readValueForm(const QByteArray& json, const std::string& formName);

// The form built into the program (":/forms/<name>.json"); throws
// ValueFormError when there is none or it is faulty.
ValueForm loadValueForm(const std::string& formName);
// The form exists in the program.
bool hasValueForm(const std::string& formName);

} // namespace kova
