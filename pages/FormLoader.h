#pragma once
// The form the program opens a page with: read (PageForm.h), its settings
// checked (FormSettingsCheck.h) and its registers checked (FormCheck.h). It
// sits above the reader and both checks, so neither of them needs the other.

#include "pages/PageForm.h"

#include <optional>
#include <string>
#include <string_view>

namespace kova {

// A form that fails is refused, never replaced by the built-in one; error
// then lists every fault found, one a line, each as "<file>: <place>:
// <reason>" where <file> is the edited copy's path, or the form's name for a
// built-in form.
std::optional<PageForm> loadPageForm(std::string_view form, std::string* error = nullptr);

} // namespace kova
