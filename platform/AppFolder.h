#pragma once
// Where the program keeps its files.

#include <QString>

namespace kova {

// The program's folder (Default.KOVA2 lies there): the folder of the program
// file, or $KOVA_APP_DIR when set. No trailing slash except for "/".
QString programFolder();

// The handshake file a calling program watches: $KOVA_HANDSHAKE_FILE when
// set, else prueba.txt in the user's desktop folder.
QString handshakeFilePath();

} // namespace kova
