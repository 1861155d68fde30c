#pragma once
// An engine bound to a fake port, with a log of its events and messages.

#include "link/KOVA200.h"
#include "link/RegisterImages.h"
#include "link/support/FakeSerialPort.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kova::test {

class RecordingNotifier : public INotifier {
public:
    std::vector<std::pair<std::string, std::string>> messages;
    std::vector<std::string> details; // detail line of each message ("" for none)
    void critical(const std::string& text, const std::string& title) override
    {
        messages.emplace_back(text, title);
        details.emplace_back();
    }
    void criticalDetail(const std::string& text, const std::string& title, const std::string& detail) override
    {
        critical(text, title);
        details.back() = detail;
    }
};

struct EngineFixture : ::testing::Test {
    LinkState link;
    FakeSerialPort port;
    RecordingNotifier notifier;
    RegisterImages images;
    KOVA200 engine{link, images};
    std::vector<bool> finalizados;
    std::vector<bool> finalizadas; // ComunicacionFinalizada(OpOK)
    int errorCommEvents = 0;

    void SetUp() override
    {
        port.open = true;
        engine.setNotifier(&notifier);
        engine.setHostSerialControls({&port});
        engine.Reconocer_Controles_De_Comunicacion();
        engine.setDireccion(1);
        engine.setPuerto_PC(3);
        engine.setCadena_Com("9600");
        engine.events.Finalizado = [this](bool& r) { finalizados.push_back(r); };
        engine.events.ComunicacionFinalizada = [this](bool ok) { finalizadas.push_back(ok); };
        engine.events.ErrorCommActivado = [this] { ++errorCommEvents; };
    }

    // Sends request accion (so its pending read is recorded), then hands
    // the given bytes to Refrescar as its reply.
    void reply(int accion, const std::vector<std::uint8_t>& bytes)
    {
        run(accion);
        port.rx = bytes;
        engine.Refrescar();
    }

    void run(int accion)
    {
        engine.setAccion(static_cast<std::int16_t>(accion));
        engine.Ejecuta();
    }
};

} // namespace kova::test
