#include "app/FixedTextBox.h"

#include "app/Cp1252.h"

#include <QFontMetrics>
#include <QLineEdit>

namespace kova {

QString sinBlancosAlFinal(std::string_view texto)
{
    const auto fin = texto.find_last_not_of(' ');
    return QString::fromStdString(std::string(texto.substr(0, fin == std::string_view::npos ? 0 : fin + 1)));
}

QString sinBlancosAlFinal(const QString& texto) { return sinBlancosAlFinal(texto.toStdString()); }

std::string ajustado(const QString& caja, std::size_t largo) { return cp1252::ajustar(caja.toStdString(), largo); }

namespace {

// Pixels a box needs to show `caracteres` characters of its font whole.
int anchoParaCaracteres(const QLineEdit& caja, int caracteres)
{
    // A line edit's own hint makes room for 17 'x'; the rest of it is its
    // frame and margins. Names are often in capitals: room for as many 'X',
    // and the cursor after them.
    const QFontMetrics fm(caja.font());
    const int marco = caja.sizeHint().width() - 17 * fm.horizontalAdvance(QLatin1Char('x'));
    return marco + fm.horizontalAdvance(QString(caracteres, QLatin1Char('X'))) + 2;
}

} // namespace

void cajaDeLargoFijo(QLineEdit& caja, int largo)
{
    caja.setMaxLength(largo);
    caja.setMinimumWidth(anchoParaCaracteres(caja, largo));
}

} // namespace kova
