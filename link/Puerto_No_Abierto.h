#pragma once
// A serial port that did not open, told the same way wherever it happens:
// the box "Invalid Number Port: COM n" (title "Communication error") keeps
// its one line and the reason goes into its detail line, and the line
// "kova: COMn did not open: <reason>" goes to stderr, where a calling
// program's log catches it.

#include "link/INotifier.h"

#include <string>

namespace kova {

// notifier may be null: then only stderr is told.
void Avisar_Puerto_No_Abierto(INotifier* notifier, int puerto, const std::string& motivo);

} // namespace kova
