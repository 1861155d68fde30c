#pragma once
// Text boxes for the fixed-length texts the program keeps padded with blanks
// (the programmer's and the relay's names, the telephone number). A box
// shows the text without its trailing blanks, so what is typed at the end
// follows the text itself; what it holds is kept cut or padded again.

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

class QLineEdit;

namespace kova {

// The text as a box shows it: without its trailing blanks.
QString sinBlancosAlFinal(std::string_view texto);
QString sinBlancosAlFinal(const QString& texto);

// What a box holds, as it is kept: cut or padded with blanks to `largo`
// characters.
std::string ajustado(const QString& caja, std::size_t largo);

// The box takes at most `largo` characters and is never narrower than
// what shows them.
void cajaDeLargoFijo(QLineEdit& caja, int largo);

} // namespace kova
