#pragma once
// A serial port with a scripted Modbus relay behind it, for the link loop.
// Events are posted to the Qt event loop like the real port's: the send event
// after each output, the receive event once per arming when the threshold is
// reached. The relay answers after a delay and can fail on purpose.

#include "link/ISerialPort.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kova::test {

class RelayPort : public QObject, public ISerialPort {
public:
    // --- relay model ---
    std::uint8_t slave = 1;
    std::map<std::uint16_t, std::uint16_t> inputRegs; // input registers
    std::map<std::uint16_t, std::uint16_t> holding; // holding registers
    int replyDelayMs = 2;
    // The noise of Fallo::Ruido starts this long after its request.
    int ruidoTrasMs = 0;

    // Per-request behaviour; the request number counts from 1. Ruido: no
    // answer, and from then on one noise byte every 20 ms while the port is
    // open (another talker on the line). Excepcion: an exception reply with
    // code 03 (illegal data value, the request refused); ExcepcionDispositivo:
    // with code 04 (device failure). Tarde: the good reply comes tardeMs after its request.
    enum class Fallo { Ninguno, Silencio, CrcMalo, Excepcion, OtroEsclavo, Basura, Ruido, ExcepcionDispositivo, Tarde };
    int tardeMs = 1500;
    // Decides the failure of each request (frame bytes, request number).
    std::function<Fallo(const std::vector<std::uint8_t>&, int)> fallo;
    std::vector<std::vector<std::uint8_t>> requests; // every frame written
    std::vector<qint64> requestTimes;               // ms since construction

    // --- ISerialPort ---
    void setCommPort(int n) override { port_ = n; }
    int commPort() const override { return port_; }
    void setSettings(const std::string& s) override;
    std::string settings() const override { return settings_; }
    void setPortOpen(bool o) override;
    bool portOpen() const override { return open_; }
    std::vector<std::uint8_t> input() override;
    void setRThreshold(int n) override;
    void setSThreshold(int n) override { sThreshold_ = n; }
    void output(const std::vector<std::uint8_t>& bytes) override;
    int inBufferCount() override { return static_cast<int>(rx_.size()); }
    void setDTREnable(bool e) override { dtr_ = e; }
    bool dtrEnable() const override { return dtr_; }
    void setOnComm(CommHandler h) override { handler_ = std::move(h); }

    // Puts bytes on the line towards the master after delayMs.
    void inject(std::vector<std::uint8_t> bytes, int delayMs);
    int opens = 0;
    qint64 now() const { return clock_.elapsed(); }

    // Register of a request frame (bytes 2-3) and its function (byte 1).
    static int funcion(const std::vector<std::uint8_t>& f) { return f.size() > 1 ? f[1] : -1; }
    static int registro(const std::vector<std::uint8_t>& f) { return f.size() > 3 ? (f[2] << 8) | f[3] : -1; }

private:
    std::optional<std::vector<std::uint8_t>> answer(const std::vector<std::uint8_t>& req);
    void arrive(const std::vector<std::uint8_t>& bytes);
    void checkReceive();
    void post(CommEvent e);

    QTimer ruido_;
    bool ruidoEmpezado_ = false;
    QElapsedTimer clock_ = [] { QElapsedTimer t; t.start(); return t; }();
    int port_ = 0;
    std::string settings_;
    bool open_ = false;
    int rThreshold_ = 0;
    int sThreshold_ = 0;
    bool armed_ = false;
    bool dtr_ = true;
    std::vector<std::uint8_t> rx_;
    CommHandler handler_;
};

// Runs the Qt event loop until pred() holds or ms pass; returns pred().
bool waitFor(const std::function<bool()>& pred, int ms);
// Runs the event loop for ms.
void runFor(int ms);
// Makes sure a QCoreApplication exists.
void ensureApp();

} // namespace kova::test
