#pragma once

// The file routines' dialogs and message boxes on Qt. The main window gives
// its status bar, caption and slave address through the three hooks.

#include "app/Manejo_de_Archivos.h"

#include <QPointer>
#include <QWidget>

namespace kova {

class Ventana_Archivos_Qt : public IVentana_Archivos
{
public:
    // Linux names are case-sensitive, so both spellings of the extension are listed.
    static constexpr const char* Filtro_Abrir = "KOVA Files (*.KOVA2 *.kova2);;All Files (*)";
    static constexpr const char* Filtro_Guardar = "KOVA Files (*.KOVA2 *.kova2);; All Files (*)";

    explicit Ventana_Archivos_Qt(QWidget* padre);

    std::function<void(int, const std::string&)> alPonerPanel;
    std::function<void(const std::string&)> alPonerTitulo;
    std::function<int()> direccion;

    std::optional<std::string> elegirArchivoAbrir() override;
    std::optional<std::string> elegirArchivoGuardar() override;
    void mensaje(const std::string& texto, const std::string& titulo, Icono icono) override;
    void ponerPanel(int n, const std::string& texto) override;
    void ponerTitulo(const std::string& titulo) override;
    int Direccion_Rele() const override;

private:
    QPointer<QWidget> padre_;
};

} // namespace kova
