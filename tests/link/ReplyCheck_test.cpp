// The reply check over the engine: a port double raises its receive event
// once the reply threshold the engine set is reached, and the event hands
// the reply to the engine. Only the exact reply to the frame sent passes;
// every other reply fails and changes no image byte.

#include "link/BasicCRC.h"
#include "link/Proceso_Comunicacion.h"
#include "link/RespuestaEsperada.h"
#include "link/Tramas_Pendientes.h"
#include "link/support/Bytes.h"
#include "link/support/EngineFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kova {
namespace {

using test::bytes;
using Bytes = std::vector<std::uint8_t>;

Bytes withCrc(Bytes b)
{
    const auto crc = BasicCRC::CRC16(b.data(), static_cast<std::ptrdiff_t>(b.size()));
    b.push_back(static_cast<std::uint8_t>(crc >> 8));
    b.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    return b;
}

bool esLectura(const Bytes& frame) { return frame[1] == 3 || frame[1] == 4; }

// A read reply with `datos` data bytes and byte count `cuenta`; the
// identification registers of an accepted relay come first.
Bytes lectura(const Bytes& frame, int datos, int cuenta)
{
    Bytes r = {frame[0], frame[1], static_cast<std::uint8_t>(cuenta)};
    const Bytes id = {0x00, 0x16, 0x00, 0x01, 0x00, 0x65, 0x00, 0x00};
    for (int i = 0; i < datos; ++i)
        r.push_back(i < 8 && frame[1] == 4 && frame[3] == 0 && frame[2] == 0 ? id[static_cast<std::size_t>(i)]
                                                                             : static_cast<std::uint8_t>(0x40 + i));
    return withCrc(r);
}

// The reply the relay gives to a frame.
Bytes exacta(const Bytes& frame)
{
    if (esLectura(frame))
        return lectura(frame, 2 * frame[5], 2 * frame[5]);
    return withCrc(Bytes(frame.begin(), frame.begin() + 6));
}

struct ReplyCheck : test::EngineFixture {
    Proceso_Comunicacion scheduler{link};

    void SetUp() override
    {
        EngineFixture::SetUp();
        engine.setScheduler(&scheduler);
        port.handler = [this](CommEvent e) {
            if (e == CommEvent::Receive)
                engine.Refrescar();
        };
    }

    // A new line (nothing sent before can answer), then request `code`.
    Bytes enviar(int code)
    {
        run(1);
        run(code);
        return port.lastOutput();
    }
    // The bytes arrive; when they stay below the threshold they are handed
    // over all the same, as bytes that follow them would.
    bool llega(const Bytes& r)
    {
        const std::size_t antes = finalizadas.size();
        port.recibir(r);
        if (finalizadas.size() == antes)
            engine.Refrescar();
        return finalizadas.back();
    }
    bool sinCambios(const RegisterImages& antes) const
    {
        return images.put == antes.put && images.get == antes.get && images.actual == antes.actual;
    }
};

// Each request with one earlier request whose late reply it may meet:
// several of the same reply size and shape (61 and 62, 63 to 65, 2, 30
// and 60, 6 and 9), the others of another size or echo.
const struct {
    int code, tarde;
} kCasos[] = {
    {60, 2},    {61, 62},   {62, 61},   {63, 64},   {64, 65},   {65, 63},   {66, 4},   {4, 66},
    {5, 4},     {6, 9},     {7, 63},    {8, 10},    {9, 6},     {10, 4},    {30, 2},   {2, 30},
    {27, 28},   {28, 27},   {110, 111}, {111, 112}, {112, 113}, {113, 110}, {11, 12},  {12, 13},
    {13, 11},   {14, 15},   {15, 16},   {16, 17},   {17, 14},   {18, 92},   {19, 11},  {92, 93},
    {93, 92},
};

TEST_F(ReplyCheck, OnlyTheExactReplyToTheFrameSentPasses)
{
    for (const auto& c : kCasos) {
        SCOPED_TRACE("request " + std::to_string(c.code));
        link.Detener_Comunicacion = false;
        for (std::size_t i = 0; i < images.put.size(); ++i)
            images.put[i] = static_cast<std::uint8_t>(i * 7);
        images.get.fill(0x5A);
        images.actual.fill(0xA5);

        const Bytes f = enviar(c.code);
        ASSERT_GE(f.size(), 8u);
        const bool lee = esLectura(f);
        const int n = lee ? 2 * f[5] : 0;
        std::vector<std::pair<std::string, Bytes>> malas = {
            {"one register longer", lee ? lectura(f, n + 2, n + 2) : withCrc(Bytes(f.begin(), f.begin() + 8))},
            {"one register shorter", lee ? lectura(f, n - 2, n - 2) : withCrc(Bytes(f.begin(), f.begin() + 4))},
        };
        if (lee) {
            malas.push_back({"byte count one register more", lectura(f, n, n + 2)});
            malas.push_back({"byte count one register less", lectura(f, n, n - 2)});
        } else {
            for (int k : {2, 3, 4, 5}) {
                Bytes otra(f.begin(), f.begin() + 6);
                otra[static_cast<std::size_t>(k)] ^= 0x01;
                malas.push_back({"echo byte " + std::to_string(k) + " differs", withCrc(otra)});
            }
        }
        for (const auto& [que, r] : malas) {
            SCOPED_TRACE(que);
            enviar(c.code);
            const RegisterImages antes = images;
            EXPECT_FALSE(llega(r));
            EXPECT_TRUE(sinCambios(antes));
        }

        // The late reply of another request sent before and never answered.
        run(1);
        run(c.tarde);
        const Bytes otra = port.lastOutput();
        run(c.code);
        const RegisterImages antes = images;
        EXPECT_FALSE(llega(exacta(otra)));
        EXPECT_TRUE(sinCambios(antes));
        EXPECT_FALSE(link.Detener_Comunicacion);

        // The exact reply passes, also after the failures above.
        EXPECT_TRUE(llega(exacta(f)));
        EXPECT_EQ(engine.Contador_ErrorComm(), 0);
    }
}

TEST_F(ReplyCheck, DroppedLateReplyNoLongerStandsInTheWay)
{
    // The late reply to 61, dropped by the host or left on the line when
    // the next frame leaves, is no reason to refuse the reply to 62.
    run(61);
    const Bytes tarde = exacta(port.lastOutput());
    for (bool porElHost : {true, false}) {
        enviar(61);
        if (porElHost)
            engine.Entrada_Descartada(tarde);
        else
            port.rx = tarde;
        run(62);
        EXPECT_TRUE(llega(exacta(port.lastOutput()))) << porElHost;
    }
}

TEST_F(ReplyCheck, ReplyAfterDispatchingStoppedStoresNothing)
{
    // A file is loaded while the request is on the line: its reply stores
    // nothing, leaves the identification alone and queues nothing. A request
    // sent once dispatching was stopped is handled as always.
    for (bool detenidaAntes : {false, true})
        for (int code : {2, 4, 30, 60, 61, 66, 90, 27, 113, 11, 93}) {
            SCOPED_TRACE(std::to_string(code) + (detenidaAntes ? " sent while stopped" : ""));
            scheduler.Inicializar_Colas();
            images.put.fill(0x44);
            images.get.fill(0x55);
            images.actual.fill(0x66);
            engine.setFirmware(false);
            engine.setVersion("1.0x");
            link.Detener_Comunicacion = detenidaAntes;
            const Bytes f = enviar(code);
            link.Detener_Comunicacion = true;
            const RegisterImages antes = images;
            EXPECT_TRUE(llega(exacta(f))) << "answered";
            EXPECT_TRUE(detenidaAntes || sinCambios(antes));
            EXPECT_EQ(engine.Firmware(), detenidaAntes && code == 60);
            if (detenidaAntes && code == 61) {
                EXPECT_EQ(images.get[0], 0x40) << "block 1 taken";
            }
            EXPECT_EQ(scheduler.Estado_Solicitud(0, 0) == Proceso_Comunicacion::kLibre,
                      !detenidaAntes || (code != 30 && code != 93));
        }
}

// --- The firmware text --------------------------------------------------------

TEST(Version, KeptAsEightCharacters)
{
    const struct {
        const char* dado;
        const char* guardado;
    } casos[] = {
        {"1.0ñ°é¿x", "1.0ñ°é¿x"},     {"1.01", "1.01    "},         {"", "        "},
        {"1.0ñ°é¿xyz", "1.0ñ°é¿x"},   {"ñññññññññ", "ññññññññ"},  {"12345678", "12345678"},
        {"€", "€       "},
    };
    LinkState link;
    RegisterImages images;
    KOVA200 engine(link, images);
    for (const auto& c : casos) {
        engine.setVersion(c.dado);
        EXPECT_EQ(engine.Version(), c.guardado) << c.dado;
    }
}

// --- Frames waiting for a reply ---------------------------------------------------

TEST(Tramas_Pendientes, FramesOlderThanTheWaitNoLongerAnswer)
{
    using namespace std::chrono_literals;
    const Bytes f61 = bytes("01 03 01 01 00 18 15 FC");
    const Bytes f62 = bytes("01 03 01 19 00 18 95 FB");
    const Bytes r = exacta(f62);
    ASSERT_TRUE(respondeA(r, f61) && respondeA(r, f62));
    const auto t0 = Tramas_Pendientes::Reloj::time_point{};
    struct Caso {
        std::chrono::milliseconds despues;
        Tramas_Pendientes::Atribucion es;
    } casos[] = {
        {1s, Tramas_Pendientes::Atribucion::Tardia},
        {9999ms, Tramas_Pendientes::Atribucion::Tardia},
        {10s, Tramas_Pendientes::Atribucion::Actual},
    };
    for (const auto& c : casos) {
        Tramas_Pendientes p;
        p.enviada(f61, t0);
        p.enviada(f62, t0 + c.despues);
        EXPECT_EQ(p.atribuir(r, f62, t0 + c.despues), c.es) << c.despues.count();
    }
}

// A read request frame: function fn, n registers from reg.
Bytes pedido(int fn, int reg, int n)
{
    return withCrc({0x01, static_cast<std::uint8_t>(fn), static_cast<std::uint8_t>(reg >> 8),
                    static_cast<std::uint8_t>(reg & 0xFF), 0x00, static_cast<std::uint8_t>(n)});
}

TEST(Tramas_Pendientes, RepliesAnswerTheOldestFrameTheyFit)
{
    using A = Tramas_Pendientes::Atribucion;
    const Bytes b1 = pedido(3, 0x0101, 24), b2 = pedido(3, 0x0119, 24), b3 = pedido(3, 0x1000, 25);
    const Bytes a6 = pedido(4, 0x027F, 21), a9 = pedido(4, 0x026A, 21), a10 = pedido(4, 0x025E, 14);
    const Bytes basura = bytes("01 03 30 11 22");
    // Block 1 written, edited and written again: the echo may be the first
    // write's, and the relay may never get the second.
    const Bytes w1 = withCrc(bytes("01 10 01 01 00 01 02 00 01")), w1b = withCrc(bytes("01 10 01 01 00 01 02 00 02"));
    const struct Caso {
        const char* que;
        std::vector<Bytes> enviadas; // the last one waits
        Bytes respuesta;
        A es;
        std::size_t quedan;
    } casos[] = {
        {"the reply to the frame waiting", {b1}, exacta(b1), A::Actual, 0},
        {"late reply of a block of the same size", {b1, b2}, exacta(b1), A::Tardia, 1},
        {"a same-size reply after a frame that got none", {b1, b2}, exacta(b2), A::Tardia, 1},
        {"a frame answered drops the unanswered ones before it", {b1, b2, b3}, exacta(b3), A::Actual, 0},
        {"an earlier send of the same request", {b1, b3, b1}, exacta(b1), A::Actual, 2},
        {"a reply that fits no frame changes nothing", {a6, a9}, basura, A::Ninguna, 2},
        {"late reply of another size", {a10, a6}, exacta(a10), A::Tardia, 1},
        {"the echo of an earlier write of other data", {w1, w1b}, exacta(w1b), A::Tardia, 1},
    };
    const auto t = Tramas_Pendientes::Reloj::time_point{};
    for (const Caso& c : casos) {
        Tramas_Pendientes p;
        for (const Bytes& f : c.enviadas)
            p.enviada(f, t);
        EXPECT_EQ(p.atribuir(c.respuesta, c.enviadas.back(), t), c.es) << c.que;
        EXPECT_EQ(p.size(), c.quedan) << c.que;
    }
}

TEST(Tramas_Pendientes, FrameAfterAGarbledReplyIsNotHeldUpForLong)
{
    // 6 got garbage and stays pending; 9, of the same size, is refused
    // once; 10 passes and clears the way, so 9 passes when sent again.
    using A = Tramas_Pendientes::Atribucion;
    const Bytes a6 = pedido(4, 0x027F, 21), a9 = pedido(4, 0x026A, 21), a10 = pedido(4, 0x025E, 14);
    const auto t = Tramas_Pendientes::Reloj::time_point{};
    Tramas_Pendientes p;
    p.enviada(a6, t);
    EXPECT_EQ(p.atribuir(bytes("FF 00 13"), a6, t), A::Ninguna);
    p.enviada(a9, t);
    EXPECT_EQ(p.atribuir(exacta(a9), a9, t), A::Tardia);
    p.enviada(a10, t);
    EXPECT_EQ(p.atribuir(exacta(a10), a10, t), A::Actual);
    p.enviada(a9, t);
    EXPECT_EQ(p.atribuir(exacta(a9), a9, t), A::Actual);
    EXPECT_EQ(p.size(), 0u);
}

TEST(Tramas_Pendientes, DroppedExceptionReplyAnswersItsFrame)
{
    // Block 3 refused with an exception (left unread below the receive
    // threshold): the reply to block 4, of the same size, is 4's own.
    using A = Tramas_Pendientes::Atribucion;
    const Bytes b3 = pedido(3, 0x1000, 25), b4 = pedido(3, 0x1019, 25);
    const auto t = Tramas_Pendientes::Reloj::time_point{};
    const struct {
        const char* que;
        Bytes descartados;
        A es;
    } casos[] = {
        {"exception reply to 3", withCrc(bytes("01 83 02")), A::Actual},
        {"another slave's exception", withCrc(bytes("02 83 02")), A::Tardia},
        {"exception to another function", withCrc(bytes("01 84 02")), A::Tardia},
        {"bad CRC", bytes("01 83 02 00 00"), A::Tardia},
    };
    for (const auto& c : casos) {
        Tramas_Pendientes p;
        p.enviada(b3, t);
        p.descartada(c.descartados, t);
        p.enviada(b4, t);
        EXPECT_EQ(p.atribuir(exacta(b4), b4, t), c.es) << c.que;
    }
}

TEST(Tramas_Pendientes, DroppedExceptionNamesTheFrameRefusedOnlyWhenItFitsNoOther)
{
    // An exception reply names no register: with two writes unanswered it
    // could refuse either, and neither is named.
    const Bytes w1 = withCrc(bytes("01 10 01 01 00 01 02 00 01")), w3 = withCrc(bytes("01 10 10 00 00 01 02 00 01"));
    const Bytes r1 = pedido(3, 0x0101, 24);
    const Bytes rechazo = withCrc(bytes("01 90 04"));
    const auto t = Tramas_Pendientes::Reloj::time_point{};
    const struct { const char* que; std::vector<Bytes> enviadas; Bytes descartados, rechazada; } casos[] = {
        {"the one write waiting", {w3}, rechazo, w3},
        {"a read before it", {r1, w3}, rechazo, w3},
        {"another write unanswered before it", {w1, w3}, rechazo, {}},
        {"the write's own reply", {w3}, withCrc(bytes("01 10 10 00 00 01")), {}},
        {"another slave's exception", {w3}, withCrc(bytes("02 90 04")), {}},
    };
    for (const auto& c : casos) {
        Tramas_Pendientes p;
        for (const Bytes& f : c.enviadas)
            p.enviada(f, t);
        EXPECT_EQ(p.descartada(c.descartados, t), c.rechazada) << c.que;
    }
    // The code the refusal carries, and the write the refused frame was.
    EXPECT_EQ(codigoExcepcion(rechazo), 4);
    EXPECT_EQ(codigoExcepcion(withCrc(bytes("01 85 01"))), 1);
    EXPECT_EQ(codigoExcepcion(withCrc(bytes("01 10 04"))), 0);
    EXPECT_EQ(codigoExcepcion(bytes("01 90 04 00 00")), 0);
    EXPECT_EQ(Escritura_De_Trama(w3), 110);
    EXPECT_EQ(Escritura_De_Trama(withCrc(bytes("01 10 00 90 00 03 06 00 01 02 03 04 05"))), 93);
    EXPECT_EQ(Escritura_De_Trama(withCrc(bytes("01 05 00 05 FF 00"))), 92);
    EXPECT_EQ(Escritura_De_Trama(withCrc(bytes("01 05 00 09 FF 00"))), 13);
    EXPECT_EQ(Escritura_De_Trama(withCrc(bytes("01 05 00 01 FF 00"))), 0);
    EXPECT_EQ(Escritura_De_Trama(r1), 0);
}

} // namespace
} // namespace kova
