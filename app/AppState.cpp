#include "app/AppState.h"

namespace kova {

QString programVersionText()
{
    return QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

QString AppState::defaultSetpointFile() const
{
    if (Ruta_App.endsWith(QLatin1Char('/'))) return Ruta_App + QStringLiteral("Default.KOVA2");
    return Ruta_App + QStringLiteral("/Default.KOVA2");
}

} // namespace kova
