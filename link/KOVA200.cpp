#include "link/KOVA200.h"

#include "link/BasicCRC.h"
#include "link/Proceso_Comunicacion.h"
#include "link/Puerto_No_Abierto.h"
#include "link/RegisterImages.h"
#include "link/RespuestaEsperada.h"

#include "text/HexText.h"
#include "text/NumberText.h"

#include <optional>
#include <string_view>

namespace kova {
namespace {

// Internal failure of a frame writer: the request ends silently.
struct FrameAbort {};

// A UTF-8 text cut or padded with blanks to n characters; a character is a
// lead byte with its continuation bytes.
std::string textoDeLargo(std::string_view texto, std::size_t n)
{
    std::size_t fin = 0, caracteres = 0;
    while (fin < texto.size() && caracteres < n) {
        ++fin;
        while (fin < texto.size() && (static_cast<unsigned char>(texto[fin]) & 0xC0) == 0x80)
            ++fin;
        ++caracteres;
    }
    std::string out(texto.substr(0, fin));
    out.append(n - caracteres, ' ');
    return out;
}

std::uint8_t aByte(int v)
{
    if (v < 0 || v > 255)
        throw FrameAbort{};
    return static_cast<std::uint8_t>(v);
}

// Stores reply data in an image from byte base on; bytes that would fall
// outside the image are dropped.
template <std::size_t N>
void escribirImagen(std::array<std::uint8_t, N>& img, int base, const std::uint8_t* datos, int n)
{
    for (int i = 0; i < n; ++i)
        if (base + i >= 0 && base + i < static_cast<int>(N))
            img[static_cast<std::size_t>(base + i)] = datos[i];
}

} // namespace

KOVA200::KOVA200(LinkState& link, RegisterImages& images) : link_(link), images_(images) {}

void KOVA200::setVersion(const std::string& v)
{
    version_ = textoDeLargo(v, 8);
}

void KOVA200::setID(std::int16_t)
{
    throw PropertyError(393, "ID is read-only");
}

void KOVA200::Ejecuta()
{
    if (ejecutando_)
        return;
    ejecutando_ = true;
    enviada_.clear();
    try {
        ejecutarSolicitud(accion_);
    } catch (...) {
        // Every request ends silently on a failure; the time-out handles it.
    }
    ejecutando_ = false;
    bool respuesta = resultado_;
    if (events.Finalizado)
        events.Finalizado(respuesta);
}

void KOVA200::ejecutarSolicitud(int codigo)
{
    switch (codigo) {
    case 1: Abrir_Puerto(); break;
    case 2: Leer_Registros_Actuales(0x02, 0x03, 0, 4, 8); break;            // Leer_Bloque_0203
    case 4: Leer_Registros_Actuales(0x02, 0x0D, 0, 26, 52); break;          // Leer_Bloque_020D
    case 5: Leer_Registros_Actuales(0x02, 0xD0, 0, 7, 14); break;           // Leer_Bloque_02D0
    case 6: Leer_Registros_Actuales(0x02, 0x7F, 0, 21, 42); break;          // Leer_Bloque_027F
    case 7: Leer_Registros_Actuales(0x02, 0x2F, 0, 25, 50); break;          // Leer_Bloque_022F
    case 8: Leer_Actual_Values_Unbalance(); break;
    case 9: Leer_Actual_Values_Demand(); break;
    case 10: Leer_Actual_Values_Energy(); break;
    case 11: Ejecuta_Comando(1); break;   // Comando_1
    case 12: Ejecuta_Comando(8); break;   // Comando_8
    case 13: Ejecuta_Comando(9); break;   // Comando_9
    case 14: Ejecuta_Comando(2); break;   // Comando_2
    case 15: Ejecuta_Comando(20); break;  // Comando_20
    case 16: Ejecuta_Comando(21); break;  // Comando_21
    case 17: Ejecuta_Comando(22); break;  // Comando_22
    case 18:
    case 19: Ejecuta_Comando(6); break;   // Comando_6
    case 27: escribirSetpoints(1); break; // Escribir_Setpoints_0101
    case 28: escribirSetpoints(2); break; // Escribir_Setpoints_0119
    case 30: Leer_Last_Event_Number(); break;
    case 31: case 32: case 33: case 34: case 35: case 36: case 37: case 38: case 39: case 40:
    case 41: case 42: case 43: case 44: case 45: case 46: case 47: case 48: case 49: case 50:
        Leer_Evento(static_cast<std::int16_t>(codigo - 30));
        break;
    case 60: Leer_Firmware(); break;
    case 61: Leer_Registros_Setpoints(0x01, 0x01, 0, 24, 48); break;        // Leer_Setpoints_0101
    case 62: Leer_Registros_Setpoints(0x01, 0x19, 0, 24, 48); break;        // Leer_Setpoints_0119
    case 63: Leer_Registros_Setpoints(0x10, 0x00, 0, 25, 50); break;        // Leer_Setpoints_1000
    case 64: Leer_Registros_Setpoints(0x10, 0x19, 0, 25, 50); break;        // Leer_Setpoints_1019
    case 65: Leer_Registros_Setpoints(0x10, 0x32, 0, 25, 50); break;        // Leer_Setpoints_1032
    case 66: Leer_Registros_Setpoints(0x10, 0x4B, 0, 26, 52); break;        // Leer_Setpoints_104B
    case 90: Read_Event_Actualizado(); break;
    case 91: Leer_Actual_Date_Time(); break;
    case 92: Date_Time_Comand(); break;
    case 93: Write_Date_Time(); break;
    case 110: escribirSetpoints(3); break; // Escribir_Setpoints_1000
    case 111: escribirSetpoints(4); break; // Escribir_Setpoints_1019
    case 112: escribirSetpoints(5); break; // Escribir_Setpoints_1032
    case 113: escribirSetpoints(6); break; // Escribir_Setpoints_104B
    default: break; // no procedure: nothing is sent
    }
}

void KOVA200::Reconocer_Controles_De_Comunicacion()
{
    for (ISerialPort* c : hostControls_) {
        if (c != nullptr) {
            setComunicacion(c);
            return;
        }
    }
}

bool KOVA200::Abrir_Puerto()
{
    std::string motivo;
    try {
        if (port_ == nullptr)
            throw SerialPortError("no serial port is bound to the engine");
        // Nothing sent on the line before can answer any more.
        pendientes_.olvidar();
        if (port_->portOpen())
            port_->setPortOpen(false);
        port_->setCommPort(puertoPC_);
        port_->setSettings(cadenaCom_ + ",N,8,1");
        port_->setPortOpen(true);
        resultado_ = true;
        return true;
    } catch (const std::exception& e) {
        motivo = e.what();
    } catch (...) {
        motivo = "the port could not be opened";
    }
    Avisar_Puerto_No_Abierto(notifier_, puertoPC_, motivo);
    resultado_ = false;
    return false;
}

void KOVA200::Leer_Actual_Values_Unbalance() { Leer_Registros_Actuales(0x02, 0x4B, 0, 8, 16); }
void KOVA200::Leer_Actual_Values_Demand() { Leer_Registros_Actuales(0x02, 0x6A, 0, 21, 42); }
void KOVA200::Leer_Actual_Values_Energy() { Leer_Registros_Actuales(0x02, 0x5E, 0, 14, 28); }
void KOVA200::Leer_Firmware() { Leer_Registros_Actuales(0x00, 0x00, 0, 4, 8); }
void KOVA200::Leer_Last_Event_Number() { Leer_Registros_Actuales(0x06, 0x00, 0, 4, 8); }
void KOVA200::Read_Event_Actualizado() { Leer_Registros_Actuales(0x06, 0x10, 0, 22, 44); }
void KOVA200::Leer_Actual_Date_Time() { Leer_Registros_Actuales(0x02, 0x00, 0, 3, 6); }
void KOVA200::Date_Time_Comand() { Ejecuta_Comando(5); }

void KOVA200::Leer_Registros_Actuales(int startHi, int startLo, int countHi, int countLo, std::uint8_t dataBytes)
{
    leerRegistros(4, startHi, startLo, countHi, countLo, dataBytes);
}

void KOVA200::Leer_Registros_Setpoints(int startHi, int startLo, int countHi, int countLo, std::uint8_t dataBytes)
{
    leerRegistros(3, startHi, startLo, countHi, countLo, dataBytes);
}

void KOVA200::leerRegistros(std::uint8_t funcion, int startHi, int startLo, int countHi, int countLo,
                            std::uint8_t dataBytes)
{
    try {
        trama_.assign(8, 0);
        const std::string reg = hexText(static_cast<std::uint32_t>(startHi * 256 + startLo) & 0xFFFFu);
        if (funcion == 4) {
            registroPendiente_ = reg;
            bytesEsperados_ = dataBytes;
        } else {
            registroPendienteSet_ = reg;
            bytesEsperadosSet_ = dataBytes;
        }
        trama_[0] = direccionByte();
        trama_[1] = funcion;
        trama_[2] = aByte(startHi);
        trama_[3] = aByte(startLo);
        trama_[4] = aByte(countHi);
        trama_[5] = aByte(countLo);
        trama_.resize(6);
        agregarCRC();
        Enviar_Trama(8, dataBytes + 5);
    } catch (...) {
        // silent: no reply will come and the time-out handles it
    }
}

void KOVA200::Ejecuta_Comando(std::int16_t Comando)
{
    try {
        if (Comando < 0)
            throw FrameAbort{};
        trama_.assign(8, 0);
        trama_[0] = direccionByte();
        trama_[1] = 0x05;
        trama_[2] = static_cast<std::uint8_t>(Comando / 256);
        trama_[3] = static_cast<std::uint8_t>(Comando & 0xFF);
        trama_[4] = 0xFF;
        trama_[5] = 0x00;
        trama_.resize(6);
        agregarCRC();
        Enviar_Trama(8, 8);
    } catch (...) {
    }
}

std::uint8_t KOVA200::direccionByte() const
{
    return aByte(direccion_);
}

void KOVA200::agregarCRC()
{
    valorCRC_ = BasicCRC::CRC16(trama_.data(), static_cast<std::ptrdiff_t>(trama_.size()));
    trama_.push_back(static_cast<std::uint8_t>(valorCRC_ / 256));
    trama_.push_back(static_cast<std::uint8_t>(valorCRC_ & 0xFF));
}

void KOVA200::Enviar_Trama(int largoTrama, int largoRespuesta)
{
    if (port_ == nullptr || static_cast<int>(trama_.size()) != largoTrama)
        throw FrameAbort{};
    // Whatever is left over is dropped (it may be a late reply).
    pendientes_.descartada(port_->input(), Tramas_Pendientes::Reloj::now());
    port_->setRThreshold(largoRespuesta);
    port_->setSThreshold(largoTrama);
    detenidaAlEnviar_ = link_.Detener_Comunicacion;
    port_->output(trama_);
    enviada_ = trama_;
    pendientes_.enviada(trama_, Tramas_Pendientes::Reloj::now());
}

Trama_Rechazada KOVA200::Entrada_Descartada(const std::vector<std::uint8_t>& bytes)
{
    Trama_Rechazada r;
    r.trama = pendientes_.descartada(bytes, Tramas_Pendientes::Reloj::now());
    if (!r.trama.empty())
        r.excepcion = codigoExcepcion(bytes);
    return r;
}

int Escritura_De_Trama(const std::vector<std::uint8_t>& trama)
{
    if (trama.size() < 6)
        return 0;
    const int inicio = trama[2] * 256 + trama[3];
    // The clock's apply command is relay command 5 (Date_Time_Comand).
    if (trama[1] == 0x05 && inicio == 5 && trama[4] == 0xFF && trama[5] == 0x00)
        return 92;
    // The events clear is relay command 9 (Comando_9).
    if (trama[1] == 0x05 && inicio == 9 && trama[4] == 0xFF && trama[5] == 0x00)
        return 13;
    // The clock write goes to 0x0090..0x0092 (Write_Date_Time).
    if (trama[1] == 0x10 && inicio == 0x0090)
        return 93;
    return Codigo_De_Escritura(Bloque_De_Trama(trama));
}

// --- Reply handling ---------------------------------------------------------

namespace {

bool esLecturaActual(int accion)
{
    return accion == 2 || (accion >= 4 && accion <= 10) || accion == 30 || accion == 90 || accion == 91;
}

} // namespace

bool KOVA200::respuestaCorresponde()
{
    if (respuesta_.empty() ||
        pendientes_.atribuir(respuesta_, enviada_, Tramas_Pendientes::Reloj::now()) !=
            Tramas_Pendientes::Atribucion::Actual)
        return false;
    // The data the handling of Accion copies must be what the reply carries.
    if (esLecturaActual(accion_) || accion_ == 60)
        return respuesta_.size() == std::size_t{bytesEsperados_} + 5;
    if (accion_ >= 61 && accion_ <= 66)
        return respuesta_.size() == std::size_t{bytesEsperadosSet_} + 5;
    return true;
}

void KOVA200::Refrescar()
{
    respuesta_.clear();
    try {
        if (port_ != nullptr)
            respuesta_ = port_->input();
    } catch (...) {
        respuesta_.clear(); // a port closed meanwhile counts as no reply
    }

    const bool descartada = link_.Detener_Comunicacion && !detenidaAlEnviar_;
    respuestaValida_ = respuestaCorresponde();
    if (respuestaValida_) {
        contadorErrorComm_ = 0;
        setErrorComm(false);
        link_.Esperando_Respuesta = false;
    } else {
        resultado_ = false;
    }

    const int a = accion_;
    if (respuestaValida_ && descartada) {
        resultado_ = true; // answered, but its data belong to no image any more
    } else if (respuestaValida_) {
        if (esLecturaActual(a)) {
            if (auto base = Indice_ActualValue(registroPendiente_))
                escribirImagen(images_.actual, *base, respuesta_.data() + 3, bytesEsperados_);
            resultado_ = true;
        } else if (a >= 61 && a <= 66) {
            if (auto base = Indice_Setpoint(registroPendienteSet_))
                escribirImagen(images_.get, *base, respuesta_.data() + 3, bytesEsperadosSet_);
            Get_To_Put(static_cast<std::int16_t>(a - 60));
            resultado_ = true;
        } else if (a == 60) {
            Verificar_Firmware();
            resultado_ = firmware_;
            if (!firmware_)
                link_.Detener_Comunicacion = true;
        } else if ((a >= 11 && a <= 28) || (a >= 110 && a <= 113)) {
            if (const int k = Bloque_De_Escritura(a))
                Put_To_Get(static_cast<std::int16_t>(k));
            resultado_ = true;
        } else if ((a >= 31 && a <= 50) || a == 92 || a == 93) {
            resultado_ = true;
        }
    }
    // A failed reply changes neither setpoint image: the Put image keeps the
    // edits for the retry and the Get image only holds what the relay said.

    if (!descartada)
        seguirRespuesta(a, respuestaValida_);

    if (events.ComunicacionFinalizada)
        events.ComunicacionFinalizada(resultado_);
}

void KOVA200::Verificar_Firmware()
{
    auto palabra = [this](std::size_t i) {
        return static_cast<std::int16_t>((respuesta_[i] << 8) | respuesta_[i + 1]);
    };
    const std::int16_t w0 = palabra(3), w1 = palabra(5), w2 = palabra(7);
    if (w0 == 22 && w1 == 1 && w2 >= 101 && w2 <= 199) {
        setFirmware(true);
        setVersion(generalNumber(static_cast<double>(w2) / 100.0));
    } else {
        setFirmware(false);
    }
}

bool KOVA200::AumentarErrorComm()
{
    if (contadorErrorComm_ < 5)
        ++contadorErrorComm_;
    if (contadorErrorComm_ == 5) {
        contadorErrorComm_ = 0;
        setErrorComm(true);
        if (events.ErrorCommActivado)
            events.ErrorCommActivado();
    }
    return false;
}

// --- Setpoint block transfer --------------------------------------------------

void KOVA200::escribirSetpoints(int bloque)
{
    try {
        const RegisterBlock& b = Bloques_Setpoints.at(static_cast<std::size_t>(bloque - 1));
        const int n = b.registers();
        trama_.assign(7, 0);
        trama_[0] = direccionByte();
        trama_[1] = 0x10;
        trama_[2] = static_cast<std::uint8_t>(b.first >> 8);
        trama_[3] = static_cast<std::uint8_t>(b.first & 0xFF);
        trama_[4] = 0;
        trama_[5] = static_cast<std::uint8_t>(n);
        trama_[6] = static_cast<std::uint8_t>(2 * n);
        const std::size_t p = *setpointIndex(b.first);
        for (int j = 0; j < 2 * n; ++j)
            trama_.push_back(images_.put.at(p + static_cast<std::size_t>(j)));
        agregarCRC();
        Enviar_Trama(9 + 2 * n, 8);
    } catch (...) {
        // silent: the time-out handles the missing reply
    }
}

void KOVA200::Get_To_Put(std::int16_t intGrupo)
{
    Restaurar_Bloque(images_, intGrupo);
}

void KOVA200::Put_To_Get(std::int16_t intGrupo)
{
    copySetpointBlock(images_.put, images_.get, intGrupo);
}

} // namespace kova
