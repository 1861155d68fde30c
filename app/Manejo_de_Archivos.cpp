#include "app/Manejo_de_Archivos.h"

#include "pages/SetpointRangeCheck.h"
#include "platform/WholeFileWriter.h"
#include "text/NumberText.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace kova {
namespace {

QString rutaQt(const std::string& ruta)
{
    return QFile::decodeName(QByteArray(ruta.data(), static_cast<qsizetype>(ruta.size())));
}

Fecha_Civil fechaDeHoy()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

// The detail line of "It isn't KOVA File": the path, and why when the file
// is missing or too short to hold a record.
std::string detalleNoEsKova(const std::string& ruta, Resultado_Lectura r, std::size_t largo)
{
    if (r == Resultado_Lectura::No_Existe)
        return ruta + ": " + std::strerror(ENOENT);
    if (largo < Registro_Archivo::Largo)
        return ruta + ": file is " + integerText(largo) + " bytes, a KOVA2 file has " +
               integerText(Registro_Archivo::Largo);
    return ruta;
}

} // namespace

Resultado_Lectura leerArchivo(const std::string& ruta, std::vector<std::uint8_t>& datos,
                              std::size_t maximo, std::string* razon)
{
    datos.clear();
    const QString nombre = rutaQt(ruta);
    if (!QFileInfo::exists(nombre))
        return Resultado_Lectura::No_Existe;
    QFile archivo(nombre);
    auto error = [&] {
        if (razon) *razon = archivo.errorString().toStdString();
        return Resultado_Lectura::Error;
    };
    if (QFileInfo(nombre).isDir()) {
        if (razon) *razon = std::strerror(EISDIR);
        return Resultado_Lectura::Error;
    }
    if (!archivo.open(QIODevice::ReadOnly))
        return error();
    datos.resize(maximo);
    std::size_t total = 0;
    while (total < maximo) {
        const qint64 n = archivo.read(reinterpret_cast<char*>(datos.data() + total),
                                      static_cast<qint64>(maximo - total));
        if (n < 0)
            return error();
        if (n == 0)
            break;
        total += static_cast<std::size_t>(n);
    }
    datos.resize(total);
    return Resultado_Lectura::Leido;
}

Manejo_de_Archivos::Manejo_de_Archivos(IEnlace_Archivos& enlace, IVentana_Archivos& ventana)
    : enlace_(enlace)
    , ventana_(ventana)
    , hoy_(fechaDeHoy)
{
}

void Manejo_de_Archivos::usarReloj(std::function<Fecha_Civil()> hoy)
{
    hoy_ = std::move(hoy);
}

bool Manejo_de_Archivos::Grabar_Archivo(const std::string& ruta)
{
    Datos_Archivo d;
    d.Fecha = numeroDeFecha(hoy_());
    d.Programador = Programador;
    d.Nombre_Rele = Nombre_Rele;
    d.Observaciones = Observaciones;
    d.Firmware_Rele = Firmware_Rele;
    d.Put = enlace_.imagenPut();
    d.Actual = enlace_.imagenActual();
    if (Datos_De_Archivo) {
        d.Eventos = Eventos;
    } else {
        for (int r = 0; r < Registro_Archivo::Filas_Eventos; ++r) {
            d.Eventos.Eventos_Texto[r] = enlace_.DatosDeVariables(Posicion_Eventos + r);
            for (int c = 1; c <= 10; ++c)
                d.Eventos.columna(c)[r] = enlace_.DatosDeVariables(Posicion_Eventos + 20 * c + r);
        }
    }

    Registro_Archivo nuevo = registro_;
    nuevo.escribir(d);
    const auto& bytes = nuevo.bytes();
    std::string razon;
    if (!writeWholeFile(ruta, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &razon,
                        true)) {
        ventana_.mensaje(Texto_Error_Escritura, Titulo_Mensajes, IVentana_Archivos::Icono::Critico,
                         ruta + ": " + razon);
        return false;
    }
    registro_ = nuevo;
    Archivo_Guardado = true;
    // The title names the file now worked on, as after a load.
    ventana_.ponerTitulo(std::string(Titulo_Principal) + " - " + ruta);
    return true;
}

bool Manejo_de_Archivos::Leer_Archivo(const std::string& ruta, bool avisarRangos)
{
    std::vector<std::uint8_t> datos;
    std::string razon;
    const Resultado_Lectura r = leerArchivo(ruta, datos, Registro_Archivo::Largo, &razon);
    if (r == Resultado_Lectura::Error) {
        Archivo_Cargado = false;
        ventana_.mensaje(Texto_Error_Lectura, Titulo_Mensajes, IVentana_Archivos::Icono::Critico,
                         ruta + ": " + razon);
        return false;
    }
    std::optional<Registro_Archivo> leido;
    if (r == Resultado_Lectura::Leido)
        leido = Registro_Archivo::desdeBytes(datos);
    if (!leido) {
        Archivo_Cargado = false;
        ventana_.mensaje(Texto_No_Es_KOVA, Titulo_Mensajes, IVentana_Archivos::Icono::Ninguno,
                         detalleNoEsKova(ruta, r, datos.size()));
        return false;
    }

    const Datos_Archivo d = leido->leer();
    Nombre_Rele = d.Nombre_Rele;
    Observaciones = d.Observaciones;
    Programador = d.Programador;
    const auto fecha = fechaDeNumero(d.Fecha);
    Fecha_Texto = fecha ? enlace_.textoFecha(*fecha) : std::string();
    Firmware_Rele = d.Firmware_Rele;
    enlace_.entrarModoArchivo();
    enlace_.ponerImagenPut(d.Put);
    enlace_.ponerImagenActual(d.Actual);
    Eventos = d.Eventos;
    enlace_.Copiar_Put_A_Get();
    registro_ = *leido;
    Datos_De_Archivo = true;

    ventana_.ponerPanel(5, "Address: " + signedText(ventana_.Direccion_Rele()));
    ventana_.ponerPanel(6, "Not Communicating..");
    Archivo_Cargado = true;
    ventana_.ponerTitulo(std::string(Titulo_Principal) + " - " + ruta);
    if (avisarRangos)
        if (const auto fuera = setpointRangeProblems(d.Put); !fuera.empty())
            ventana_.mensaje(anyFormUnusable(fuera) ? Texto_Forma_Inservible : Texto_Fuera_De_Rango,
                             Titulo_Mensajes, IVentana_Archivos::Icono::Critico, rangeProblemsDetail(fuera));
    return true;
}

void Manejo_de_Archivos::Abrir_Setpoints(bool avisarRangos)
{
    Archivo_Cargado = false;
    if (const auto ruta = ventana_.elegirArchivoAbrir())
        Leer_Archivo(*ruta, avisarRangos);
}

void Manejo_de_Archivos::Guardar_Setpoints()
{
    if (const auto ruta = ventana_.elegirArchivoGuardar()) {
        Archivo_Guardado = false;
        Grabar_Archivo(*ruta);
    }
}

} // namespace kova
