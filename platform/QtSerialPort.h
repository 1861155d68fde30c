#pragma once
// The serial port of the program on QSerialPort: the relay link's view of a
// serial communications control (see link/ISerialPort.h).
//
// - COM n opens the device comPortDevice(n) gives, exclusively: a port held
//   by another user (also through another name of the same device) fails.
// - The receive event fires once per arming: when at least RThreshold bytes
//   are buffered; reading input() or setting the threshold arms it again.
// - The send event fires once per output(): at once (posted) when the
//   driver took the whole frame; otherwise once what the driver did not
//   take has left its transmit queue (bounded wait, so a stuck line still
//   reports).
// - DTR follows setDTREnable (raised by default); a device without modem
//   lines (a pseudo-terminal) refuses the change, which does no harm.
// - Both events come from the event loop of the thread that owns the port,
//   never from inside a member call: when the loop itself notices them
//   (bytes arrived, the send check's timer) they are delivered at once,
//   when a member call does (setting the threshold, reading the driver)
//   they are posted. Events posted before a close, a re-arming or a re-open
//   are dropped.

#include "link/ISerialPort.h"
#include "platform/SerialSettings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QTimer>

namespace kova {

class QtSerialPort : public QObject, public ISerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(QObject* parent = nullptr);
    ~QtSerialPort() override;

    void setCommPort(int n) override;
    int commPort() const override;
    void setSettings(const std::string& settings) override;
    std::string settings() const override;
    void setPortOpen(bool open) override;
    bool portOpen() const override;
    std::vector<std::uint8_t> input() override;
    void setRThreshold(int n) override;
    void setSThreshold(int n) override;
    void output(const std::vector<std::uint8_t>& bytes) override;
    int inBufferCount() override;
    void setDTREnable(bool enable) override;
    bool dtrEnable() const override { return dtrEnable_; }
    void setOnComm(CommHandler handler) override;

    // The device the port has open (its resolved path); empty when closed.
    std::string deviceName() const;

private:
    void open();
    void close();
    bool applySettings();
    void drainDriver();
    std::string closedReason() const;
    void applyDtr();
    // How an event found now is handed over: at once (the event loop found
    // it) or posted (a member call found it).
    enum class Entrega { Ahora, Diferida };
    void checkReceive(Entrega entrega);
    void checkSent();
    void post(CommEvent event);
    void deliver(CommEvent event, quint64 opened, quint64 armed);
    qint64 transmitMs(qint64 bytes) const;

    QSerialPort port_;
    QTimer sendTimer_;
    QElapsedTimer sendClock_;
    qint64 sendDeadlineMs_ = 0;

    int commPort_ = 1;
    std::string settingsText_ = "9600,N,8,1";
    SerialSettings settings_;
    int rThreshold_ = 0;
    int sThreshold_ = 0;
    bool dtrEnable_ = true;
    bool receiveFired_ = false;
    // Inside a member call that reads the driver (bytes seen there are
    // reported by a posted event).
    bool inCall_ = false;
    int pendingSends_ = 0;
    // Posted events carry these counters and are dropped when they moved on:
    // openCount_ at every open and close, armCount_ at every arming.
    quint64 openCount_ = 0;
    quint64 armCount_ = 0;
    std::string device_;
    // Why the port closed itself (its device went away); empty otherwise.
    std::string lost_;
    CommHandler handler_;
};

} // namespace kova
