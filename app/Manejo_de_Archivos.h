#pragma once

// Setpoint files: saving and loading the 4268-byte record of a *.KOVA2
// file, the open and save dialogs, and the header texts and event copy that
// travel with the setpoints.
//
// A load puts the program in file mode: the link goes offline, dispatching
// stops, the Put and actual-values images take the file's bytes and the Get
// image is made equal to the Put image. A load checks the whole record
// before it changes anything; a save replaces the file atomically.

#include "app/Registro_Archivo.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kova {

// File dialog filters. Linux names are case-sensitive, so both spellings of
// the extension are listed.
inline constexpr const char* Filtro_Abrir = "KOVA Files (*.KOVA2 *.kova2);;All Files (*)";
inline constexpr const char* Filtro_Guardar = "KOVA Files (*.KOVA2 *.kova2);; All Files (*)";

// What the file routines use of the relay link and the link state.
class IEnlace_Archivos
{
public:
    virtual ~IEnlace_Archivos() = default;
    virtual Imagen_Setpoints imagenPut() const = 0;
    virtual Imagen_Actual imagenActual() const = 0;
    virtual void ponerImagenPut(const Imagen_Setpoints& put) = 0;
    virtual void ponerImagenActual(const Imagen_Actual& actual) = 0;
    // Get image := Put image.
    virtual void Copiar_Put_A_Get() = 0;
    // The engine's decoded value at a position, as text ("" when empty).
    virtual std::string DatosDeVariables(int posicion) const = 0;
    // Offline with dispatching stopped: Comunicando = false, Detener_Comunicacion = true.
    virtual void entrarModoArchivo() = 0;
    // The date as the program's short date text.
    virtual std::string textoFecha(const Fecha_Civil& fecha) const = 0;
};

// What the file routines use of the main window: its dialogs, message
// boxes, status bar and caption.
class IVentana_Archivos
{
public:
    enum class Icono { Ninguno, Critico };

    virtual ~IVentana_Archivos() = default;
    // The chosen path, or nothing on cancel.
    virtual std::optional<std::string> elegirArchivoAbrir() = 0;
    virtual std::optional<std::string> elegirArchivoGuardar() = 0;
    // A message box; detalle, when not empty, is its detail line (the file
    // and what went wrong).
    virtual void mensaje(const std::string& texto, const std::string& titulo, Icono icono,
                         const std::string& detalle) = 0;
    // Status-bar panel n (1-based).
    virtual void ponerPanel(int n, const std::string& texto) = 0;
    virtual void ponerTitulo(const std::string& titulo) = 0;
    virtual int Direccion_Rele() const = 0;
};

enum class Resultado_Lectura { Leido, No_Existe, Error };

// Reads up to `maximo` bytes of a file opened read-only (never creates it).
// On Error, razon (when given) receives the system's reason.
Resultado_Lectura leerArchivo(const std::string& ruta, std::vector<std::uint8_t>& datos,
                              std::size_t maximo, std::string* razon = nullptr);

class Manejo_de_Archivos
{
public:
    static constexpr const char* Titulo_Principal = "KOVA Ver 2.1.4 For KOVA Relays V1.xx";
    static constexpr const char* Titulo_Mensajes = "KOVA";
    static constexpr const char* Texto_No_Es_KOVA = "It isn't KOVA File";
    static constexpr const char* Texto_Error_Escritura = "Error writing file";
    static constexpr const char* Texto_Error_Lectura = "Error reading file";
    static constexpr const char* Texto_Fuera_De_Rango =
        "The file holds settings outside their ranges; correct them before sending it to a relay";
    static constexpr const char* Texto_Forma_Inservible =
        "A setpoint page's form could not be used, so the file's settings could not be checked";
    static constexpr const char* Nombre_Por_Defecto = "Default.KOVA2";
    // First position of the engine's event table: text of row r at 84 + r,
    // value c of row r at 84 + 20c + r.
    static constexpr int Posicion_Eventos = 84;

    Manejo_de_Archivos(IEnlace_Archivos& enlace, IVentana_Archivos& ventana);

    // Saves the current setpoints to `ruta` (written whole, read back and
    // compared before it replaces the old file) and names it in the main
    // window's title. False (after "Error writing file", with the system's
    // reason in the detail line) when the file could not be written; the old
    // file and the title are then intact.
    bool Grabar_Archivo(const std::string& ruta);
    // Loads `ruta`. False when the file is missing, short or foreign ("It
    // isn't KOVA File") or unreadable ("Error reading file"); nothing changes then.
    // A file with settings outside their ranges is loaded, so it can be
    // mended; avisarRangos says which ones (a send says it itself), or which
    // setpoint page's form could not be used to check them.
    bool Leer_Archivo(const std::string& ruta, bool avisarRangos = true);
    // Open dialog, then Leer_Archivo. Cancel does nothing.
    void Abrir_Setpoints(bool avisarRangos = true);
    // Save dialog, then Grabar_Archivo. Cancel does nothing.
    void Guardar_Setpoints();

    // Header texts of the setpoint data.
    std::string Programador = std::string(20, ' ');
    std::string Nombre_Rele = std::string(20, ' ');
    std::string Observaciones;
    std::string Fecha_Texto;
    std::string Firmware_Rele;
    bool Archivo_Cargado = false;
    bool Archivo_Guardado = false;
    // The event copy of the last loaded file.
    Copia_Eventos Eventos;
    // True while the setpoint data came from a file: a save then stores the
    // loaded event copy instead of the engine's event table. Set by a load;
    // the polling loop clears it at the first good reply after a connect.
    bool Datos_De_Archivo = false;

    // The record as last loaded or saved (zero bytes at first); save keeps
    // its unwritten bytes.
    const Registro_Archivo& registro() const { return registro_; }

    // Seam for tests and the build-time default file.
    void usarReloj(std::function<Fecha_Civil()> hoy);

private:
    IEnlace_Archivos& enlace_;
    IVentana_Archivos& ventana_;
    std::function<Fecha_Civil()> hoy_;
    Registro_Archivo registro_;
};

} // namespace kova
