#include "link/support/Bytes.h"
#include "link/support/EngineFixture.h"

#include <gtest/gtest.h>

using namespace kova;
using namespace kova::test;

namespace {

struct FrameCase {
    int accion;
    int direccion;
    const char* frame;
    int rThreshold;
    int sThreshold;
};

// Every request whose frame is built here, slave 1 unless stated.
const FrameCase kFrames[] = {
    {2, 1, "01 04 02 03 00 04 00 71", 13, 8},
    {4, 1, "01 04 02 0D 00 1A E1 BA", 57, 8},
    {5, 1, "01 04 02 D0 00 07 B1 89", 19, 8},
    {6, 1, "01 04 02 7F 00 15 01 A5", 47, 8},
    {7, 1, "01 04 02 2F 00 19 01 B1", 55, 8},
    {8, 1, "01 04 02 4B 00 08 80 62", 21, 8},
    {9, 1, "01 04 02 6A 00 15 10 61", 47, 8},
    {10, 1, "01 04 02 5E 00 0E 11 A4", 33, 8},
    {11, 1, "01 05 00 01 FF 00 DD FA", 8, 8},
    {12, 1, "01 05 00 08 FF 00 0D F8", 8, 8},
    {13, 1, "01 05 00 09 FF 00 5C 38", 8, 8},
    {14, 1, "01 05 00 02 FF 00 2D FA", 8, 8},
    {15, 1, "01 05 00 14 FF 00 CC 3E", 8, 8},
    {16, 1, "01 05 00 15 FF 00 9D FE", 8, 8},
    {17, 1, "01 05 00 16 FF 00 6D FE", 8, 8},
    {18, 1, "01 05 00 06 FF 00 6C 3B", 8, 8},
    {19, 1, "01 05 00 06 FF 00 6C 3B", 8, 8},
    {30, 1, "01 04 06 00 00 04 F1 41", 13, 8},
    {60, 1, "01 04 00 00 00 04 F1 C9", 13, 8},
    {61, 1, "01 03 01 01 00 18 15 FC", 53, 8},
    {62, 1, "01 03 01 19 00 18 95 FB", 53, 8},
    {63, 1, "01 03 10 00 00 19 80 C0", 55, 8},
    {64, 1, "01 03 10 19 00 19 51 07", 55, 8},
    {65, 1, "01 03 10 32 00 19 21 0F", 55, 8},
    {66, 1, "01 03 10 4B 00 1A B0 D7", 57, 8},
    {90, 1, "01 04 06 10 00 16 70 89", 49, 8},
    {91, 1, "01 04 02 00 00 03 B1 B3", 11, 8},
    {92, 1, "01 05 00 05 FF 00 9C 3B", 8, 8},
    {60, 5, "05 04 00 00 00 04 F0 4D", 13, 8},
    {2, 247, "F7 04 02 03 00 04 14 E7", 13, 8},
    {66, 247, "F7 03 10 4B 00 1A A4 41", 57, 8},
};

} // namespace

using Engine = EngineFixture;

TEST_F(Engine, RequestFramesByteForByte)
{
    for (const auto& c : kFrames) {
        SCOPED_TRACE("Accion " + std::to_string(c.accion) + " slave " + std::to_string(c.direccion));
        port.clearLog();
        finalizados.clear();
        engine.setDireccion(static_cast<std::int16_t>(c.direccion));
        run(c.accion);
        ASSERT_EQ(port.outputs.size(), 1u);
        EXPECT_EQ(hex(port.lastOutput()), c.frame);
        EXPECT_EQ(port.rThreshold, c.rThreshold);
        EXPECT_EQ(port.sThreshold, c.sThreshold);
        EXPECT_EQ(hex(engine.Trama_Modbus()), c.frame);
        EXPECT_EQ(finalizados.size(), 1u);
        EXPECT_FALSE(engine.Ejecutando_Proceso());
    }
}

TEST_F(Engine, PublicReadsSendDirectly)
{
    engine.Leer_Actual_Values_Energy();
    EXPECT_EQ(hex(port.lastOutput()), "01 04 02 5E 00 0E 11 A4");
    engine.Ejecuta_Comando(1);
    EXPECT_EQ(hex(port.lastOutput()), "01 05 00 01 FF 00 DD FA");
    engine.Date_Time_Comand();
    EXPECT_EQ(hex(port.lastOutput()), "01 05 00 05 FF 00 9C 3B");
    EXPECT_TRUE(finalizados.empty()); // only Ejecuta raises Finalizado
}

TEST_F(Engine, CodesWithoutProcedureSendNothingButFinish)
{
    for (int code : {0, 3, 20, 26, 29, 51, 55, 59, 67, 89, 94, 100, 109, 114, -1, 32767}) {
        SCOPED_TRACE(code);
        port.clearLog();
        finalizados.clear();
        run(code);
        EXPECT_TRUE(port.calls.empty());
        ASSERT_EQ(finalizados.size(), 1u);
        EXPECT_EQ(finalizados[0], engine.Resultado_Peticion());
    }
}

TEST_F(Engine, FinalizadoHandlerMayRunTheNextRequest)
{
    bool chained = false;
    engine.events.Finalizado = [&](bool&) {
        finalizados.push_back(true);
        if (!chained) {
            chained = true;
            engine.setAccion(2);
            engine.Ejecuta();
        }
    };
    run(60);
    ASSERT_EQ(port.outputs.size(), 2u);
    EXPECT_EQ(hex(port.outputs[1]), "01 04 02 03 00 04 00 71");
    EXPECT_EQ(finalizados.size(), 2u);

    port.clearLog();
    finalizados.clear();
    engine.setEjecutando_Proceso(true);
    run(2);
    EXPECT_TRUE(port.calls.empty());
    EXPECT_TRUE(finalizados.empty());
}

TEST_F(Engine, BindingAndNoBoundPort)
{
    FakeSerialPort a, b;
    KOVA200 e(link);
    e.setNotifier(&notifier);
    std::vector<bool> fin;
    e.events.Finalizado = [&](bool& r) { fin.push_back(r); };
    e.setHostSerialControls({});
    e.Reconocer_Controles_De_Comunicacion();
    EXPECT_EQ(e.Comunicacion(), nullptr);

    e.setPuerto_PC(3);
    e.setAccion(1);
    e.Ejecuta();
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].first, "Invalid Number Port: COM 3");
    EXPECT_EQ(notifier.messages[0].second, "Communication error");
    ASSERT_EQ(fin.size(), 1u);
    EXPECT_FALSE(fin[0]);

    e.setAccion(2);
    EXPECT_NO_THROW(e.Ejecuta());
    EXPECT_EQ(fin.size(), 2u);

    e.setHostSerialControls({&a, &b});
    e.Reconocer_Controles_De_Comunicacion();
    EXPECT_EQ(e.Comunicacion(), &a);
    e.setHostSerialControls({});
    e.Reconocer_Controles_De_Comunicacion();
    EXPECT_EQ(e.Comunicacion(), &a);
}

TEST_F(Engine, PortFailureNeverEscapesAndFinishes)
{
    port.failOutput = true;
    for (int code : {2, 11, 61, 92}) {
        finalizados.clear();
        EXPECT_NO_THROW(run(code));
        EXPECT_FALSE(engine.Ejecutando_Proceso());
        EXPECT_EQ(finalizados.size(), 1u);
    }
    port.failOutput = false;
    port.open = false; // closed: input() throws first, nothing written
    port.clearLog();
    EXPECT_NO_THROW(run(2));
    EXPECT_TRUE(port.outputs.empty());
    EXPECT_FALSE(engine.Ejecutando_Proceso());
}

TEST_F(Engine, PropertiesAndStartValues)
{
    KOVA200 fresh(link);
    EXPECT_EQ(fresh.Cadena_Com(), "");
    EXPECT_EQ(fresh.Version(), "        ");
    EXPECT_EQ(fresh.Accion(), 0);
    EXPECT_EQ(fresh.ID(), 0);
    EXPECT_EQ(fresh.Zona(), "");
    EXPECT_EQ(fresh.Relay_Name(), "");
    EXPECT_FALSE(fresh.Firmware());
    EXPECT_FALSE(fresh.Ejecutando_Proceso());

    fresh.setVersion("1.02");
    EXPECT_EQ(fresh.Version(), "1.02    ");
    fresh.setVersion("1.02.03.04");
    EXPECT_EQ(fresh.Version(), "1.02.03.");
    try {
        fresh.setID(7);
        FAIL() << "ID must be read-only";
    } catch (const PropertyError& e) {
        EXPECT_EQ(e.numero, 393);
    }
    EXPECT_EQ(fresh.ID(), 0);
}

TEST_F(Engine, PendingReadsAreKeptPerFunction)
{
    engine.setDireccion(5);
    run(4);
    EXPECT_EQ(hex(port.lastOutput()), "05 04 02 0D 00 1A E0 3E");
    EXPECT_EQ(port.rThreshold, 57);
    EXPECT_EQ(port.sThreshold, 8);
    EXPECT_EQ(engine.Registro_Pendiente(), "20D");
    EXPECT_EQ(engine.Bytes_Esperados(), 52);
    run(61);
    EXPECT_EQ(engine.Registro_Pendiente_Setpoints(), "101");
    EXPECT_EQ(engine.Bytes_Esperados_Setpoints(), 48);
    EXPECT_EQ(engine.Registro_Pendiente(), "20D");
    run(60);
    EXPECT_EQ(engine.Registro_Pendiente(), "0");
    EXPECT_EQ(engine.Bytes_Esperados(), 8);
}

TEST_F(Engine, StaleInputDroppedThenThresholdsThenOutput)
{
    port.rx = bytes("AA BB");
    port.clearLog();
    run(2);
    EXPECT_EQ(port.calls, (std::vector<std::string>{"input", "RThreshold=13", "SThreshold=8", "output"}));
    EXPECT_TRUE(port.rx.empty());
    EXPECT_EQ(hex(port.lastOutput()), "01 04 02 03 00 04 00 71");
}

TEST_F(Engine, OpenPort)
{
    port.open = false;
    port.clearLog();
    run(1);
    EXPECT_EQ(port.calls, (std::vector<std::string>{"CommPort=3", "Settings=9600,N,8,1", "PortOpen=1"}));
    ASSERT_EQ(finalizados.size(), 1u);
    EXPECT_TRUE(finalizados[0]);
    EXPECT_TRUE(engine.Resultado_Peticion());

    port.clearLog(); // already open: closed first, then re-opened
    run(1);
    EXPECT_EQ(port.calls,
              (std::vector<std::string>{"PortOpen=0", "CommPort=3", "Settings=9600,N,8,1", "PortOpen=1"}));
    EXPECT_TRUE(finalizados.back());
    EXPECT_TRUE(notifier.messages.empty());

    port.failOpen = true; // missing or busy device
    run(1);
    EXPECT_FALSE(finalizados.back());
    EXPECT_FALSE(engine.Resultado_Peticion());
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0], std::make_pair(std::string("Invalid Number Port: COM 3"),
                                                   std::string("Communication error")));

    port.failOpen = false;
    engine.setCadena_Com(""); // the placed instance's empty baud text
    port.clearLog();
    run(1);
    EXPECT_EQ(port.calls.back(), "Settings=,N,8,1");
    EXPECT_FALSE(finalizados.back());
    EXPECT_EQ(notifier.messages.size(), 2u);

    engine.setPuerto_PC(-2);
    run(1);
    EXPECT_EQ(notifier.messages.back().first, "Invalid Number Port: COM-2");
}

TEST_F(Engine, FailedOpenGivesItsReasonAsDetailAndOnStderr)
{
    struct Case {
        std::int16_t com;
        std::string reason;
        std::string text;
    };
    const Case cases[] = {
        {2, "/dev/ttyS1: no such device \u2014 set KOVA_COM2 to the adapter's device (e.g. /dev/ttyUSB0)",
         "Invalid Number Port: COM 2"},
        {1, "/dev/ttyUSB0: permission denied \u2014 add your user to the dialout group and log in again",
         "Invalid Number Port: COM 1"},
        {8, "/dev/ttyS7: in use by another program", "Invalid Number Port: COM 8"},
    };
    port.failOpen = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        notifier.messages.clear();
        notifier.details.clear();
        port.openError = c.reason;
        engine.setPuerto_PC(c.com);
        testing::internal::CaptureStderr();
        run(1);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(finalizados.back());
        ASSERT_EQ(notifier.messages.size(), 1u);
        EXPECT_EQ(notifier.messages[0].first, c.text);
        EXPECT_EQ(notifier.messages[0].second, "Communication error");
        EXPECT_EQ(notifier.details[0], c.reason);
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
    }
    // Settings the port refuses, and no port at all, are reasons too.
    port.failOpen = false;
    engine.setCadena_Com("");
    notifier.details.clear();
    run(1);
    EXPECT_EQ(notifier.details.back(), "bad settings");
    KOVA200 unbound(link, images);
    unbound.setNotifier(&notifier);
    unbound.setAccion(1);
    unbound.Ejecuta();
    EXPECT_EQ(notifier.details.back(), "no serial port is bound to the engine");
}

TEST_F(Engine, AddressOutsideAByteSendsNothing)
{
    for (int dir : {256, -1, 300}) {
        SCOPED_TRACE(dir);
        engine.setDireccion(static_cast<std::int16_t>(dir));
        for (int code : {2, 11, 61, 92}) {
            port.clearLog();
            finalizados.clear();
            EXPECT_NO_THROW(run(code));
            EXPECT_TRUE(port.outputs.empty());
            EXPECT_EQ(finalizados.size(), 1u);
        }
    }
    port.open = false;
    engine.setDireccion(256);
    EXPECT_NO_THROW(run(2));
    EXPECT_TRUE(notifier.messages.empty());
}
