#include "link/KOVA200.h"

#include "link/BasicCRC.h"
#include "link/Proceso_Comunicacion.h"

#include "text/HexText.h"
#include "text/NumberText.h"

namespace kova {
namespace {

// Internal failure of a frame writer: the request ends silently.
struct FrameAbort {};

std::uint8_t aByte(int v)
{
    if (v < 0 || v > 255)
        throw FrameAbort{};
    return static_cast<std::uint8_t>(v);
}

} // namespace

KOVA200::KOVA200(LinkState& link) : link_(link) {}

void KOVA200::setVersion(const std::string& v)
{
    version_ = v.substr(0, 8);
    version_.resize(8, ' ');
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
    case 30: Leer_Last_Event_Number(); break;
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
    try {
        if (port_ == nullptr)
            throw FrameAbort{};
        if (port_->portOpen())
            port_->setPortOpen(false);
        port_->setCommPort(puertoPC_);
        port_->setSettings(cadenaCom_ + ",N,8,1");
        port_->setPortOpen(true);
        resultado_ = true;
        return true;
    } catch (...) {
        if (notifier_ != nullptr)
            notifier_->critical("Invalid Number Port: COM" + signedText(puertoPC_), "Communication error");
        resultado_ = false;
        return false;
    }
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
    (void)port_->input(); // drop whatever is left over
    port_->setRThreshold(largoRespuesta);
    port_->setSThreshold(largoTrama);
    port_->output(trama_);
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

void KOVA200::Refrescar()
{
    // Reply handling is completed with the register images.
    respuesta_.clear();
    resultado_ = false;
    if (events.ComunicacionFinalizada)
        events.ComunicacionFinalizada(resultado_);
}

} // namespace kova
