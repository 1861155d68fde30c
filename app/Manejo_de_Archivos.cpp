#include "app/Manejo_de_Archivos.h"

#include "pages/SetpointRangeCheck.h"
#include "text/NumberText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

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
        return ruta + ": file is " + std::to_string(largo) + " bytes, a KOVA2 file has " +
               std::to_string(Registro_Archivo::Largo);
    return ruta;
}

} // namespace

long long Escritor_Archivo::escribirParte(QIODevice& archivo, const char* datos, long long n)
{
    return archivo.write(datos, n);
}

bool Escritor_Archivo::fallo(std::string razon)
{
    razon_ = std::move(razon);
    return false;
}

bool Escritor_Archivo::escribir(const std::string& ruta, std::span<const std::uint8_t> datos)
{
    razon_.clear();
    const QString nombre = rutaQt(ruta);
    struct stat previo {};
    const bool existe = ::stat(ruta.c_str(), &previo) == 0;
    if (existe) {
        if (!S_ISREG(previo.st_mode))
            return fallo("not a file");
        // A file marked read-only is not replaced behind the user's back.
        // Its permission bits decide: the process's access would let root
        // write anything.
        if ((previo.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(ruta.c_str(), W_OK) != 0)
            return fallo("read-only");
    }

    QSaveFile archivo(nombre);
    archivo.setDirectWriteFallback(true);
    if (!archivo.open(QIODevice::WriteOnly))
        return fallo(archivo.errorString().toStdString());
    if (existe) {
        // The new file stands in for the old one: same owner (where the
        // process may give it away, as root) and same permission bits.
        [[maybe_unused]] const int r = ::fchown(archivo.handle(), previo.st_uid, previo.st_gid);
        if (::fchmod(archivo.handle(), previo.st_mode & 07777) != 0) {
            archivo.cancelWriting();
            return fallo(std::strerror(errno));
        }
    }
    const char* p = reinterpret_cast<const char*>(datos.data());
    long long resto = static_cast<long long>(datos.size());
    while (resto > 0) {
        const long long n = escribirParte(archivo, p, resto);
        if (n <= 0) {
            const std::string razon = archivo.errorString().toStdString();
            archivo.cancelWriting();
            return fallo(razon.empty() || razon == "Unknown error" ? "the data could not be written" : razon);
        }
        p += n;
        resto -= n;
    }
    if (!archivo.commit())
        return fallo(archivo.errorString().toStdString());

    std::vector<std::uint8_t> leido;
    std::string razon;
    if (leerArchivo(ruta, leido, datos.size() + 1, &razon) != Resultado_Lectura::Leido)
        return fallo(razon.empty() ? "the file cannot be read back" : razon);
    if (!std::equal(leido.begin(), leido.end(), datos.begin(), datos.end()))
        return fallo("the file read back differs from what was written");
    return true;
}

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
    , escritor_(std::make_unique<Escritor_Archivo>())
    , hoy_(fechaDeHoy)
{
}

void Manejo_de_Archivos::usarEscritor(std::unique_ptr<Escritor_Archivo> escritor)
{
    escritor_ = std::move(escritor);
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
    if (!escritor_->escribir(ruta, nuevo.bytes())) {
        ventana_.mensaje(Texto_Error_Escritura, Titulo_Mensajes, IVentana_Archivos::Icono::Critico,
                         ruta + ": " + escritor_->razon());
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
            ventana_.mensaje(Texto_Fuera_De_Rango, Titulo_Mensajes, IVentana_Archivos::Icono::Critico,
                             rangeProblemsDetail(fuera));
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
