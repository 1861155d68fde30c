#include "link/Puerto_No_Abierto.h"

#include "text/NumberText.h"

#include <cstdio>

namespace kova {

void Avisar_Puerto_No_Abierto(INotifier* notifier, int puerto, const std::string& motivo)
{
    const std::string linea = "kova: COM" + signedText(puerto) + " did not open: " + motivo + "\n";
    std::fputs(linea.c_str(), stderr);
    if (notifier != nullptr)
        notifier->criticalDetail("Invalid Number Port: COM" + signedText(puerto), "Communication error", motivo);
}

} // namespace kova
