#include "app/support/RelayPort.h"

#include "link/BasicCRC.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace kova::test {

namespace {

void conCRC(std::vector<std::uint8_t>& f)
{
    const std::uint16_t c = BasicCRC::CRC16(f.data(), static_cast<std::ptrdiff_t>(f.size()));
    f.push_back(static_cast<std::uint8_t>(c >> 8));
    f.push_back(static_cast<std::uint8_t>(c & 0xFF));
}

} // namespace

void RelayPort::setSettings(const std::string& s)
{
    if (s.empty() || s.front() == ',')
        throw SerialPortError("bad settings");
    settings_ = s;
}

void RelayPort::setPortOpen(bool o)
{
    if (o)
        ++opens;
    open_ = o;
    if (!o) {
        rx_.clear();
        armed_ = false;
    }
}

std::vector<std::uint8_t> RelayPort::input()
{
    if (!open_)
        throw SerialPortError("closed");
    std::vector<std::uint8_t> r;
    r.swap(rx_);
    armed_ = rThreshold_ > 0;
    return r;
}

void RelayPort::setRThreshold(int n)
{
    rThreshold_ = n;
    armed_ = n > 0;
    checkReceive();
}

void RelayPort::output(const std::vector<std::uint8_t>& bytes)
{
    if (!open_)
        throw SerialPortError("closed");
    requests.push_back(bytes);
    requestTimes.push_back(clock_.elapsed());
    if (sThreshold_ > 0)
        post(CommEvent::Send);
    const int n = static_cast<int>(requests.size());
    const Fallo f = fallo ? fallo(bytes, n) : Fallo::Ninguno;
    if (f == Fallo::Ruido && !ruidoEmpezado_) {
        ruidoEmpezado_ = true;
        ruido_.setInterval(20);
        connect(&ruido_, &QTimer::timeout, this, [this] { arrive({0x55}); });
        QTimer::singleShot(ruidoTrasMs, this, [this] { ruido_.start(); });
    }
    if (f == Fallo::Silencio || f == Fallo::Ruido)
        return;
    auto reply = answer(bytes);
    if (!reply)
        return;
    switch (f) {
    case Fallo::CrcMalo: reply->back() ^= 0x5A; break;
    case Fallo::Excepcion:
    case Fallo::ExcepcionDispositivo: {
        const std::uint8_t codigo = f == Fallo::Excepcion ? 0x03 : 0x04;
        std::vector<std::uint8_t> e = {slave, static_cast<std::uint8_t>(bytes[1] | 0x80), codigo};
        conCRC(e);
        reply = e;
        break;
    }
    case Fallo::OtroEsclavo: {
        (*reply)[0] = static_cast<std::uint8_t>(slave + 1);
        reply->resize(reply->size() - 2);
        conCRC(*reply);
        break;
    }
    case Fallo::Basura:
        for (auto& b : *reply) b = static_cast<std::uint8_t>(b * 7 + 3);
        break;
    default: break;
    }
    inject(*reply, f == Fallo::Tarde ? tardeMs : replyDelayMs);
}

void RelayPort::inject(std::vector<std::uint8_t> bytes, int delayMs)
{
    QTimer::singleShot(delayMs, this, [this, bytes] { arrive(bytes); });
}

void RelayPort::arrive(const std::vector<std::uint8_t>& bytes)
{
    if (!open_)
        return;
    rx_.insert(rx_.end(), bytes.begin(), bytes.end());
    checkReceive();
}

void RelayPort::checkReceive()
{
    if (armed_ && rThreshold_ > 0 && static_cast<int>(rx_.size()) >= rThreshold_) {
        armed_ = false;
        post(CommEvent::Receive);
    }
}

void RelayPort::post(CommEvent e)
{
    QTimer::singleShot(0, this, [this, e] {
        if (handler_)
            handler_(e);
    });
}

std::optional<std::vector<std::uint8_t>> RelayPort::answer(const std::vector<std::uint8_t>& req)
{
    if (req.size() < 8 || req[0] != slave)
        return std::nullopt;
    const std::uint16_t crc = BasicCRC::CRC16(req.data(), static_cast<std::ptrdiff_t>(req.size() - 2));
    if (req[req.size() - 2] != (crc >> 8) || req.back() != (crc & 0xFF))
        return std::nullopt;
    const int fn = req[1];
    const std::uint16_t start = static_cast<std::uint16_t>((req[2] << 8) | req[3]);
    std::vector<std::uint8_t> r = {slave, static_cast<std::uint8_t>(fn)};
    if (fn == 3 || fn == 4) {
        const int n = req[5];
        auto& regs = fn == 3 ? holding : inputRegs;
        r.push_back(static_cast<std::uint8_t>(2 * n));
        for (int i = 0; i < n; ++i) {
            const auto it = regs.find(static_cast<std::uint16_t>(start + i));
            const std::uint16_t v = it == regs.end() ? 0 : it->second;
            r.push_back(static_cast<std::uint8_t>(v >> 8));
            r.push_back(static_cast<std::uint8_t>(v & 0xFF));
        }
    } else if (fn == 5) {
        r.assign(req.begin(), req.begin() + 6);
    } else if (fn == 16) {
        const int n = req[5];
        for (int i = 0; i < n; ++i)
            holding[static_cast<std::uint16_t>(start + i)] =
                static_cast<std::uint16_t>((req[7 + 2 * i] << 8) | req[8 + 2 * i]);
        r.assign(req.begin(), req.begin() + 6);
    } else {
        return std::nullopt;
    }
    conCRC(r);
    return r;
}

bool waitFor(const std::function<bool()>& pred, int ms)
{
    ensureApp();
    if (pred())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (pred())
            loop.quit();
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    return pred();
}

void runFor(int ms)
{
    waitFor([] { return false; }, ms);
}

void ensureApp()
{
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "test_app";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
    }
}

} // namespace kova::test
