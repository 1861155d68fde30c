#include "tools/default-file/Archivo_Por_Defecto.h"

namespace kova {
namespace {

// Default setpoints, no actual values, no events.
class Enlace_Por_Defecto : public IEnlace_Archivos
{
public:
    Imagen_Setpoints imagenPut() const override { return imagenPutPorDefecto(); }
    Imagen_Actual imagenActual() const override { return {}; }
    void ponerImagenPut(const Imagen_Setpoints&) override {}
    void ponerImagenActual(const Imagen_Actual&) override {}
    void Copiar_Put_A_Get() override {}
    std::string DatosDeVariables(int) const override { return {}; }
    void entrarModoArchivo() override {}
    std::string textoFecha(const Fecha_Civil&) const override { return {}; }
};

class Sin_Ventana : public IVentana_Archivos
{
public:
    std::string error;
    std::optional<std::string> elegirArchivoAbrir() override { return std::nullopt; }
    std::optional<std::string> elegirArchivoGuardar() override { return std::nullopt; }
    void mensaje(const std::string& texto, const std::string&, Icono, const std::string& detalle) override
    {
        error = detalle.empty() ? texto : texto + " (" + detalle + ")";
    }
    void ponerPanel(int, const std::string&) override {}
    void ponerTitulo(const std::string&) override {}
    int Direccion_Rele() const override { return 1; }
};

} // namespace

bool escribirArchivoPorDefecto(const std::string& ruta, std::string& error)
{
    Enlace_Por_Defecto enlace;
    Sin_Ventana ventana;
    Manejo_de_Archivos archivos(enlace, ventana);
    archivos.Firmware_Rele = "1.01";
    const bool ok = archivos.Grabar_Archivo(ruta);
    error = ventana.error;
    return ok;
}

} // namespace kova
