#include "platform/QtSerialPort.h"
#include "platform/ComPortDevice.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace kova {

namespace {

QSerialPort::Parity qtParity(char p)
{
    switch (p) {
    case 'E': return QSerialPort::EvenParity;
    case 'O': return QSerialPort::OddParity;
    case 'M': return QSerialPort::MarkParity;
    case 'S': return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
    }
}

// Why QSerialPort did not open a device that exists. Qt reports a refused
// open and a device locked by another program alike as a permission error:
// whether the user may open the device at all tells the two apart.
PortFailure openFailure(QSerialPort::SerialPortError error, const QString& path)
{
    switch (error) {
    case QSerialPort::PermissionError:
        if (::access(QFile::encodeName(path).constData(), R_OK | W_OK) != 0 && errno == EACCES)
            return PortFailure::PermissionDenied;
        return PortFailure::InUse;
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::ResourceError: // e.g. a /dev/ttyS node with no UART behind it
        return PortFailure::NoSuchDevice;
    default:
        return PortFailure::Other;
    }
}

// Longest wait for a frame to leave the driver beyond its own transmit time.
constexpr qint64 kSendSlackMs = 200;

} // namespace

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent)
{
    settings_ = *parseSerialSettings(settingsText_);
    sendTimer_.setSingleShot(true);
    connect(&sendTimer_, &QTimer::timeout, this, &QtSerialPort::checkSent);
    connect(&port_, &QSerialPort::readyRead, this,
            [this] { checkReceive(inCall_ ? Entrega::Diferida : Entrega::Ahora); });
    connect(&port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        // The device went away (e.g. a USB adapter pulled): close, later,
        // keeping the system's reason for the reads and writes that follow.
        if (e == QSerialPort::ResourceError && port_.isOpen() && lost_.empty())
            lost_ = port_.errorString().toStdString();
        if (e == QSerialPort::ResourceError)
            QMetaObject::invokeMethod(this, [this, n = openCount_] {
                if (n == openCount_)
                    close();
            }, Qt::QueuedConnection);
    });
}

QtSerialPort::~QtSerialPort() { close(); }

void QtSerialPort::setCommPort(int n) { commPort_ = n; }

int QtSerialPort::commPort() const { return commPort_; }

void QtSerialPort::setSettings(const std::string& text)
{
    const auto parsed = parseSerialSettings(text);
    if (!parsed)
        throw SerialPortError("invalid serial settings \"" + text + "\"");
    const SerialSettings previous = settings_;
    settings_ = *parsed;
    if (port_.isOpen() && !applySettings()) {
        settings_ = previous;
        applySettings();
        throw SerialPortError("the device does not take the settings \"" + text + "\"");
    }
    settingsText_ = text;
}

std::string QtSerialPort::settings() const { return settingsText_; }

bool QtSerialPort::applySettings()
{
    return port_.setBaudRate(settings_.baud)
           && port_.setDataBits(static_cast<QSerialPort::DataBits>(settings_.dataBits))
           && port_.setParity(qtParity(settings_.parity))
           && port_.setStopBits(settings_.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop)
           && port_.setFlowControl(QSerialPort::NoFlowControl);
}

void QtSerialPort::setPortOpen(bool open)
{
    if (open == port_.isOpen())
        return;
    if (open)
        this->open();
    else
        close();
}

bool QtSerialPort::portOpen() const { return port_.isOpen(); }

void QtSerialPort::open()
{
    const std::string device = comPortDevice(commPort_);
    auto fail = [this, &device](PortFailure why, const std::string& systemText = {}) {
        throw SerialPortError(portFailureText(commPort_, device, why, systemText));
    };
    if (device.empty())
        fail(PortFailure::NoSuchPort);
    // The resolved path, so that two names of one device share one lock.
    const QString path = QFileInfo(QString::fromStdString(device)).canonicalFilePath();
    if (path.isEmpty())
        fail(PortFailure::NoSuchDevice);

    port_.setPortName(path);
    applySettings();
    if (!port_.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = port_.error();
        const std::string why = port_.errorString().toStdString();
        port_.clearError();
        fail(openFailure(error, path), why);
    }
    // Qt's lock file covers cooperating programs; an advisory lock on the
    // device itself also covers a second open through another path.
    if (::flock(port_.handle(), LOCK_EX | LOCK_NB) != 0) {
        port_.close();
        fail(PortFailure::InUse);
    }
    if (!applySettings()) {
        port_.close();
        fail(PortFailure::Other, "does not take the settings \"" + settingsText_ + "\"");
    }
    port_.clear(QSerialPort::AllDirections);
    // Converters powered from the modem lines want DTR.
    applyDtr();

    device_ = path.toStdString();
    lost_.clear();
    ++openCount_;
    ++armCount_;
    receiveFired_ = false;
    pendingSends_ = 0;
}

void QtSerialPort::close()
{
    sendTimer_.stop();
    pendingSends_ = 0;
    receiveFired_ = false;
    ++openCount_;
    // Bytes written just before a close (the 0x00 that ends a session) must
    // still leave: QSerialPort drops its write buffer when it closes.
    if (port_.isOpen() && port_.bytesToWrite() > 0) {
        // The wait may read the line too: nothing from it is delivered here.
        const bool before = std::exchange(inCall_, true);
        port_.waitForBytesWritten(200);
        inCall_ = before;
    }
    if (port_.isOpen())
        port_.close();
    port_.clearError();
    device_.clear();
}

void QtSerialPort::drainDriver()
{
    // Pull what the driver holds into the port's buffer without going back
    // to the event loop, so callers that poll see fresh bytes.
    // Asking the driver how much it holds is one cheap call; most of the
    // time it holds nothing and the port's buffer is already up to date.
    int enDriver = 0;
    if (::ioctl(port_.handle(), FIONREAD, &enDriver) == 0 && enDriver == 0)
        return;
    const bool before = std::exchange(inCall_, true);
    for (int i = 0; i < 256 && port_.waitForReadyRead(0); ++i) {
    }
    port_.clearError(); // a timed-out wait is not an error of the port
    inCall_ = before;
}

std::string QtSerialPort::closedReason() const
{
    return lost_.empty() ? std::string("the port is closed") : "the device went away: " + lost_;
}

std::vector<std::uint8_t> QtSerialPort::input()
{
    if (!port_.isOpen())
        throw SerialPortError("input: " + closedReason());
    drainDriver();
    const QByteArray data = port_.readAll();
    // Reading re-arms the receive event; one posted for the bytes just read
    // is dropped.
    ++armCount_;
    receiveFired_ = false;
    return std::vector<std::uint8_t>(data.begin(), data.end());
}

int QtSerialPort::inBufferCount()
{
    if (!port_.isOpen())
        return 0;
    drainDriver();
    return static_cast<int>(std::min<qint64>(port_.bytesAvailable(), INT32_MAX));
}

void QtSerialPort::setRThreshold(int n)
{
    rThreshold_ = std::max(0, n);
    ++armCount_;
    receiveFired_ = false;
    checkReceive(Entrega::Diferida);
}

void QtSerialPort::setDTREnable(bool enable)
{
    dtrEnable_ = enable;
    if (port_.isOpen())
        applyDtr();
}

void QtSerialPort::applyDtr()
{
    // A pseudo-terminal has no modem lines and refuses the change.
    port_.setDataTerminalReady(dtrEnable_);
    port_.clearError();
}

void QtSerialPort::setSThreshold(int n) { sThreshold_ = std::max(0, n); }

void QtSerialPort::checkReceive(Entrega entrega)
{
    if (!port_.isOpen() || rThreshold_ <= 0 || receiveFired_)
        return;
    if (port_.bytesAvailable() >= rThreshold_) {
        receiveFired_ = true;
        if (entrega == Entrega::Ahora)
            deliver(CommEvent::Receive, openCount_, armCount_);
        else
            post(CommEvent::Receive);
    }
}

qint64 QtSerialPort::transmitMs(qint64 bytes) const
{
    const qint64 bits = bytes * settings_.bitsPerCharacter();
    return (bits * 1000 + settings_.baud - 1) / settings_.baud;
}

void QtSerialPort::output(const std::vector<std::uint8_t>& bytes)
{
    if (!port_.isOpen())
        throw SerialPortError("output: " + closedReason());
    const auto size = static_cast<qint64>(bytes.size());
    const char* data = reinterpret_cast<const char*>(bytes.data());
    // With nothing queued in the port the frame goes to the driver at once,
    // without a round through the event loop; what the driver does not take
    // is queued in the port and written when the line is ready.
    qint64 direct = 0;
    if (port_.bytesToWrite() == 0 && size > 0) {
        const ssize_t w = ::write(port_.handle(), data, static_cast<std::size_t>(size));
        if (w > 0)
            direct = w;
        else if (w < 0 && errno != EAGAIN && errno != EINTR)
            throw SerialPortError(std::string("output: ") + std::strerror(errno));
    }
    if (direct < size && port_.write(data + direct, size - direct) != size - direct)
        throw SerialPortError("output: " + port_.errorString().toStdString());
    if (sThreshold_ <= 0)
        return;
    if (direct == size && pendingSends_ == 0) {
        // The driver took the whole frame: it counts as sent now, without a
        // timer of its own. "Sent" means the driver has the frame, not that
        // its last bit is on the wire, so the reply time-out the send event
        // starts runs from up to one frame's wire time earlier (about 9 ms
        // for a status read at 9600), far inside the time-out itself.
        // Posted, never delivered from in here: frames go out from inside
        // the reply handler, which drops events that come while it runs.
        post(CommEvent::Send);
        return;
    }
    // Part of the frame waits in the port (or an earlier frame's event is
    // still due): the event waits until everything has left.
    ++pendingSends_;
    // Everything still queued must leave first; allow twice its transmit
    // time plus slack before reporting the frame sent regardless.
    const qint64 queued = port_.bytesToWrite() + direct;
    if (!sendClock_.isValid() || !sendTimer_.isActive())
        sendClock_.start();
    sendDeadlineMs_ = sendClock_.elapsed() + 2 * transmitMs(queued) + kSendSlackMs;
    sendTimer_.start(static_cast<int>(std::max<qint64>(1, transmitMs(queued))));
}

void QtSerialPort::checkSent()
{
    if (!port_.isOpen() || pendingSends_ == 0)
        return;
    int inDriver = 0;
    if (::ioctl(port_.handle(), TIOCOUTQ, &inDriver) != 0)
        inDriver = 0;
    const qint64 left = port_.bytesToWrite() + inDriver;
    if (left > 0 && sendClock_.elapsed() < sendDeadlineMs_) {
        sendTimer_.start(static_cast<int>(std::max<qint64>(1, transmitMs(left))));
        return;
    }
    // The timer runs from the event loop: the events go out at once. One
    // whose handler closed the port ends the rest.
    // A frame written by a handler counts anew.
    const quint64 opened = openCount_;
    for (int n = std::exchange(pendingSends_, 0); n > 0 && opened == openCount_; --n)
        deliver(CommEvent::Send, opened, armCount_);
}

void QtSerialPort::post(CommEvent event)
{
    QMetaObject::invokeMethod(this, [this, event, opened = openCount_, armed = armCount_] {
        deliver(event, opened, armed);
    }, Qt::QueuedConnection);
}

void QtSerialPort::deliver(CommEvent event, quint64 opened, quint64 armed)
{
    if (opened != openCount_ || (event == CommEvent::Receive && armed != armCount_))
        return;
    if (!handler_)
        return;
    try {
        handler_(event);
    } catch (const std::exception& e) {
        // Nothing above the event loop could handle it; report and go on.
        qWarning("serial port event handler failed: %s", e.what());
    }
}

void QtSerialPort::setOnComm(CommHandler handler) { handler_ = std::move(handler); }

std::string QtSerialPort::deviceName() const
{
    return device_;
}

} // namespace kova
