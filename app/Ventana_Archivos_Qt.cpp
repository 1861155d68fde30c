#include "app/Ventana_Archivos_Qt.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

namespace kova {
namespace {

std::optional<std::string> ruta(const QString& elegida)
{
    if (elegida.isEmpty())
        return std::nullopt;
    const QByteArray b = QFile::encodeName(elegida);
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

} // namespace

Ventana_Archivos_Qt::Ventana_Archivos_Qt(QWidget* padre)
    : padre_(padre)
{
}

std::optional<std::string> Ventana_Archivos_Qt::elegirArchivoAbrir()
{
    return ruta(QFileDialog::getOpenFileName(padre_, QString(), QString(),
                                             QString::fromLatin1(Filtro_Abrir)));
}

std::optional<std::string> Ventana_Archivos_Qt::elegirArchivoGuardar()
{
    // The dialog asks before an existing file is overwritten.
    return ruta(QFileDialog::getSaveFileName(padre_, QString(), QString(),
                                             QString::fromLatin1(Filtro_Guardar)));
}

void Ventana_Archivos_Qt::mensaje(const std::string& texto, const std::string& titulo, Icono icono)
{
    QMessageBox caja(icono == Icono::Critico ? QMessageBox::Critical : QMessageBox::NoIcon,
                     QString::fromStdString(titulo), QString::fromStdString(texto),
                     QMessageBox::Ok, padre_);
    caja.exec();
}

void Ventana_Archivos_Qt::ponerPanel(int n, const std::string& texto)
{
    if (alPonerPanel)
        alPonerPanel(n, texto);
}

void Ventana_Archivos_Qt::ponerTitulo(const std::string& titulo)
{
    if (alPonerTitulo)
        alPonerTitulo(titulo);
    else if (padre_)
        padre_->window()->setWindowTitle(QString::fromStdString(titulo));
}

int Ventana_Archivos_Qt::Direccion_Rele() const
{
    return direccion ? direccion() : 1;
}

} // namespace kova
