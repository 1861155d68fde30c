#include "app/LinkLoop.h"
#include "app/support/RelayPort.h"

#include <QObject>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>

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
    std::string icons; // 'C' critical, 'E' exclamation, 'I' information, one per message
    std::vector<std::string> details; // the detail line of each message, if any
    // Runs while a box is open (the box's own event loop keeps running).
    std::function<void()> whileOpen;
    void critical(const std::string& t, const std::string& title) override { show('C', t, title); }
    void exclamation(const std::string& t, const std::string& title) override { show('E', t, title); }
    void information(const std::string& t, const std::string& title) override { show('I', t, title); }
    void criticalDetail(const std::string& t, const std::string& title, const std::string& d) override
    {
        show('C', t, title, d);
    }

private:
    void show(char icon, const std::string& t, const std::string& title, const std::string& d = {})
    {
        messages.emplace_back(t, title);
        details.push_back(d);
        icons += icon;
        if (whileOpen)
            whileOpen();
    }
};

// A requester that only counts what the loop asks of it.
struct CountingRequester : IRequester {
    int ejecuta = 0, refrescar = 0, errores = 0;
    std::function<void()> onRefrescar;
    void setAccion(std::int16_t) override {}
    void Ejecuta() override { ++ejecuta; }
    void Refrescar() override
    {
        ++refrescar;
        if (onRefrescar)
            onRefrescar();
    }
    bool AumentarErrorComm() override
    {
        ++errores;
        return false;
    }
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
        {16, 0x104B, 113}, {16, 0x0610, 31}, {16, 0x0090, 93}, {5, 0x0001, 11}, {5, 0x0008, 12},
        {5, 0x0009, 13}, {5, 0x0005, 92}};
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
    // What the status refresh showed.
    QString panel6;
    Banderas_Estado banderas{};
    int redibujos = 0;
    int fueraDeLinea = 0;

    static constexpr int kTimeout = 60;
    static constexpr int kRefresh = 20;

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
        loop->setRefreshInterval(kRefresh);
        QObject::connect(loop, &LinkLoop::Panel6, [this](const QString& t) { panel6 = t; });
        QObject::connect(loop, &LinkLoop::Estado_Rele, [this](const Banderas_Estado& b) { banderas = b; });
        QObject::connect(loop, &LinkLoop::Mostrar_Estado, [this] { ++redibujos; });
        QObject::connect(loop, &LinkLoop::Fuera_De_Linea, [this] { ++fueraDeLinea; });
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
    // The link error was reported once, the relay given up and the link stopped.
    void expectLinkErrorReportedOnce()
    {
        ASSERT_EQ(notifier.messages.size(), 1u);
        EXPECT_EQ(notifier.messages[0], std::make_pair(std::string(" Communication Error..."),
                                                       std::string("Communication Error")));
        EXPECT_EQ(sinRele, 1);
        EXPECT_TRUE(link.Detener_Comunicacion);
        EXPECT_FALSE(link.Comunicando);
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
    // The refresh, not the first reply, starts the online time-out tick.
    EXPECT_TRUE(waitFor([&] { return loop->timerComunicacionActivo(); }, 1000));
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
    // The request the link error ends on is given up once, before the box.
    std::vector<std::size_t> boxesAtGiveUp;
    QObject::connect(loop, &LinkLoop::Solicitud_Abandonada,
                     [&](int, int, int) { boxesAtGiveUp.push_back(notifier.messages.size()); });
    ASSERT_TRUE(waitFor([&] { return !notifier.messages.empty(); }, 10000));
    runFor(6 * kTimeout);
    ASSERT_NO_FATAL_FAILURE(expectLinkErrorReportedOnce());
    EXPECT_EQ(boxesAtGiveUp, std::vector<std::size_t>{0});
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

// --- Hand-over, time-outs and the link error ------------------------------

TEST_F(Loop, ReceiveEventHandsTheReplyOverOnceAndNeverWhileOneIsHandled)
{
    loop->setIntervals(10000, 2, 5);
    CountingRequester r;
    link.Comunicando = true;
    sched.Agregar_Solicitud(0, &r, 4);
    sched.Despachar_Solicitud();
    ASSERT_EQ(r.ejecuta, 1);
    loop->MSComm1_OnComm(CommEvent::Send);
    EXPECT_TRUE(loop->timer1Activo());
    loop->Timer1_Timer();
    EXPECT_EQ(loop->Ticks_Sin_Respuesta(), 1);

    // Bytes arriving while the reply is handled (a message box open inside
    // the handler) start no second hand-over.
    r.onRefrescar = [&] {
        loop->MSComm1_OnComm(CommEvent::Receive);
        runFor(30);
    };
    loop->MSComm1_OnComm(CommEvent::Receive);
    EXPECT_EQ(loop->Ticks_Sin_Respuesta(), 0);
    EXPECT_FALSE(loop->timer1Activo());
    EXPECT_TRUE(loop->tmrRetardoComActivo());
    EXPECT_EQ(r.refrescar, 0) << "never inside the serial event";
    runFor(60);
    EXPECT_EQ(r.refrescar, 1);
    EXPECT_FALSE(loop->tmrRetardoComActivo());
}

TEST_F(Loop, SecondSilentTickOnlinePutsTheRequestBackCountsAndSendsAgain)
{
    loop->setIntervals(10000, 2, 5);
    CountingRequester r;
    link.Comunicando = true;
    sched.Agregar_Solicitud(0, &r, 4);
    sched.Despachar_Solicitud();
    loop->Timer1_Timer();
    EXPECT_EQ(sched.Estado_Actual(), Proceso_Comunicacion::kEjecutando);
    EXPECT_EQ(engine.Contador_ErrorComm(), 0);
    loop->Timer1_Timer();
    EXPECT_EQ(sched.Estado_Actual(), Proceso_Comunicacion::kPendiente);
    EXPECT_EQ(loop->Ticks_Sin_Respuesta(), 0);
    ASSERT_TRUE(waitFor([&] { return r.ejecuta == 2; }, 1000));
    EXPECT_EQ(engine.Contador_ErrorComm(), 1);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(Loop, TimeOutComesAtTheSecondSilentTickAfterTheLatestSend)
{
    constexpr int kIntervalo = 100; // a reply and the next frame come before the first time-out would tick
    loop->setIntervals(kIntervalo, 2, 5);
    CountingRequester r;
    link.Comunicando = true;
    sched.Agregar_Solicitud(0, &r, 4);
    sched.Despachar_Solicitud();
    loop->MSComm1_OnComm(CommEvent::Send);
    runFor(kIntervalo / 2);
    loop->MSComm1_OnComm(CommEvent::Receive);
    ASSERT_TRUE(waitFor([&] { return r.refrescar == 1; }, 1000));
    const qint64 enviada = port.now();
    loop->MSComm1_OnComm(CommEvent::Send);
    ASSERT_TRUE(waitFor([&] { return r.ejecuta == 2; }, 5000)) << "timed out and sent again";
    EXPECT_GE(port.now() - enviada, 2 * kIntervalo);
    EXPECT_EQ(engine.Contador_ErrorComm(), 1);
}

TEST_F(Loop, LinkErrorIsShownOnceWhileItsBoxStaysOpen)
{
    port.fallo = [](const std::vector<std::uint8_t>&, int n) { return n >= 20 ? Fallo::Silencio : Fallo::Ninguno; };
    bool timersQuiet = true;
    notifier.whileOpen = [&] {
        timersQuiet = !loop->timer1Activo() && !loop->timerComunicacionActivo() && !loop->timer2Activo();
        runFor(20 * kTimeout); // the user leaves the box open
    };
    conectarYEsperarOnline();
    ASSERT_TRUE(waitFor([&] { return !notifier.messages.empty(); }, 10000));
    runFor(6 * kTimeout);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.icons, "C");
    EXPECT_TRUE(timersQuiet);
    EXPECT_EQ(sinRele, 1);
    EXPECT_EQ(port.requests.size(), 24u) << "five silent requests, then nothing";
    // The refresh shows the offline state once more, then stops.
    EXPECT_EQ(panel6, LinkLoop::kFueraDeLinea);
    EXPECT_EQ(fueraDeLinea, 1);
    EXPECT_FALSE(loop->timer2Activo());
}

TEST_F(Loop, SilentRelayWhileConnectingIsReportedAfterFiveTimeOuts)
{
    port.fallo = [](const std::vector<std::uint8_t>&, int) { return Fallo::Silencio; };
    ASSERT_TRUE(loop->Conectar(1, "9600", 1));
    EXPECT_TRUE(loop->conectando());
    // The time-out keeps running while connecting and moves on each time.
    ASSERT_TRUE(waitFor([&] { return port.requests.size() == 2; }, 2000));
    EXPECT_TRUE(notifier.messages.empty());
    ASSERT_TRUE(waitFor([&] { return !notifier.messages.empty(); }, 5000));
    runFor(6 * kTimeout);
    EXPECT_EQ(codigos(), (std::vector<int>{60, 61, 62, 63, 64}));
    ASSERT_NO_FATAL_FAILURE(expectLinkErrorReportedOnce());
    EXPECT_FALSE(loop->conectando());
    EXPECT_FALSE(link.Esperando_Respuesta);
    EXPECT_FALSE(loop->timer1Activo());
    EXPECT_EQ(panel6, LinkLoop::kFueraDeLinea);
    runFor(5 * kTimeout);
    EXPECT_EQ(port.requests.size(), 5u) << "nothing is sent after the error";
}

TEST_F(Loop, FailedRepliesWhileConnectingAreReportedAfterFive)
{
    port.fallo = [](const std::vector<std::uint8_t>&, int) { return Fallo::Basura; };
    ASSERT_TRUE(loop->Conectar(1, "9600", 1));
    ASSERT_TRUE(waitFor([&] { return !notifier.messages.empty(); }, 5000));
    runFor(4 * kTimeout);
    EXPECT_EQ(port.requests.size(), 5u);
    EXPECT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(sinRele, 1);
    EXPECT_FALSE(link.Comunicando);
}

TEST_F(Loop, OneLateReplyWhileConnectingDoesNotEndTheConnect)
{
    // The first identification request goes unanswered, the second passes.
    port.fallo = [](const std::vector<std::uint8_t>&, int n) { return n == 1 ? Fallo::Silencio : Fallo::Ninguno; };
    ASSERT_TRUE(loop->Conectar(1, "9600", 1));
    ASSERT_TRUE(waitFor([&] { return link.Comunicando && cuantos(60) == 2; }, 5000));
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(sinRele, 0);
}

// --- Going online and the status refresh -----------------------------------

TEST_F(Loop, FirstPassedReplyGoesOnlineWithTheRelaysFirmwareText)
{
    port.inputRegs[0x0002] = 105;
    std::string firmware = "unchanged";
    loop->setFirmwareRele([&](const std::string& v) { firmware = v; });
    ASSERT_TRUE(loop->Conectar(1, "9600", 1));
    ASSERT_TRUE(waitFor([&] { return link.Comunicando; }, 3000));
    EXPECT_EQ(engine.Version(), "1.05    ");
    EXPECT_EQ(firmware, "1.05");
    EXPECT_TRUE(loop->timer2Activo());
    EXPECT_FALSE(loop->conectando());
}

TEST_F(Loop, PassedReplyToAnyRequestWhileOfflineGoesOnline)
{
    std::string firmware = "unchanged";
    loop->setFirmwareRele([&](const std::string& v) { firmware = v; });
    engine.setVersion("1.07");
    engine.setDireccion(1);
    port.setPortOpen(true);
    engine.Reconocer_Controles_De_Comunicacion();
    sched.Agregar_Solicitud(0, &engine, 4);
    sched.Despachar_Solicitud();
    ASSERT_EQ(port.requests.size(), 1u);
    ASSERT_TRUE(waitFor([&] { return link.Comunicando; }, 3000));
    EXPECT_EQ(firmware, "1.07");
    EXPECT_TRUE(loop->timer2Activo());
}

TEST_F(Loop, RefreshShowsTheStatusFlagsOnlineAndTheOfflineState)
{
    port.inputRegs[0x0203] = 0x0891; // Trip, Out of Service, Breaker Closed, Lockout
    conectarYEsperarOnline();
    const Banderas_Estado esperadas{1, 0, 0, 0, 1, 0, 1, 0, 0, 0, 1};
    ASSERT_TRUE(waitFor([&] { return cuantos(2) >= 1 && banderas == esperadas; }, 2000));
    ASSERT_TRUE(waitFor([&] { return panel6 == LinkLoop::kEnLinea && redibujos > 0; }, 2000));
    EXPECT_TRUE(loop->timerComunicacionActivo());
    EXPECT_EQ(fueraDeLinea, 0);

    // The status changes: the next refresh follows it.
    port.inputRegs[0x0203] = 0x0240; // Breaker Open, Auto-Reclose Enabled
    ASSERT_TRUE(waitFor([&] { return banderas == Banderas_Estado{0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0}; }, 2000));

    link.Detener_Comunicacion = true;
    ASSERT_TRUE(waitFor([&] { return !link.Comunicando; }, 2000));
    ASSERT_TRUE(waitFor([&] { return fueraDeLinea == 1; }, 2000));
    EXPECT_EQ(panel6, LinkLoop::kFueraDeLinea);
    EXPECT_FALSE(loop->timer2Activo());
    runFor(3 * kRefresh);
    EXPECT_EQ(fueraDeLinea, 1);
}

TEST_F(Loop, PortOpenResultIsTakenOnlyFromTheOpenRequest)
{
    bool r = false;
    link.Puerto_Abierto = true;
    engine.setAccion(1);
    engine.events.Finalizado(r);
    EXPECT_FALSE(link.Puerto_Abierto);
    link.Puerto_Abierto = true;
    engine.setAccion(60);
    engine.events.Finalizado(r);
    EXPECT_TRUE(link.Puerto_Abierto);
}

// --- Result messages ----------------------------------------------------------

TEST_F(Loop, ResultMessagesOfWritesAndCommands)
{
    struct Caso {
        int code;
        std::string text; // empty: no message
        char icon;
    };
    const std::string saved = "Setpoints were Saved to the Relay memory";
    // Block writes are confirmed by their store transaction only.
    const Caso casos[] = {
        {27, "", 0}, {28, "", 0}, {93, saved, 'E'}, {113, "", 0}, {110, "", 0},
        {11, "Command executed", 'I'}, {12, "Command executed", 'I'}, {13, "Command executed", 'I'},
        {60, "", 0}, {4, "", 0},
    };
    conectarYEsperarOnline();
    ASSERT_TRUE(waitFor([&] { return loop->timerComunicacionActivo(); }, 2000));
    std::string timersInBox;
    notifier.whileOpen = [&] {
        timersInBox = std::string(loop->timerComunicacionActivo() ? "C" : "") + (loop->timer1Activo() ? "1" : "") +
                      (loop->timer2Activo() ? "2" : "");
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.code);
        notifier.messages.clear();
        notifier.icons.clear();
        timersInBox = "-";
        const std::size_t from = port.requests.size();
        sched.Agregar_Solicitud(0, &engine, static_cast<std::int16_t>(c.code));
        // Handled once the loop has dispatched the request after it.
        const int ultimo = c.code == 93 ? 92 : c.code; // a clock write: after its apply command
        ASSERT_TRUE(waitFor([&] {
            for (std::size_t i = from; i + 1 < port.requests.size(); ++i)
                if (codigo(port.requests[i]) == ultimo)
                    return true;
            return false;
        }, 3000));
        if (c.text.empty()) {
            EXPECT_TRUE(notifier.messages.empty());
        } else {
            ASSERT_EQ(notifier.messages.size(), 1u);
            EXPECT_EQ(notifier.messages[0], std::make_pair(c.text, std::string("KOVA")));
            EXPECT_EQ(notifier.icons, std::string(1, c.icon));
            EXPECT_EQ(timersInBox, "") << "timers run while the box is open";
            EXPECT_TRUE(loop->timerComunicacionActivo());
            EXPECT_TRUE(loop->timer2Activo());
        }
    }
}

TEST_F(Loop, PassedRepliesAreReportedWithTheirSlotOnceStored)
{
    conectarYEsperarOnline();
    std::vector<std::array<int, 3>> aceptadas;
    int getEnAviso = -1;
    QObject::connect(loop, &LinkLoop::Respuesta_Aceptada, [&](int cola, int posicion, int codigo) {
        aceptadas.push_back({cola, posicion, codigo});
        if (codigo == 61)
            getEnAviso = images.get[0];
    });
    port.holding[0x0101] = 0x7F00;
    const auto slot = sched.Agregar_Solicitud(0, &engine, 61);
    ASSERT_TRUE(slot);
    ASSERT_TRUE(waitFor([&] { return getEnAviso >= 0; }, 3000));
    EXPECT_EQ(getEnAviso, 0x7F);
    EXPECT_NE(std::find(aceptadas.begin(), aceptadas.end(), std::array<int, 3>{0, *slot, 61}), aceptadas.end());
}

// One store transaction per STORE: "saved" once, only when the relay took
// every write; otherwise the communication error and no word of saving.
struct StoreCase {
    const char* nombre;
    std::vector<int> escrituras;
    std::vector<int> sinCola; // writes that could not be queued
    int rechazada;         // writes of this code get an exception reply
    std::string mensajes;  // 'S' saved, 'C' communication error, in order
    bool guardado;
    std::string detalle;   // of the last message
    Fallo fallo = Fallo::Excepcion; // how the relay fails the write `rechazada`
};

struct Store : Loop, ::testing::WithParamInterface<StoreCase> {};

TEST_P(Store, Transaction)
{
    const StoreCase& c = GetParam();
    port.fallo = [&](const std::vector<std::uint8_t>& f, int) {
        return codigo(f) == c.rechazada ? c.fallo : Fallo::Ninguno;
    };
    conectarYEsperarOnline();
    std::vector<bool> terminadas;
    std::vector<int> abandonadas;
    QObject::connect(loop, &LinkLoop::Grabacion_Terminada, [&](bool g) { terminadas.push_back(g); });
    QObject::connect(loop, &LinkLoop::Solicitud_Abandonada, [&](int, int, int code) { abandonadas.push_back(code); });
    std::vector<LinkLoop::Solicitud> enCola;
    for (int code : c.escrituras)
        enCola.push_back({0, *sched.Agregar_Solicitud(0, &engine, static_cast<std::int16_t>(code)), code});
    loop->Iniciar_Grabacion(enCola, c.sinCola);
    ASSERT_TRUE(waitFor([&] { return !terminadas.empty(); }, 10000));
    runFor(4 * kTimeout);
    std::string mensajes;
    for (const auto& m : notifier.messages)
        mensajes += m.first == LinkLoop::kGuardado ? 'S' : m.first == LinkLoop::kErrorComunicacion ? 'C' : '?';
    EXPECT_EQ(mensajes, c.mensajes);
    ASSERT_FALSE(notifier.details.empty());
    EXPECT_EQ(notifier.details.back(), c.detalle);
    EXPECT_EQ(terminadas, std::vector<bool>{c.guardado});
    EXPECT_FALSE(loop->Grabacion_En_Curso());
    EXPECT_EQ(abandonadas, c.rechazada ? std::vector<int>{c.rechazada} : std::vector<int>{});
    EXPECT_EQ(sinRele, c.rechazada ? 1 : 0);
    for (int code : c.escrituras)
        EXPECT_EQ(cuantos(code), code == c.rechazada ? LinkLoop::kMaxFallosSolicitud : 1);
}

const std::string kMezcla = " The relay may now hold a mix of old and new setpoints.";
const std::string kBloque1 = "The relay confirmed block 1. ";

INSTANTIATE_TEST_SUITE_P(
    Loop, Store,
    ::testing::Values(StoreCase{"both taken", {27, 28}, {}, 0, "S", true, ""},
                      StoreCase{"one write", {113}, {}, 0, "S", true, ""},
                      StoreCase{"second refused", {27, 28}, {}, 28, "C", false,
                                kBloque1 + "The relay refused block 2: it was not written." + kMezcla},
                      StoreCase{"block 4 refused, block 6 taken", {111, 113}, {}, 111, "C", false,
                                "The relay confirmed block 6. The relay refused block 4: it was not written." +
                                    kMezcla},
                      StoreCase{"block 2 ignored", {27, 28}, {}, 28, "C", false,
                                kBloque1 + "Block 2 got no valid answer: it may have been written." + kMezcla,
                                Fallo::Silencio},
                      StoreCase{"the only write refused", {113}, {}, 113, "C", false,
                                "The relay refused block 6. Nothing was written to the relay."},
                      StoreCase{"block 2 device failure", {27, 28}, {}, 28, "C", false,
                                kBloque1 + "The relay answered block 2 with exception code 04 (device failure): it "
                                           "may have been written." + kMezcla,
                                Fallo::ExcepcionDispositivo},
                      StoreCase{"the only write spoiled", {28}, {}, 28, "C", false,
                                "Block 2 got no valid answer: it may have been written.", Fallo::CrcMalo},
                      StoreCase{"one not queued", {27}, {28}, 0, "C", false,
                                kBloque1 + "Block 2 was not sent." + kMezcla},
                      StoreCase{"none queued", {}, {27}, 0, "C", false, "Nothing was written to the relay."}));

TEST_F(Loop, StoreUnderWayTellsWhatTheRelayHolds)
{
    // For the line written when the program is ended meanwhile: a write in
    // flight may have been written; once the store has ended nothing is told.
    conectarYEsperarOnline();
    port.fallo = [](const std::vector<std::uint8_t>& f, int) {
        return codigo(f) == 28 ? Fallo::Silencio : Fallo::Ninguno;
    };
    EXPECT_EQ(loop->Detalle_En_Curso(), "");
    loop->Iniciar_Grabacion({{0, *sched.Agregar_Solicitud(0, &engine, 27), 27},
                             {0, *sched.Agregar_Solicitud(0, &engine, 28), 28}});
    ASSERT_TRUE(waitFor([&] { return cuantos(28) == 1; }, 3000));
    EXPECT_EQ(loop->Detalle_En_Curso(),
              kBloque1 + "Block 2 got no valid answer: it may have been written." + kMezcla);
    ASSERT_TRUE(waitFor([&] { return !loop->Grabacion_En_Curso(); }, 20000));
    EXPECT_EQ(loop->Detalle_En_Curso(), "");
}

TEST_F(Loop, LinkLostEndsTheStoreAndIsReported)
{
    conectarYEsperarOnline();
    int perdidos = 0;
    std::vector<bool> terminadas;
    QObject::connect(loop, &LinkLoop::Enlace_Perdido, [&] { ++perdidos; });
    QObject::connect(loop, &LinkLoop::Grabacion_Terminada, [&](bool g) { terminadas.push_back(g); });
    port.fallo = [](const std::vector<std::uint8_t>&, int) { return Fallo::Silencio; };
    loop->Iniciar_Grabacion({{0, *sched.Agregar_Solicitud(0, &engine, 27), 27}});
    ASSERT_TRUE(waitFor([&] { return perdidos > 0; }, 20000));
    runFor(4 * kTimeout);
    EXPECT_EQ(perdidos, 1);
    EXPECT_EQ(terminadas, std::vector<bool>{false});
    expectLinkErrorReportedOnce();
}

// A reply passed while dispatching is stopped is told as it stands, then the port closes: a command is
// confirmed; a clock write, which no apply command follows now, is not called saved.
struct AnsweredWhileStopped { int code; std::pair<std::string, std::string> box; std::string detail; };

struct LoopAnsweredWhileStopped : Loop, ::testing::WithParamInterface<AnsweredWhileStopped> {};

TEST_P(LoopAnsweredWhileStopped, IsToldAsItStandsThenThePortCloses)
{
    const AnsweredWhileStopped& c = GetParam();
    conectarYEsperarOnline();
    port.fallo = [&](const std::vector<std::uint8_t>& f, int) {
        if (codigo(f) == c.code)
            link.Detener_Comunicacion = true; // e.g. a file was read meanwhile
        return Fallo::Ninguno;
    };
    sched.Agregar_Solicitud(0, &engine, c.code);
    ASSERT_TRUE(waitFor([&] { return !port.portOpen(); }, 3000));
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0], c.box);
    EXPECT_EQ(notifier.details[0], c.detail);
    EXPECT_FALSE(link.Comunicando);
    const auto n = port.requests.size();
    EXPECT_EQ(codigo(port.requests.back()), c.code);
    runFor(4 * kTimeout);
    EXPECT_EQ(port.requests.size(), n);
    EXPECT_EQ(panel6, LinkLoop::kFueraDeLinea);
}

INSTANTIATE_TEST_SUITE_P(Casos, LoopAnsweredWhileStopped,
    ::testing::Values(AnsweredWhileStopped{11, {"Command executed", "KOVA"}, ""},
        AnsweredWhileStopped{93, {" Communication Error...", "Communication Error"},
                             "The clock was written but not applied."}));

// --- Failed replies spread over requests, replies after a load ----------------

struct FallosRepartidos {
    std::vector<int> fallan; // requests answered with garbage, once each
    bool error;
};

struct LoopFallosRepartidos : Loop, ::testing::WithParamInterface<FallosRepartidos> {};

TEST_P(LoopFallosRepartidos, LinkErrorFollowsTheFifthFailedReplyInARow)
{
    // No request fails twice, yet five failed replies in a row leave the
    // relay; fewer, or a passed reply between them, do not.
    const FallosRepartidos& c = GetParam();
    std::vector<int> fallados;
    port.fallo = [&](const std::vector<std::uint8_t>& f, int) {
        const int code = codigo(f);
        const bool falla = std::count(c.fallan.begin(), c.fallan.end(), code) > 0 &&
                           std::count(fallados.begin(), fallados.end(), code) == 0;
        if (falla)
            fallados.push_back(code);
        return falla ? Fallo::Basura : Fallo::Ninguno;
    };
    // The request the fifth failure ends the link on is given up, before the box.
    std::vector<std::pair<int, std::size_t>> abandonadas;
    QObject::connect(loop, &LinkLoop::Solicitud_Abandonada,
                     [&](int, int, int code) { abandonadas.emplace_back(code, notifier.messages.size()); });
    ASSERT_TRUE(loop->Conectar(1, "9600", 1));
    if (c.error) {
        ASSERT_TRUE(waitFor([&] { return sinRele == 1; }, 5000));
        runFor(4 * kTimeout);
        // The error came with the fifth failed reply: nothing was sent after it.
        std::vector<int> enviados = {60, 61, 62, 63, 64, 65, 66, 4, 5, 6, 7, 8, 9, 10, 30};
        enviados.erase(std::find(enviados.begin(), enviados.end(), c.fallan.back()) + 1, enviados.end());
        EXPECT_EQ(codigos(), enviados);
        ASSERT_NO_FATAL_FAILURE(expectLinkErrorReportedOnce());
        EXPECT_EQ(abandonadas, (std::vector<std::pair<int, std::size_t>>{{c.fallan.back(), 0}}));
    } else {
        ASSERT_TRUE(waitFor([&] { return cuantos(2) >= 2; }, 5000));
        EXPECT_EQ(fallados, c.fallan);
        EXPECT_EQ(sinRele, 0);
        EXPECT_TRUE(notifier.messages.empty());
        EXPECT_TRUE(link.Comunicando);
        EXPECT_TRUE(abandonadas.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Casos, LoopFallosRepartidos,
                         ::testing::Values(FallosRepartidos{{4, 5, 6, 7, 8}, true},
                                           FallosRepartidos{{6, 7, 8, 9, 10}, true},
                                           FallosRepartidos{{4, 5, 6, 7}, false},
                                           FallosRepartidos{{4, 5, 6, 7, 9, 10, 30, 31}, false}));

TEST_F(Loop, NoisyLineAfterATimeOutEndsInTheLinkErrorWithinItsLimits)
{
    loop->setIntervals(kTimeout, 2, 50); // noise every 20 ms: the quiet spell must be longer
    constexpr int kLimite = 300;
    loop->setLimiteSilencio(kLimite);
    port.fallo = [](const std::vector<std::uint8_t>&, int n) { return n >= 20 ? Fallo::Ruido : Fallo::Ninguno; };
    conectarYEsperarOnline();
    ASSERT_TRUE(waitFor([&] { return port.requests.size() >= 20; }, 3000));
    const qint64 desde = port.requestTimes[19];
    // Five misses: the time-out, then four noise replies (at most 2 * 9 bytes of 20 ms), each after one limit.
    const int cota = 2 * kTimeout + 5 * (kLimite + 2 * 9 * 20 + kTimeout);
    ASSERT_TRUE(waitFor([&] { return !notifier.messages.empty(); }, 4 * cota));
    EXPECT_LE(port.now() - desde, 2 * cota);
    runFor(kLimite);
    ASSERT_NO_FATAL_FAILURE(expectLinkErrorReportedOnce());
    EXPECT_EQ(port.requests.size(), 24u) << "five tries of the request, none counted twice";
    EXPECT_FALSE(loop->esperandoSilencio());
}

TEST_F(Loop, FailedReplyIsFollowedByAQuietLineAndCountedOnce)
{
    loop->setIntervals(kTimeout, 2, 50);
    int errorAlEnviar = -1;
    port.fallo = [&](const std::vector<std::uint8_t>&, int n) {
        if (n == 20) { // a refused reply, then more bytes until 80 ms
            port.inject({0x01, 0x04, 0x02, 0x00}, 30);
            port.inject({0x00, 0x11, 0x22}, 80);
        }
        errorAlEnviar = n == 21 ? engine.Contador_ErrorComm() : errorAlEnviar;
        return n == 20 ? Fallo::Basura : Fallo::Ninguno;
    };
    conectarYEsperarOnline();
    ASSERT_TRUE(waitFor([&] { return port.requests.size() >= 22; }, 3000));
    EXPECT_GE(port.requestTimes[20] - port.requestTimes[19], 80 + 50); // 50 ms quiet after the last byte
    EXPECT_EQ(codigo(port.requests[20]), codigo(port.requests[19])) << "the failed request is sent again";
    EXPECT_EQ(errorAlEnviar, 1);
    EXPECT_TRUE(notifier.messages.empty() && link.Comunicando);
}

TEST_F(Loop, ClockStoreAppliesTheClockBeforeAnyBoxAndSaysSavedOnceAfterIt)
{
    conectarYEsperarOnline();
    qint64 respuesta93 = -1;
    std::vector<int> en92; // 92s sent as each box opened; the user holds every box 5 s
    notifier.whileOpen = [&] { en92.push_back(cuantos(92)); runFor(5000); };
    port.fallo = [&](const std::vector<std::uint8_t>& f, int) {
        respuesta93 = codigo(f) == 93 ? port.now() + port.replyDelayMs : respuesta93;
        return Fallo::Ninguno;
    };
    sched.Agregar_Solicitud(0, &engine, 93);
    ASSERT_TRUE(waitFor([&] { return !notifier.messages.empty(); }, 10000));
    runFor(200);
    ASSERT_EQ(cuantos(92), 1);
    const auto i92 = std::ranges::find_if(port.requests, [](const auto& f) { return codigo(f) == 92; });
    EXPECT_LE(port.requestTimes[i92 - port.requests.begin()] - respuesta93, 200);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].first, LinkLoop::kGuardado);
    EXPECT_EQ(en92, std::vector<int>{1}) << "one box, opened once 92 was sent";
}

// A clock store given up: the link error's detail says what the relay holds.
struct ClockCase {
    const char* nombre;
    int codigo; // the request that fails
    Fallo fallo;
    std::string detalle;
    int envios93, envios92;
    int pedido = 93; // the request queued
};

struct ClockStore : Loop, ::testing::WithParamInterface<ClockCase> {};

TEST_P(ClockStore, GivenUpIsToldInTheLinkErrorsDetail)
{
    const ClockCase& c = GetParam();
    port.fallo = [&](const auto& f, int) { return codigo(f) == c.codigo ? c.fallo : Fallo::Ninguno; };
    conectarYEsperarOnline();
    sched.Agregar_Solicitud(0, &engine, c.pedido);
    ASSERT_TRUE(waitFor([&] { return !notifier.messages.empty(); }, 10000));
    runFor(4 * kTimeout);
    if (c.fallo == Fallo::Tarde)  // a late reply to the write given up: the port closes at it, nothing told
        ASSERT_TRUE(waitFor([&] { return !port.portOpen(); }, 2 * port.tardeMs));
    ASSERT_NO_FATAL_FAILURE(expectLinkErrorReportedOnce());
    EXPECT_EQ(notifier.details[0], c.detalle);
    EXPECT_EQ(cuantos(93), c.envios93);
    EXPECT_EQ(cuantos(92), c.envios92);
}

constexpr int kTodos = LinkLoop::kMaxFallosSolicitud;

INSTANTIATE_TEST_SUITE_P(
    Loop, ClockStore,
    ::testing::Values(
        ClockCase{"apply refused", 92, Fallo::Excepcion, "The clock was written but not applied.", 1, kTodos},
        ClockCase{"apply silent", 92, Fallo::Silencio,
                  "The clock was written; the command to apply it got no valid answer: it may not have been applied.",
                  1, kTodos},
        ClockCase{"apply device failure", 92, Fallo::ExcepcionDispositivo,
                  "The clock was written; the relay answered the command to apply it with exception code 04 (device "
                  "failure): it may not have been applied.",
                  1, kTodos},
        ClockCase{"write silent", 93, Fallo::Silencio,
                  "The clock got no valid answer: it may have been written; it was not applied.", kTodos, 0},
        ClockCase{"write answered late", 93, Fallo::Tarde,
                  "The clock got no valid answer: it may have been written; it was not applied.", kTodos, 0},
        ClockCase{"events clear device failure", 13, Fallo::ExcepcionDispositivo,
                  "The relay answered the clear command with exception code 04 (device failure): the record may "
                  "have been cleared.", 0, 0, 13}),
    [](const auto& info) {
        std::string n = info.param.nombre;
        std::replace(n.begin(), n.end(), ' ', '_');
        return n;
    });
