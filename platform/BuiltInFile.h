#pragma once
// Data files built into the program as Qt resources (page forms, report
// layouts), each of which may be replaced by an edited copy without a
// rebuild.

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace kova {

// The file `<name>.json` is read from: the one in the folder the
// environment variable `editedDir` names when that folder holds it, else
// the one in the resource folder `resourceDir` (":/forms"); "" when neither
// has it.
QString builtInFilePath(const QString& resourceDir, const char* editedDir, std::string_view name);
// Whether that file is an edited copy.
bool isEditedFile(const QString& path);
// The text of that file; nothing when there is none, and also when an
// edited copy cannot be read (the user asked for the edited one: never the
// built-in one in its place). An empty copy is a text like any other.
std::optional<std::string> builtInFileText(const QString& resourceDir, const char* editedDir,
                                           std::string_view name);

} // namespace kova
