#pragma once
// KOVA200: the relay communication engine (one instance, DELU(1)).
// Holds the connection settings and the bound serial port, runs one request
// at a time through Ejecuta (request codes 1..113), never waits for a reply.
// Events go out through the callbacks of KOVA200Events, raised synchronously.

#include "link/INotifier.h"
#include "link/IRequester.h"
#include "link/ISerialPort.h"
#include "link/LinkState.h"
#include "link/RegisterImages.h"
#include "link/RelayData.h"
#include "link/Tramas_Pendientes.h"
#include "text/NumOrText.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kova {

class Proceso_Comunicacion;

// A frame the relay answered with an exception reply, and the reply's
// exception code (1 to 255); the frame is empty when nothing was refused.
struct Trama_Rechazada {
    std::vector<std::uint8_t> trama;
    int excepcion = 0;
};

// The write request a frame is: a setpoint block's write (27, 28, 110 to
// 113), the clock write (93), the clock's apply command (92) or the events
// clear command (13); else 0.
int Escritura_De_Trama(const std::vector<std::uint8_t>& trama);

// A refused property write (393: the property is read-only at run time).
class PropertyError : public std::runtime_error {
public:
    PropertyError(int numero, const std::string& what) : std::runtime_error(what), numero(numero) {}
    int numero;
};

// The engine's events, in the order of its interface. FallasRestablecidas,
// EventoActivado and ReadyEvents exist for the host but are never raised.
struct KOVA200Events {
    std::function<void()> ErrorCommActivado;
    std::function<void()> FallasRestablecidas;
    std::function<void(bool OpOK)> ComunicacionFinalizada;
    std::function<void(int N_Zona, int N_Dispositivo, int CAUSA, int Identificador, int Falla)> EventoActivado;
    std::function<void(bool& Respuesta)> Finalizado;
    std::function<void()> ReadyEvents;
};

class KOVA200 : public IRequester {
public:
    // Start values are those of the placed instance: Cadena_Com, Zona and
    // Relay_Name empty, ID 0, Version eight blanks. Replies land in, and
    // block writes are built from, the given register images.
    explicit KOVA200(LinkState& link, RegisterImages& images = processImages());

    RegisterImages& images() { return images_; }

    KOVA200Events events;

    void setNotifier(INotifier* n) { notifier_ = n; }
    // The scheduler the reply handler queues follow-up requests on.
    void setScheduler(Proceso_Comunicacion* s) { scheduler_ = s; }
    // The host window's serial controls in window order.
    void setHostSerialControls(std::vector<ISerialPort*> controls) { hostControls_ = std::move(controls); }

    // --- Requests ---------------------------------------------------------
    // Runs the request Accion, then raises Finalizado(Resultado_Peticion).
    // While busy: nothing at all. No exception escapes.
    void Ejecuta() override;
    // Binds the first serial control of the host; none leaves the binding.
    void Reconocer_Controles_De_Comunicacion();
    void Leer_Actual_Values_Unbalance(); // 8
    void Leer_Actual_Values_Demand();    // 9
    void Leer_Actual_Values_Energy();    // 10
    void Leer_Firmware();                // 60
    void Leer_Last_Event_Number();       // 30
    void Read_Event_Actualizado();       // 90
    void Leer_Actual_Date_Time();        // 91
    void Date_Time_Comand();             // 92: command 5
    // Function-5 write of coil Comando (0..32767) ON.
    void Ejecuta_Comando(std::int16_t Comando);

    // --- Replies and link errors -------------------------------------------
    // Reads the reply of request Accion, checks it, stores its data in the
    // register images and raises ComunicacionFinalizada(Resultado_Peticion)
    // once. A reply passes only when it is exactly the reply the frame sent
    // for Accion asks for (RespuestaEsperada.h) and no earlier unanswered
    // frame of another request could have asked for it (a late reply,
    // Tramas_Pendientes.h). A failed reply changes no image byte. Only a
    // passed reply clears the missed-reply count.
    // A reply to a request sent before dispatching was stopped (a file was
    // loaded, the link was given up) is checked but stores nothing, changes
    // neither Firmware nor Version and queues nothing: the images now hold
    // other data.
    void Refrescar() override;
    // Bytes the host dropped from the line unread (a late reply after a
    // time-out): when they are exactly the reply to a frame still
    // unanswered, that frame no longer waits for one. Returns the frame the
    // relay refused, with the reply's exception code, when the bytes are its
    // exception reply and fit no other unanswered frame (a block write's
    // exception reply is 5 bytes, never taken as its reply); an empty frame
    // otherwise.
    Trama_Rechazada Entrada_Descartada(const std::vector<std::uint8_t>& bytes);
    // Frames sent whose reply has not been seen yet.
    std::size_t Tramas_Sin_Respuesta() const { return pendientes_.size(); }
    // Counts one missed or failed reply; the fifth in a row raises
    // ErrorCommActivado (and the tenth, ...). Always returns false.
    bool AumentarErrorComm() override;
    bool Respuesta_Valida() const { return respuestaValida_; }
    const std::vector<std::uint8_t>& Respuesta_Modbus() const { return respuesta_; }
    std::int16_t Contador_ErrorComm() const { return contadorErrorComm_; }

    // --- Setpoint blocks ------------------------------------------------------
    // Copies setpoint block 1..6 from the Get image into the Put image;
    // other numbers do nothing.
    void Get_To_Put(std::int16_t intGrupo);

    // --- Decoded values, event log, relay clock (KOVA200Relay.cpp) -----------
    // Decodes block 0..9 from the images into the decoded-value table;
    // other blocks do nothing. Always false.
    bool Devuelve_Datos(std::int32_t Bloque);
    // A copy of position 0..400 of the table (empty outside).
    NumOrText DatosDeVariables(std::int16_t posicion) const;
    void Maintenance_Data();  // block 6
    void Date_Time_System();  // block 8: the relay clock into position 40
    void Fill_Cero(std::int16_t posicion_vector);
    // Requests 31..50: selects event position Evento (1 = newest) with the
    // event-index write.
    void Leer_Evento(std::int16_t Evento);
    // Function-16 write of event number k into register 0x0610.
    void Write_EventToRead(std::uint16_t IntEventNumber);
    void Write_NotEvent(std::int16_t Start_Event);
    void Ultimo_Evento();
    std::uint16_t Ultimo_Numero_Evento() const { return relay_.events.Ultimo_Numero_Evento(); }
    // A reply to 30 has started the event chain and no record reply with a
    // numbered row 0 has been compared yet.
    bool Eventos_Por_Revisar() const { return eventosPorRevisar_; }
    // Packs the clock buffer for request 93; false (buffer unchanged) for
    // values the clock registers cannot carry.
    bool Date_Time(std::int16_t Day, std::int16_t Month, std::int16_t Year, std::int16_t Hours,
                   std::int16_t Minute, std::int16_t Second);
    // Texts, table, event log and clock buffer (the app sets the date pattern).
    RelayData& relay() { return relay_; }
    const RelayData& relay() const { return relay_; }

    // --- Properties ---------------------------------------------------------
    std::int16_t Accion() const { return accion_; }
    void setAccion(std::int16_t v) override { accion_ = v; }
    bool Firmware() const { return firmware_; }
    void setFirmware(bool v) { firmware_ = v; }
    const std::string& Version() const { return version_; }
    // Cut or padded with blanks to 8 characters (UTF-8 characters, not
    // bytes: a file's firmware text comes back as it went in).
    void setVersion(const std::string& v);
    bool ErrorComm() const { return errorComm_; }
    void setErrorComm(bool v) { errorComm_ = v; }
    std::int32_t IDRele() const { return idRele_; }
    void setIDRele(std::int32_t v) { idRele_ = v; }
    std::int16_t ID() const { return id_; }
    [[noreturn]] void setID(std::int16_t v); // always refused (393)
    const NumOrText& Datos() const { return datos_; }
    void setDatos(const NumOrText& v) { datos_ = v; }
    const std::string& Zona() const { return zona_; }
    void setZona(const std::string& v) { zona_ = v; }
    const std::string& Relay_Name() const { return relayName_; }
    void setRelay_Name(const std::string& v) { relayName_ = v; }
    bool Ejecutando_Proceso() const { return ejecutando_; }
    void setEjecutando_Proceso(bool v) { ejecutando_ = v; }
    ISerialPort* Comunicacion() const { return port_; }
    void setComunicacion(ISerialPort* p) { port_ = p; }
    std::int16_t Puerto_PC() const { return puertoPC_; }
    void setPuerto_PC(std::int16_t v) { puertoPC_ = v; }
    std::int16_t Direccion() const { return direccion_; }
    void setDireccion(std::int16_t v) { direccion_ = v; }
    const std::string& Cadena_Com() const { return cadenaCom_; }
    void setCadena_Com(const std::string& v) { cadenaCom_ = v; }

    // --- Frame layer state (read-only views) --------------------------------
    bool Resultado_Peticion() const { return resultado_; }
    const std::vector<std::uint8_t>& Trama_Modbus() const { return trama_; }
    std::int32_t Valor_CRC() const { return valorCRC_; }
    std::uint8_t Bytes_Esperados() const { return bytesEsperados_; }
    const std::string& Registro_Pendiente() const { return registroPendiente_; }
    std::uint8_t Bytes_Esperados_Setpoints() const { return bytesEsperadosSet_; }
    const std::string& Registro_Pendiente_Setpoints() const { return registroPendienteSet_; }

private:
    bool Abrir_Puerto();
    void Leer_Registros_Actuales(int startHi, int startLo, int countHi, int countLo, std::uint8_t dataBytes);
    void Leer_Registros_Setpoints(int startHi, int startLo, int countHi, int countLo, std::uint8_t dataBytes);
    void leerRegistros(std::uint8_t funcion, int startHi, int startLo, int countHi, int countLo,
                       std::uint8_t dataBytes);
    // Flushes stale input, sets the thresholds and writes Trama_Modbus.
    // Throws on a closed or missing port; callers end silently.
    void Enviar_Trama(int largoTrama, int largoRespuesta);
    // Appends the two check bytes of CRC16 over the frame so far.
    void agregarCRC();
    // The slave address as a byte; throws when it does not fit.
    std::uint8_t direccionByte() const;
    void ejecutarSolicitud(int codigo);
    // Function-16 write of setpoint block 1..6 from the Put image.
    void escribirSetpoints(int bloque);
    void Put_To_Get(std::int16_t intGrupo);
    void Verificar_Firmware();
    // Whether the reply in Respuesta_Modbus answers the frame sent for
    // request Accion; accounts the reply to the frame it answers.
    bool respuestaCorresponde();
    // Request 93: function-16 write of the clock buffer to 0x0090..0x0092.
    void Write_Date_Time();
    // The follow-ups of replies to 30, 90 and 93: the event chain and the
    // clock's apply command (KOVA200Relay.cpp).
    void seguirRespuesta(int accion, bool valida);

    LinkState& link_;
    RegisterImages& images_;
    INotifier* notifier_ = nullptr;
    Proceso_Comunicacion* scheduler_ = nullptr;
    std::vector<ISerialPort*> hostControls_;

    std::int16_t accion_ = 0;
    bool firmware_ = false;
    std::string version_ = std::string(8, ' ');
    bool errorComm_ = false;
    std::int32_t idRele_ = 0;
    std::int16_t id_ = 0;
    NumOrText datos_ = std::int16_t{0};
    std::string zona_;
    std::string relayName_;
    bool ejecutando_ = false;
    ISerialPort* port_ = nullptr;
    std::int16_t puertoPC_ = 0;
    std::int16_t direccion_ = 0;
    std::string cadenaCom_;

    bool resultado_ = false;
    std::vector<std::uint8_t> trama_;
    std::int32_t valorCRC_ = 0;
    std::uint8_t bytesEsperados_ = 0;
    std::string registroPendiente_;
    std::uint8_t bytesEsperadosSet_ = 0;
    std::string registroPendienteSet_;

    // Reply handling.
    Tramas_Pendientes pendientes_;
    // The frame sent for the request now running (empty: it sent none).
    std::vector<std::uint8_t> enviada_;
    // Dispatching was already stopped when that frame was sent.
    bool detenidaAlEnviar_ = false;
    std::vector<std::uint8_t> respuesta_;
    bool respuestaValida_ = false;
    std::int16_t contadorErrorComm_ = 0;

    // Decoded values, event log and clock.
    RelayData relay_{images_};
    bool eventosPorRevisar_ = false;
};

} // namespace kova
