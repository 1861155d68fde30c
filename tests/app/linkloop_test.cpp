#include "app/LinkLoop.h"
#include "app/support/RelayPort.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace kova;
using namespace kova::test;
using Fallo = RelayPort::Fallo;

namespace {

class Notifier : public INotifier {
public:
    std::vector<std::pair<std::string, std::string>> messages;
    void critical(const std::string& t, const std::string& title) override { messages.emplace_back(t, title); }
};

// Request code of a frame the engine wrote.
int codigo(const std::vector<std::uint8_t>& f)
{
    const int fn = RelayPort::funcion(f), reg = RelayPort::registro(f);
    struct R { int fn, reg, code; };
    static const R t[] = {
        {4, 0x0000, 60}, {4, 0x0203, 2}, {4, 0x020D, 4}, {4, 0x02D0, 5}, {4, 0x027F, 6}, {4, 0x022F, 7},
        {4, 0x024B, 8}, {4, 0x026A, 9}, {4, 0x025E, 10}, {4, 0x0600, 30}, {4, 0x0610, 90}, {4, 0x0200, 91},
        {3, 0x0101, 61}, {3, 0x0119, 62}, {3, 0x1000, 63}, {3, 0x1019, 64}, {3, 0x1032, 65}, {3, 0x104B, 66},
        {16, 0x0101, 27}, {16, 0x0119, 28}, {16, 0x1000, 110}, {16, 0x1019, 111}, {16, 0x1032, 112},
        {16, 0x104B, 113}, {16, 0x0610, 31}, {5, 0x0001, 11}};
    for (const auto& r : t)
        if (r.fn == fn && r.reg == reg)
            return r.code;
    return -1;
}

struct Loop : ::testing::Test {
    LinkState link;
    RegisterImages images;
    KOVA200 engine{link, images};
    Proceso_Comunicacion sched{link};
    RelayPort port;
    Notifier notifier;
    int sinRele = 0;
    LinkLoop* loop = nullptr;

    static constexpr int kTimeout = 60;

    void SetUp() override
    {
        ensureApp();
        port.inputRegs = {{0x0000, 22}, {0x0001, 1}, {0x0002, 101}, {0x0003, 0}, {0x0203, 0x0102}};
        for (int r = 0x020D; r <= 0x02D6; ++r)
            port.inputRegs[static_cast<std::uint16_t>(r)] = static_cast<std::uint16_t>(r * 3);
        for (int r = 0x0101; r <= 0x0130; ++r)
            port.holding[static_cast<std::uint16_t>(r)] = static_cast<std::uint16_t>(r ^ 0x5A5A);
        for (int r = 0x1000; r <= 0x1064; ++r)
            port.holding[static_cast<std::uint16_t>(r)] = static_cast<std::uint16_t>(r + 7);
        engine.setHostSerialControls({&port});
        engine.setNotifier(&notifier);
        loop = new LinkLoop(engine, sched, link, port, &notifier);
        loop->setIntervals(kTimeout, 2, 10);
        loop->setTrabajarSinRele([this] { ++sinRele; });
    }
    void TearDown() override { delete loop; }

    std::vector<int> codigos() const
    {
        std::vector<int> c;
        for (const auto& f : port.requests)
            c.push_back(codigo(f));
        return c;
    }
    // The relay's six setpoint blocks as image bytes (0..297).
    std::vector<std::uint8_t> imagenDeRegistros()
    {
        std::vector<std::uint8_t> v;
        for (const auto& b : Bloques_Setpoints)
            for (int r = b.first; r <= b.last; ++r) {
                v.push_back(static_cast<std::uint8_t>(port.holding[static_cast<std::uint16_t>(r)] >> 8));
                v.push_back(static_cast<std::uint8_t>(port.holding[static_cast<std::uint16_t>(r)] & 0xFF));
            }
        return v;
    }
    int cuantos(int code) const
    {
        int n = 0;
        for (int c : codigos())
            n += c == code;
        return n;
    }
    void conectarYEsperarOnline()
    {
        ASSERT_TRUE(loop->Conectar(1, "9600", 1));
        ASSERT_TRUE(waitFor([&] { return port.requests.size() >= 17; }, 5000));
        ASSERT_TRUE(link.Comunicando);
    }
};

} // namespace

TEST_F(Loop, ConnectSequenceThenCyclicStatusRead)
{
    conectarYEsperarOnline();
    ASSERT_TRUE(waitFor([&] { return cuantos(2) >= 3; }, 3000));
    const auto c = codigos();
    const std::vector<int> want = {60, 61, 62, 63, 64, 65, 66, 4, 5, 6, 7, 8, 9, 10, 30, 31, 90};
    EXPECT_EQ(std::vector<int>(c.begin(), c.begin() + 17), want);
    // After the event records the reply to 30 asked for, the status read.
    for (std::size_t i = 17; i < c.size(); ++i)
        EXPECT_TRUE(c[i] == 2 || c[i] == 31 || c[i] == 90) << c[i];
    EXPECT_EQ(c.back(), 2);
    EXPECT_FALSE(link.Esperando_Respuesta);
    EXPECT_TRUE(link.Puerto_Abierto);
    EXPECT_TRUE(engine.Firmware());
    EXPECT_EQ(engine.Version(), "1.01    ");
    EXPECT_TRUE(loop->timerComunicacionActivo());
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(imagenDeRegistros(), std::vector<std::uint8_t>(images.get.begin(), images.get.begin() + 298));
    EXPECT_EQ(imagenDeRegistros(), std::vector<std::uint8_t>(images.put.begin(), images.put.begin() + 298));
    // 0x020D is the first register of actual-values block 1 (bytes 26, 27).
    EXPECT_EQ(images.actual[26], (0x020D * 3) >> 8);
    EXPECT_EQ(images.actual[27], (0x020D * 3) & 0xFF);
    EXPECT_EQ(images.actual[252], (0x02D0 * 3) >> 8);
}

TEST_F(Loop, PortThatDoesNotOpenQueuesNothing)
{
    LinkState s2;
    Proceso_Comunicacion sc2(s2);
    RelayPort p2;
    KOVA200 e2(s2);
    e2.setNotifier(&notifier);
    LinkLoop l2(e2, sc2, s2, p2, &notifier);
    e2.setHostSerialControls({&p2});
    EXPECT_FALSE(l2.Conectar(1, "", 1)); // ",N,8,1" is refused
    EXPECT_FALSE(s2.Puerto_Abierto);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].first, "Invalid Number Port: COM 1");
    for (int q = 0; q < 4; ++q)
        EXPECT_EQ(sc2.Estado_Solicitud(q, 0), Proceso_Comunicacion::kLibre);
    runFor(50);
    EXPECT_TRUE(p2.requests.empty());
}

TEST_F(Loop, BadCrcReplyIsSentAgainWithoutMessage)
{
    port.fallo = [](const std::vector<std::uint8_t>&, int n) { return n == 3 ? Fallo::Basura : Fallo::Ninguno; };
    ASSERT_TRUE(loop->Conectar(1, "9600", 1));
    ASSERT_TRUE(waitFor([&] { return port.requests.size() >= 4; }, 3000));
    // The garbled reply to 62 changed nothing.
    EXPECT_EQ(std::vector<std::uint8_t>(images.get.begin() + 48, images.get.begin() + 96),
              std::vector<std::uint8_t>(48, 0));
    EXPECT_EQ(std::vector<std::uint8_t>(images.put.begin() + 48, images.put.begin() + 96),
              std::vector<std::uint8_t>(48, 0));
    ASSERT_TRUE(waitFor([&] { return cuantos(62) == 2 && cuantos(2) >= 2; }, 3000));
    EXPECT_EQ(imagenDeRegistros(), std::vector<std::uint8_t>(images.get.begin(), images.get.begin() + 298));
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(engine.Contador_ErrorComm(), 0); // a passed reply came since
}

TEST_F(Loop, WrongIdentificationStopsDispatching)
{
    port.inputRegs[0x0000] = 21;
    ASSERT_TRUE(loop->Conectar(1, "9600", 1));
    ASSERT_TRUE(waitFor([&] { return !port.portOpen(); }, 3000));
    runFor(3 * kTimeout);
    EXPECT_EQ(port.requests.size(), 1u);
    EXPECT_TRUE(link.Detener_Comunicacion);
    EXPECT_FALSE(link.Comunicando);
    EXPECT_FALSE(engine.Firmware());
    EXPECT_EQ(engine.Version(), "        ");
}

TEST_F(Loop, SilenceAfterOnlineRaisesTheLinkErrorOnce)
{
    port.fallo = [](const std::vector<std::uint8_t>&, int n) { return n >= 20 ? Fallo::Silencio : Fallo::Ninguno; };
    conectarYEsperarOnline();
    ASSERT_TRUE(waitFor([&] { return !notifier.messages.empty(); }, 10000));
    runFor(6 * kTimeout);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0], std::make_pair(std::string(" Communication Error..."),
                                                   std::string("Communication Error")));
    EXPECT_EQ(sinRele, 1);
    EXPECT_TRUE(link.Detener_Comunicacion);
    EXPECT_FALSE(link.Comunicando);
    EXPECT_FALSE(loop->timer1Activo());
    EXPECT_FALSE(loop->timerComunicacionActivo());
    EXPECT_TRUE(engine.ErrorComm());
    const auto n = port.requests.size();
    runFor(4 * kTimeout);
    EXPECT_EQ(port.requests.size(), n);
}

TEST_F(Loop, FailedRepliesOnlineCountLikeTimeOuts)
{
    // Garbage, another slave's reply and an exception reply all fail.
    port.fallo = [](const std::vector<std::uint8_t>&, int n) {
        if (n < 20) return Fallo::Ninguno;
        return n % 3 == 0 ? Fallo::Basura : n % 3 == 1 ? Fallo::OtroEsclavo : Fallo::CrcMalo;
    };
    conectarYEsperarOnline();
    ASSERT_TRUE(waitFor([&] { return !notifier.messages.empty(); }, 5000));
    runFor(4 * kTimeout);
    EXPECT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(sinRele, 1);
    // Five failed replies in a row: requests 20..24, none more after.
    EXPECT_EQ(port.requests.size(), 24u);
}

TEST_F(Loop, BlockWriteRoundTrip)
{
    conectarYEsperarOnline();
    int confirmado = -1;
    const auto getAntes = images.get;
    images.put[0] = 0xAB;
    images.put[47] = 0xCD;
    sched.Agregar_Solicitud(0, &engine, 27);
    // Get changes only once the relay has confirmed the write.
    port.fallo = [&](const std::vector<std::uint8_t>& f, int) {
        if (codigo(f) == 27)
            confirmado = images.get[0];
        return Fallo::Ninguno;
    };
    ASSERT_TRUE(waitFor([&] { return cuantos(27) == 1 && images.get[0] == 0xAB; }, 3000));
    EXPECT_EQ(confirmado, getAntes[0]);
    EXPECT_EQ(port.holding[0x0101] >> 8, 0xAB);
    EXPECT_EQ(port.holding[0x0118] & 0xFF, 0xCD);
    EXPECT_EQ(std::vector<std::uint8_t>(images.get.begin(), images.get.begin() + 48),
              std::vector<std::uint8_t>(images.put.begin(), images.put.begin() + 48));
}

TEST_F(Loop, RefusedBlockWriteIsGivenUpAfterFiveTries)
{
    port.fallo = [](const std::vector<std::uint8_t>& f, int) {
        return codigo(f) == 27 ? Fallo::Excepcion : Fallo::Ninguno;
    };
    conectarYEsperarOnline();
    images.put[5] = 0x99;
    sched.Agregar_Solicitud(0, &engine, 27);
    ASSERT_TRUE(waitFor([&] { return !notifier.messages.empty(); }, 10000));
    runFor(4 * kTimeout);
    EXPECT_EQ(cuantos(27), 5);
    EXPECT_EQ(images.put[5], 0x99);
    EXPECT_NE(images.get[5], 0x99);
    EXPECT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(sinRele, 1);
    EXPECT_TRUE(link.Detener_Comunicacion);
}

TEST_F(Loop, RequestThatSendsNothingDoesNotStallTheLoop)
{
    conectarYEsperarOnline();
    sched.Agregar_Solicitud(0, &engine, 20); // no frame, so no send event
    const auto n = port.requests.size();
    ASSERT_TRUE(waitFor([&] { return port.requests.size() >= n + 3; }, 3000));
    EXPECT_EQ(codigo(port.requests.back()), 2);
    // Given up after five tries like any other request.
    ASSERT_TRUE(waitFor([&] { return sinRele == 1; }, 5000));
    EXPECT_EQ(notifier.messages.size(), 1u);
}

TEST_F(Loop, NextFrameWaitsForAQuietLineAfterATimeOut)
{
    int silentAt = -1;
    port.fallo = [&](const std::vector<std::uint8_t>&, int n) {
        if (n == 20) {
            silentAt = n;
            return Fallo::Silencio;
        }
        return Fallo::Ninguno;
    };
    conectarYEsperarOnline();
    ASSERT_TRUE(waitFor([&] { return silentAt == 20; }, 3000));
    ASSERT_TRUE(waitFor([&] { return loop->esperandoSilencio(); }, 3000));
    ASSERT_EQ(port.requests.size(), 20u);
    // Line noise (a late reply) right after the time-out.
    const qint64 until = port.now() + 200;
    for (int t = 0; t < 200; t += 4)
        port.inject({0x01, 0x04}, t);
    ASSERT_TRUE(waitFor([&] { return port.requests.size() >= 21; }, 3000));
    EXPECT_GE(port.requestTimes[20], until);
    EXPECT_EQ(codigo(port.requests[20]), codigo(port.requests[19])) << "the timed-out request is sent again";
}
