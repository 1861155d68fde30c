#pragma once

// Stand-ins for the relay link and the main window, recording what the file
// routines do to them.

#include "app/Manejo_de_Archivos.h"

#include <map>
#include <string>
#include <vector>

namespace kova::prueba {

struct Enlace_Falso : IEnlace_Archivos
{
    Imagen_Setpoints put{};
    Imagen_Setpoints get{};
    Imagen_Actual actual{};
    std::map<int, std::string> decodificados;
    bool comunicando = true;
    bool detener = false;
    std::vector<std::string> llamadas;

    Imagen_Setpoints imagenPut() const override { return put; }
    Imagen_Actual imagenActual() const override { return actual; }
    void ponerImagenPut(const Imagen_Setpoints& p) override
    {
        llamadas.push_back("put");
        put = p;
    }
    void ponerImagenActual(const Imagen_Actual& a) override
    {
        llamadas.push_back("actual");
        actual = a;
    }
    void Copiar_Put_A_Get() override
    {
        llamadas.push_back("get");
        get = put;
    }
    std::string DatosDeVariables(int posicion) const override
    {
        const auto it = decodificados.find(posicion);
        return it == decodificados.end() ? std::string() : it->second;
    }
    void entrarModoArchivo() override
    {
        llamadas.push_back("modo");
        comunicando = false;
        detener = true;
    }
    std::string textoFecha(const Fecha_Civil& f) const override
    {
        return std::to_string(f.dia) + "/" + std::to_string(f.mes) + "/" + std::to_string(f.anio);
    }
};

struct Mensaje
{
    std::string texto;
    std::string titulo;
    IVentana_Archivos::Icono icono;
    std::string detalle;
};

struct Ventana_Falsa : IVentana_Archivos
{
    std::optional<std::string> abrir;
    std::optional<std::string> guardar;
    std::vector<Mensaje> mensajes;
    std::map<int, std::string> paneles;
    std::string titulo = Manejo_de_Archivos::Titulo_Principal;
    int direccion = 1;

    std::optional<std::string> elegirArchivoAbrir() override { return abrir; }
    std::optional<std::string> elegirArchivoGuardar() override { return guardar; }
    void mensaje(const std::string& t, const std::string& ti, Icono i, const std::string& d) override
    {
        mensajes.push_back({t, ti, i, d});
    }
    void ponerPanel(int n, const std::string& t) override { paneles[n] = t; }
    void ponerTitulo(const std::string& t) override { titulo = t; }
    int Direccion_Rele() const override { return direccion; }
};

} // namespace kova::prueba
