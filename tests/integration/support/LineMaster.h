#pragma once
// A minimal Modbus master for tests: the program's serial port on the
// test's end of the line, one request at a time.

#include "platform/QtSerialPort.h"

#include <QTest>

#include <cstdint>
#include <string>
#include <vector>

namespace kova::test {

class LineMaster {
public:
    explicit LineMaster(const std::string& device, int com = 1)
    {
        qputenv(("KOVA_COM" + std::to_string(com)).c_str(), QByteArray::fromStdString(device));
        port.setCommPort(com);
        port.setOnComm([this](CommEvent e) { (e == CommEvent::Receive ? receiveEvents : sendEvents)++; });
        port.setPortOpen(true);
    }

    // Drops stale input, arms the receive event for `expect` bytes, sends
    // the frame and returns what arrived once the event came (or after
    // `waitMs` without it), after a short quiet spell that would let a
    // longer reply show.
    std::vector<std::uint8_t> transact(const std::vector<std::uint8_t>& frame, int expect, int waitMs = 1500)
    {
        port.input();
        port.setRThreshold(expect);
        port.setSThreshold(static_cast<int>(frame.size()));
        const int before = receiveEvents;
        port.output(frame);
        (void)QTest::qWaitFor([&] { return receiveEvents > before; }, waitMs);
        QTest::qWait(20);
        return port.input();
    }

    QtSerialPort port;
    int receiveEvents = 0;
    int sendEvents = 0;
};

} // namespace kova::test
