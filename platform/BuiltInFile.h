#pragma once
// Data files built into the program as Qt resources (page forms, report
// layouts), each of which may be replaced by an edited copy without a
// rebuild.

#include <QString>

#include <string>
#include <string_view>

namespace kova {

// The text of `<name>.json`: from the folder the environment variable
// `editedDir` names when it holds that file, else from the resource folder
// `resourceDir` (":/forms"); "" when neither has it.
std::string readBuiltInFile(const QString& resourceDir, const char* editedDir, std::string_view name);

} // namespace kova
