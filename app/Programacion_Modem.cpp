#include "app/Programacion_Modem.h"

#include "app/CommandLine.h"
#include "app/Cp1252.h"
#include "link/Puerto_No_Abierto.h"
#include "platform/ComPortDevice.h"
#include "platform/StderrLine.h"
#include "platform/Ui.h"
#include "platform/UiNotifier.h"
#include "platform/Waits.h"
#include "platform/WholeFileWriter.h"
#include "text/NumberText.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace kova {

namespace {

// Blanks (only) removed at both ends, as the input box's answer is taken.
QString sinBlancos(const QString& s)
{
    return QString::fromStdString(cp1252::recortar(s.toStdString()));
}

std::string bytesDe(const QString& texto) { return cp1252::codificar(texto.toStdString()); }

// All of the file at `ruta`: empty when there is none, or when it is no
// plain file (the whole-file write refuses that one). Nothing, with the
// system's reason, when it is there but cannot be read.
std::optional<std::string> leerArchivo(const std::string& ruta, std::string& razon)
{
    struct stat st {};
    if (::stat(ruta.c_str(), &st) != 0) {
        if (errno == ENOENT)
            return std::string();
        razon = std::strerror(errno);
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode))
        return std::string();
    const int fd = ::open(ruta.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        razon = std::strerror(errno);
        return std::nullopt;
    }
    std::string contenido;
    char bloque[4096];
    for (;;) {
        const ssize_t n = ::read(fd, bloque, sizeof bloque);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            razon = std::strerror(errno);
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        contenido.append(bloque, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return contenido;
}

void mensaje(const QString& texto, MsgIcon icono = MsgIcon::None, const QString& titulo = kAppTitle)
{
    ui().msgBox(texto, MsgButtons::OKOnly, icono, titulo);
}

// Settings a run changes, put back when it ends however it ends.
class Restaurar {
public:
    explicit Restaurar(AppState& st)
        : st_(st), modoModem_(st.Modo_Modem), puertoCom_(st.Puerto_Com), velocidad_(st.Velocidad)
    {
    }
    ~Restaurar()
    {
        st_.Modo_Modem = modoModem_;
        st_.Puerto_Com = puertoCom_;
        st_.Velocidad = velocidad_;
    }
    Restaurar(const Restaurar&) = delete;
    Restaurar& operator=(const Restaurar&) = delete;

private:
    AppState& st_;
    bool modoModem_;
    std::int16_t puertoCom_;
    std::int32_t velocidad_;
};

// "a", "a and b", "a, b and c".
std::string enumerados(const std::vector<std::string>& textos, std::size_t desde, std::size_t hasta)
{
    std::string lista;
    for (std::size_t i = desde; i < hasta; ++i) {
        if (i > desde) lista += i + 1 == hasta ? " and " : ", ";
        lista += "\"" + textos[i] + "\"";
    }
    return lista;
}

std::string sinRetorno(const std::string& comando)
{
    return !comando.empty() && comando.back() == '\r' ? comando.substr(0, comando.size() - 1) : comando;
}

} // namespace

// One sequence of commands under way: what Detalle_En_Curso tells of.
class Programacion_Modem::Secuencia {
public:
    Secuencia(Programacion_Modem& m, std::vector<std::string> plan) : m_(m)
    {
        m_.plan_ = std::move(plan);
        m_.enviados_ = 0;
    }
    ~Secuencia() { m_.plan_.clear(); }
    Secuencia(const Secuencia&) = delete;
    Secuencia& operator=(const Secuencia&) = delete;

private:
    Programacion_Modem& m_;
};

std::string Programacion_Modem::Detalle_En_Curso() const
{
    if (plan_.empty())
        return {};
    const std::size_t n = std::min(enviados_, plan_.size());
    std::string detalle = "The modem on COM" + integerText(st_.Puerto_Com) + " got ";
    detalle += n == 0 ? "no command" : enumerados(plan_, 0, n);
    if (n < plan_.size())
        detalle += "; " + enumerados(plan_, n, plan_.size()) + (plan_.size() - n == 1 ? " was" : " were") + " not sent";
    return detalle + ".";
}

Programacion_Modem::Programacion_Modem(AppState& state, ISerialPort& modem, ISerialPort& enlace,
                                       std::function<bool()> conectando)
    : st_(state), modem_(modem), enlace_(enlace), conectando_(std::move(conectando))
{
}

void Programacion_Modem::Modem_Click(const Eleccion_Modem& eleccion)
{
    // The modem would otherwise share the line with a running link.
    if (st_.link.Comunicando || (conectando_ && conectando_())) {
        mensaje(kDesconecte, MsgIcon::Exclamation);
        return;
    }
    if (eleccion.ubicacion < 0) {
        mensaje(kSeleccione, MsgIcon::Exclamation);
        return;
    }
    if (eleccion.personal) {
        Leer_Cadena_Modem(1);
        // Cancel answers an empty text: the file stays as it is and the
        // string sent is empty (a lone CR).
        Cadena_Modem = sinBlancos(ui().inputBox(kIngrese, QString(), sinBlancos(Cadena_Modem)));
        if (!Cadena_Modem.isEmpty())
            Grabar_Cadena_Modem(1);
    }
    const MsgAnswer respuesta =
        ui().msgBox(kConecte + eleccion.ubicacionTexto, MsgButtons::OKCancel, MsgIcon::None, kAppTitle);
    Restaurar restaurar(st_);
    st_.Modo_Modem = false;
    if (respuesta != MsgAnswer::OK)
        return;
    if (eleccion.velocidad >= 0 && eleccion.velocidad < static_cast<int>(kVelocidades.size()))
        st_.Velocidad = kVelocidades[static_cast<std::size_t>(eleccion.velocidad)];
    st_.Puerto_Com = static_cast<std::int16_t>(eleccion.ubicacion + 1);
    if (!abrir())
        return;
    try {
        if (!eleccion.personal)
            cadenaPorDefecto();
        else if (Programar_Modem(Cadena_Modem))
            mensaje(kProgramado);
    } catch (const SerialPortError& e) {
        // The port failed under the run (e.g. the device went away): the
        // run ends at once, told as a modem that does not answer.
        puertoFallido(e.what());
    } catch (const Terminado&) {
        // The program is ending: it tells what the modem got.
    }
    cerrar();
}

void Programacion_Modem::puertoFallido(const std::string& motivo)
{
    st_.link.Comunicando = false;
    const std::string detalle =
        "COM" + integerText(st_.Puerto_Com) + " (" + comPortDevice(st_.Puerto_Com) + "): " + motivo;
    writeStderrLine("kova: " + kSinRespuesta.toStdString() + ": " + detalle);
    ui().msgBoxDetail(kSinRespuesta, MsgButtons::OKOnly, MsgIcon::None, kAppTitle, QString::fromStdString(detalle));
}

bool Programacion_Modem::abrir()
{
    try {
        if (enlace_.portOpen())
            enlace_.setPortOpen(false);
        modem_.setCommPort(st_.Puerto_Com);
        modem_.setSettings(integerText(st_.Velocidad) + ",N,8,1");
        modem_.setDTREnable(true);
        modem_.setPortOpen(true);
        modem_.setRThreshold(0);
        modem_.setSThreshold(0);
        modem_.input();
        return true;
    } catch (const SerialPortError& e) {
        modem_.setPortOpen(false);
        // Told as a connect tells it: the reason in the detail line and on stderr.
        UiNotifier aviso;
        Avisar_Puerto_No_Abierto(&aviso, st_.Puerto_Com, e.what());
        return false;
    }
}

void Programacion_Modem::cerrar()
{
    try {
        modem_.setDTREnable(false);
    } catch (const SerialPortError&) {
    }
    modem_.setPortOpen(false);
}

void Programacion_Modem::enviar(const std::string& bytes)
{
    if (programEnding())
        throw Terminado{};
    modem_.output(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    ++enviados_;
}

bool Programacion_Modem::esperarRespuesta(int ms, const std::function<bool(const std::string&)>& listo,
                                          std::string& respuesta)
{
    bool cerrado = false;
    bool terminado = false;
    const bool llego = runEventsUntil(ms, true, [&] {
        if (programEnding())
            return terminado = true;
        // A port that closed itself (its device went away) ends the wait.
        if (!modem_.portOpen())
            return cerrado = true;
        if (modem_.inBufferCount() > 0) {
            const std::vector<std::uint8_t> llegado = modem_.input();
            respuesta.append(llegado.begin(), llegado.end());
        }
        return listo(respuesta);
    }, tiempos_.sondeoMs);
    if (terminado)
        throw Terminado{};
    // Reading the closed port raises its error, which tells why.
    if (cerrado)
        modem_.input();
    return llego;
}

Programacion_Modem::Resultado Programacion_Modem::resultado(const std::string& respuesta)
{
    std::size_t inicio = 0;
    for (std::size_t i = 0; i < respuesta.size(); ++i) {
        if (respuesta[i] != '\r' && respuesta[i] != '\n')
            continue;
        const std::string linea = cp1252::recortar(std::string_view(respuesta).substr(inicio, i - inicio));
        inicio = i + 1;
        if (linea.empty() || ((linea[0] == 'A' || linea[0] == 'a') && linea.size() > 1
                              && (linea[1] == 'T' || linea[1] == 't')))
            continue;
        return linea == "OK" || linea == "0" ? Resultado::Exito : Resultado::Fallo;
    }
    return Resultado::Ninguno;
}

void Programacion_Modem::cadenaPorDefecto()
{
    const auto conResultado = [](const std::string& r) { return resultado(r) != Resultado::Ninguno; };
    const Secuencia secuencia(*this, {sinRetorno(kPrimero), sinRetorno(kSegundo)});
    std::string respuesta;
    enviar(kPrimero);
    esperarRespuesta(tiempos_.respuestaMs, conResultado, respuesta);
    // Some answer without a result line still lets the run go on.
    if (respuesta.empty()) {
        st_.link.Comunicando = false;
        mensaje(kSinRespuesta);
        return;
    }
    // Whatever followed the first answer is not the second one's.
    modem_.input();
    respuesta.clear();
    enviar(kSegundo);
    esperarRespuesta(tiempos_.respuestaMs, conResultado, respuesta);
    switch (resultado(respuesta)) {
    case Resultado::Exito: mensaje(kProgramado); break;
    case Resultado::Fallo: mensaje(kNoResponde); break;
    case Resultado::Ninguno:
        st_.link.Comunicando = false;
        mensaje(kSinRespuesta);
        break;
    }
}

std::string Programacion_Modem::paso(const std::string& comando, int ms, const char* tambien)
{
    if (!comando.empty())
        enviar(comando);
    std::string respuesta;
    esperarRespuesta(ms, [tambien](const std::string& r) {
        return r.find("OK\r\n") != std::string::npos || (tambien && r.find(tambien) != std::string::npos);
    }, respuesta);
    return respuesta;
}

bool Programacion_Modem::Programar_Modem(const QString& texto)
{
    Modem_Programado = false;
    try {
        return cadenaPersonal(texto);
    } catch (const Terminado&) {
        return false;
    }
}

bool Programacion_Modem::cadenaPersonal(const QString& texto)
{
    const Secuencia secuencia(*this, {"ATV1E0", "+++", "ATH", "AT&F", "AT&K0N1", texto.toStdString()});
    modem_.input();
    const auto& t = tiempos_.pasosMs;
    // The answers before the last one are awaited but not judged; a modem
    // that answers nothing at all to the first is not waited for further.
    if (paso("ATV1E0\r", t[0]).empty()) {
        st_.link.Comunicando = false;
        mensaje(kSinRespuesta);
        return false;
    }
    Esperar(tiempos_.guardaMs);
    enviar("+++");
    Esperar(tiempos_.guardaMs);
    paso({}, t[1]);
    paso("ATH\r", t[2]);
    paso("AT&F\r", t[3]);
    paso("AT&K0N1\r", t[4]);
    const std::string respuesta = paso(bytesDe(texto) + "\r", t[5], "ERROR\r\n");
    if (respuesta.find("OK\r\n") != std::string::npos)
        Modem_Programado = true;
    else if (respuesta.find("ERROR\r\n") != std::string::npos)
        mensaje(kNoResponde);
    else {
        st_.link.Comunicando = false;
        mensaje(kSinRespuesta);
    }
    return Modem_Programado;
}

void Programacion_Modem::Esperar(int ms) { runEventsFor(ms, true, programEnding); }

QString Programacion_Modem::Archivo_Cadena() const { return QDir(st_.Ruta_App).filePath(kArchivo); }

void Programacion_Modem::Leer_Cadena_Modem(int n)
{
    Cadena_Modem.clear();
    QFile archivo(Archivo_Cadena());
    if (n < 1 || !archivo.open(QIODevice::ReadOnly) || !archivo.seek(qint64(n - 1) * kLargoRegistro))
        return;
    const QByteArray registro = archivo.read(kLargoRegistro);
    Cadena_Modem = QString::fromStdString(cp1252::decodificar(registro.toStdString()));
}

bool Programacion_Modem::Grabar_Cadena_Modem(int n)
{
    const QString ruta = Archivo_Cadena();
    // The other records are kept: a file that is there but cannot be read
    // is not taken as empty, which would blank them.
    std::string razon;
    const std::optional<std::string> anterior = leerArchivo(QFile::encodeName(ruta).toStdString(), razon);
    if (!anterior) {
        ui().msgBoxDetail(kErrorEscritura, MsgButtons::OKOnly, MsgIcon::Critical, kAppTitle,
                          ruta + QStringLiteral(": ") + QString::fromStdString(razon));
        return false;
    }
    QByteArray contenido = QByteArray::fromStdString(*anterior);
    const qint64 posicion = qint64(std::max(n, 1) - 1) * kLargoRegistro;
    if (contenido.size() < posicion + kLargoRegistro)
        contenido.append(posicion + kLargoRegistro - contenido.size(), ' ');
    const std::string registro =
        cp1252::codificar(cp1252::ajustar(Cadena_Modem.toStdString(), kLargoRegistro));
    contenido.replace(posicion, kLargoRegistro, QByteArray::fromStdString(registro));
    // Written whole or not at all: a failed write leaves the old file.
    if (writeWholeFile(QFile::encodeName(ruta).toStdString(), contenido.toStdString(), &razon))
        return true;
    ui().msgBoxDetail(kErrorEscritura, MsgButtons::OKOnly, MsgIcon::Critical, kAppTitle,
                      ruta + QStringLiteral(": ") + QString::fromStdString(razon));
    return false;
}

} // namespace kova
