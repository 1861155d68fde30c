#include "app/EnvioSetpoints.h"
#include "app/support/RelayPort.h"
#include "app/support/ScriptedUi.h"
#include "app/support/ValidSetpoints.h"
#include "link/KOVA200.h"
#include "link/Proceso_Comunicacion.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace kova;
using namespace kova::test;
using Fallo = RelayPort::Fallo;

namespace {

// Request code of a frame, by function and start register.
int codigo(const std::vector<std::uint8_t>& f)
{
    struct R { int fn, reg, code; };
    static const R t[] = {{4, 0x0000, 60}, {4, 0x0203, 2}, {16, 0x0101, 27}, {16, 0x0119, 28},
                          {16, 0x1000, 110}, {16, 0x1019, 111}, {16, 0x1032, 112}, {16, 0x104B, 113}};
    for (const auto& r : t)
        if (r.fn == RelayPort::funcion(f) && r.reg == RelayPort::registro(f))
            return r.code;
    return RelayPort::funcion(f) == 4 || RelayPort::funcion(f) == 3 ? 0 : -1;
}

// The send over a scripted relay, with the program around it faked: a file
// whose firmware text is `firmware` and whose Put image is `archivoPut` is
// read when the dialog is answered.
struct Banco {
    AppState st;
    RegisterImages images;
    KOVA200 engine{st.link, images};
    Proceso_Comunicacion sched{st.link};
    RelayPort port;
    ScriptedUi ui;
    std::unique_ptr<LinkLoop> loop;
    std::unique_ptr<EnvioSetpoints> envio;
    bool archivo = true;
    SetpointImage archivoPut = patternWithinRanges();
    std::string firmware = "1.01    ";
    bool habilitado = true;
    std::vector<bool> habilitadoEnTrama;
    std::function<Fallo(const std::vector<std::uint8_t>&, int)> fallo;

    Banco()
    {
        ensureApp();
        port.inputRegs = {{0x0000, 22}, {0x0001, 1}, {0x0002, 105}, {0x0003, 0}, {0x0203, 0x0102}};
        engine.setHostSerialControls({&port});
        loop = std::make_unique<LinkLoop>(engine, sched, st.link, port, nullptr);
        loop->setIntervals(60, 2, 10);
        Servicios_Envio svc;
        svc.abrirSetpoints = [this] {
            if (archivo) {
                images.put = archivoPut;
                st.link.Comunicando = false;
                st.link.Detener_Comunicacion = true;
            }
            return archivo;
        };
        svc.firmwareRele = [this] { return firmware; };
        svc.habilitarPrincipal = [this](bool e) { habilitado = e; };
        envio = std::make_unique<EnvioSetpoints>(st, engine, sched, *loop, svc);
        loop->setCadena_Grabacion(envio.get());
        port.fallo = [this](const std::vector<std::uint8_t>& f, int n) {
            habilitadoEnTrama.push_back(habilitado);
            return fallo ? fallo(f, n) : Fallo::Ninguno;
        };
        st.Puerto_Com = 1;
        st.Velocidad = 9600;
        st.Direccion_Rele = 1;
    }
    ~Banco() { loop->setCadena_Grabacion(nullptr); }

    // Sends with the given answers to the address box; true once the send ended.
    bool enviar(std::vector<QString> respuestas = {"1"})
    {
        ui.inputAnswers.assign(respuestas.begin(), respuestas.end());
        envio->Send_Click();
        return waitFor([&] { return !st.Grabando_Setpoints && !loop->deteniendo(); }, 5000);
    }
    std::vector<int> codigos(std::size_t desde = 0) const
    {
        std::vector<int> c;
        for (std::size_t i = desde; i < port.requests.size(); ++i)
            c.push_back(codigo(port.requests[i]));
        return c;
    }
    QStringList mensajes() const
    {
        QStringList m;
        for (const auto& b : ui.shown)
            m << b.text;
        return m;
    }
};

} // namespace

TEST(EnvioDireccion, AnswerTakenWhenItsRoundedValueIsASlaveAddress)
{
    const struct { const char* answer; std::optional<int> address; } cases[] = {
        {"1", 1}, {"247", 247}, {"12abc", 12}, {" 7 ", 7}, {"1.5", 2}, {"2.5", 2}, {"&HF7", 247},
        {"0", std::nullopt}, {"248", std::nullopt}, {"abc", std::nullopt}, {"0.4", std::nullopt},
        {"247.6", std::nullopt}, {"247.5", std::nullopt}, {"0.5", std::nullopt}, {"-3", std::nullopt},
        {"1e400", std::nullopt}};
    for (const auto& c : cases) {
        const auto got = EnvioSetpoints::Direccion_Valida(QString::fromLatin1(c.answer));
        EXPECT_EQ(got ? std::optional<int>(*got) : std::nullopt, c.address) << c.answer;
    }
}

TEST(EnvioVersion, FileFirmwareNotAboveTheRelaysAndNever102)
{
    const struct { bool firmware; const char* relay; const char* file; bool ok; } cases[] = {
        {true, "1.05", "1.01", true},          {true, "1.02", "1.01", false},
        {true, "1.05", "1.06", false},         {true, "1.05", "1.1", false},
        {false, "1.05", "1.01", false},        {true, "1.05    ", "1.01    ", true},
        {true, "1.05", "1.05", true},          {true, "  1.02  ", "1.01", false},
        {true, "1.1", "1.09", true}};
    for (const auto& c : cases)
        EXPECT_EQ(EnvioSetpoints::Version_Admitida(c.firmware, c.relay, c.file), c.ok)
            << c.firmware << " '" << c.relay << "' '" << c.file << "'";
}

TEST(Envio, RefusedAddressesAskAgainAndAnEmptyAnswerSendsNothing)
{
    const struct { std::vector<QString> answers; int refusals; std::optional<int> address; } cases[] = {
        {{"1"}, 0, 1},           {{"247"}, 0, 247},        {{"12abc"}, 0, 12},
        {{"0", "5"}, 1, 5},      {{"248", "abc", "5"}, 2, 5}, {{"0.4", "247.6", "5"}, 2, 5},
        {{""}, 0, std::nullopt}, {{"0", ""}, 1, std::nullopt}};
    for (const auto& c : cases) {
        Banco b;
        b.port.slave = static_cast<std::uint8_t>(c.address.value_or(1));
        ASSERT_TRUE(b.enviar(c.answers));
        const auto all = b.mensajes();
        EXPECT_EQ(all.count("Invalid Relay direction"), c.refusals) << all.join('|').toStdString();
        for (const auto& box : b.ui.shown) {
            EXPECT_EQ(box.buttons, MsgButtons::OKOnly);
            EXPECT_EQ(box.icon, MsgIcon::None);
            EXPECT_EQ(box.title, QString("KOVA"));
        }
        ASSERT_EQ(b.ui.inputs.size(), qsizetype(c.answers.size()));
        EXPECT_EQ(b.ui.inputs[0].prompt, QString("Relay Direction: 1"));
        EXPECT_EQ(b.ui.inputs[0].title, QString("Send To Relay"));
        EXPECT_EQ(b.ui.inputs[0].defaultText, QString("1"));
        EXPECT_TRUE(b.habilitado);
        if (!c.address) {
            EXPECT_EQ(b.port.opens, 0);
            EXPECT_TRUE(b.port.requests.empty());
            continue;
        }
        EXPECT_EQ(b.st.Direccion_Rele, *c.address);
        EXPECT_EQ(b.codigos(), (std::vector<int>{60, 27, 28, 110, 111, 112, 113}));
        EXPECT_EQ(b.port.requests[0][0], *c.address);
    }
}

TEST(Envio, CompleteSendWritesThePutImageSilentlyWithTheMainWindowDisabled)
{
    Banco b;
    ASSERT_TRUE(b.enviar());
    EXPECT_EQ(b.codigos(), (std::vector<int>{60, 27, 28, 110, 111, 112, 113}));
    std::vector<std::uint8_t> escrito;
    for (const auto& b2 : Bloques_Setpoints)
        for (int r = b2.first; r <= b2.last; ++r) {
            escrito.push_back(static_cast<std::uint8_t>(b.port.holding[static_cast<std::uint16_t>(r)] >> 8));
            escrito.push_back(static_cast<std::uint8_t>(b.port.holding[static_cast<std::uint16_t>(r)] & 0xFF));
        }
    EXPECT_EQ(escrito, std::vector<std::uint8_t>(b.images.put.begin(), b.images.put.begin() + 298));
    EXPECT_TRUE(b.ui.shown.isEmpty());
    EXPECT_EQ(b.habilitadoEnTrama, std::vector<bool>(7, false));
    EXPECT_TRUE(b.habilitado);
    EXPECT_TRUE(b.port.portOpen());
    EXPECT_TRUE(b.st.link.Detener_Comunicacion);
    EXPECT_FALSE(b.st.link.Comunicando);
    EXPECT_FALSE(b.loop->timer1Activo());
    EXPECT_TRUE(b.envio->Version_Aceptada());
}

TEST(Envio, RelayOrFileNotSuitedIsNeverWritten)
{
    const struct { int type, version; const char* file; } cases[] = {
        {22, 102, "1.01"}, {21, 105, "1.01"}, {22, 105, "1.06"}, {22, 105, "1.1     "}, {22, 200, "1.01"}};
    for (const auto& c : cases) {
        Banco b;
        b.port.inputRegs[0x0000] = static_cast<std::uint16_t>(c.type);
        b.port.inputRegs[0x0002] = static_cast<std::uint16_t>(c.version);
        b.firmware = c.file;
        ASSERT_TRUE(b.enviar());
        EXPECT_EQ(b.codigos(), std::vector<int>{60}) << c.type << " " << c.version;
        ASSERT_EQ(b.ui.shown.size(), 1);
        EXPECT_EQ(b.ui.shown[0].text, QString("Setpoints can not be saved in the relay"));
        EXPECT_EQ(b.ui.shown[0].icon, MsgIcon::Information);
        EXPECT_EQ(b.ui.shown[0].title, QString("KOVA"));
        EXPECT_TRUE(b.port.portOpen());
        EXPECT_TRUE(b.habilitado);
        EXPECT_TRUE(b.st.link.Detener_Comunicacion);
    }
}

TEST(Envio, SilentRelayRestartsFourTimesThenGivesUp)
{
    // Until the identification passed, a restart asks for it again.
    const struct { int silentFrom; std::vector<int> codes; } cases[] = {
        {1, {60, 60, 60, 60, 60}},
        {2, {60, 27, 27, 27, 27, 27}},
        {3, {60, 27, 28, 27, 27, 27, 27}},
        {7, {60, 27, 28, 110, 111, 112, 113, 27, 27, 27, 27}}};
    for (const auto& c : cases) {
        Banco b;
        b.fallo = [&](const std::vector<std::uint8_t>&, int n) { return n >= c.silentFrom ? Fallo::Silencio : Fallo::Ninguno; };
        ASSERT_TRUE(b.enviar());
        EXPECT_EQ(b.codigos(), c.codes) << c.silentFrom;
        EXPECT_EQ(b.envio->Reintentos_Grabacion(), 4);
        EXPECT_EQ(b.mensajes(), QStringList{"Error sending File to Relay"});
        EXPECT_EQ(b.ui.shown[0].icon, MsgIcon::Critical);
        EXPECT_EQ(b.ui.shown[0].title, QString("KOVA"));
        EXPECT_FALSE(b.port.portOpen());
        EXPECT_TRUE(b.habilitado);
        EXPECT_FALSE(b.loop->timer1Activo());
        EXPECT_EQ(b.habilitadoEnTrama, std::vector<bool>(c.codes.size(), false));
    }
}

TEST(Envio, FailedReplyEndsTheSendAndALaterConnectWritesNothing)
{
    for (const Fallo f : {Fallo::CrcMalo, Fallo::OtroEsclavo, Fallo::Basura}) {
        Banco b;
        b.fallo = [&](const std::vector<std::uint8_t>& frame, int) {
            return codigo(frame) == 28 ? f : Fallo::Ninguno;
        };
        ASSERT_TRUE(b.enviar());
        EXPECT_EQ(b.codigos(), (std::vector<int>{60, 27, 28}));
        EXPECT_EQ(b.mensajes(), QStringList{"Error sending File to Relay"});
        EXPECT_FALSE(b.port.portOpen());
        EXPECT_TRUE(b.habilitado);
        b.fallo = nullptr;
        ASSERT_TRUE(b.loop->Conectar(1, "9600", 1));
        ASSERT_TRUE(waitFor([&] { return b.st.link.Comunicando && b.codigos(3).size() >= 17; }, 5000));
        for (int code : b.codigos(3))
            EXPECT_TRUE(code != 27 && code != 28 && (code < 110 || code > 113)) << code;
    }
}

TEST(Envio, StartedOnlineWaitsForTheReplyInFlightBeforeTheIdentification)
{
    Banco b;
    ASSERT_TRUE(b.loop->Conectar(1, "9600", 1));
    ASSERT_TRUE(waitFor([&] { return b.st.link.Comunicando && b.codigos().size() >= 20; }, 5000));
    // A slow relay: the status reply of the loop arrives long after its
    // request; read as the identification it would refuse the relay.
    b.port.replyDelayMs = 45;
    runFor(20);
    const std::size_t antes = b.port.requests.size();
    ASSERT_TRUE(b.enviar());
    const auto c = b.codigos(antes);
    ASSERT_FALSE(c.empty());
    EXPECT_EQ(std::vector<int>(c.end() - 7, c.end()), (std::vector<int>{60, 27, 28, 110, 111, 112, 113}));
    EXPECT_LE(c.size(), 8u); // at most the loop's request in flight before them
    EXPECT_TRUE(b.ui.shown.isEmpty()) << b.mensajes().join('|').toStdString();
    EXPECT_FALSE(b.st.link.Comunicando);
}

TEST(Envio, PortThatDoesNotOpenEndsTheSend)
{
    Banco b;
    b.engine.setHostSerialControls({});
    ASSERT_TRUE(b.enviar());
    EXPECT_TRUE(b.port.requests.empty());
    EXPECT_FALSE(b.st.Grabando_Setpoints);
    EXPECT_TRUE(b.habilitado);
    EXPECT_TRUE(b.st.link.Detener_Comunicacion);
    EXPECT_TRUE(b.ui.shown.isEmpty());
}

TEST(Envio, NoisyLineEndsTheSendAndTheStopBeforeItWithinTheirLimits)
{
    // After a time-out a byte every 20 ms, never quiet: each quiet-line wait ends at its limit.
    constexpr int kLimite = 300, kTimeout = 300;
    for (const bool enLinea : {false, true}) {
        Banco b;
        b.loop->setIntervals(kTimeout, 2, 50); // a reply made of noise (8 or 9 bytes) fits in one time-out
        b.loop->setLimiteSilencio(kLimite);
        std::size_t antes = 0;
        if (enLinea) { // the stop before the send
            ASSERT_TRUE(b.loop->Conectar(1, "9600", 1));
            ASSERT_TRUE(waitFor([&] { return b.st.link.Comunicando && b.codigos().size() >= 20; }, 5000));
            antes = b.port.requests.size();
            b.fallo = [](const std::vector<std::uint8_t>&, int) { return Fallo::Ruido; };
            ASSERT_TRUE(waitFor([&] { return b.port.requests.size() > antes; }, 1000));
            antes = b.port.requests.size();
        } else { // noise at block 2, silent first: the noise starts after the time-out
            b.port.ruidoTrasMs = kTimeout + 50;
            b.fallo = [](const std::vector<std::uint8_t>&, int n) { return n >= 3 ? Fallo::Ruido : Fallo::Ninguno; };
        }
        const qint64 desde = b.port.now();
        ASSERT_TRUE(b.enviar());
        // At most two time-out ticks, one limit, one reply made of noise, slack.
        EXPECT_LE(b.port.now() - desde, 2 * (2 * kTimeout + kLimite + 9 * 20 + kTimeout) + 500);
        EXPECT_EQ(b.codigos(antes), (enLinea ? std::vector<int>{60} : std::vector<int>{60, 27, 28, 27}));
        EXPECT_EQ(b.mensajes(), QStringList{"Error sending File to Relay"});
        EXPECT_TRUE(b.habilitado);
        EXPECT_FALSE(b.loop->deteniendo() || b.loop->esperandoSilencio());
    }
}

TEST(Envio, FileWithASettingOutsideItsRangeIsNeverSent)
{
    const auto with = [](std::uint32_t reg, std::uint16_t value) {
        SetpointImage image = simSetpoints();
        putSetpointWord(image, reg, value);
        return image;
    };
    const auto address = [](std::uint8_t a) {
        SetpointImage image = simSetpoints();
        image[46] = a;
        return image;
    };
    SetpointImage ones;
    ones.fill(0xFF);
    const std::string setup = "SETPOINTS - System Setup: ";
    const std::string phase = "SETPOINTS - Phase Protections: ";
    // Refused: the first and the last line of the detail (one line when no
    // last is given); sent: none.
    const struct { SetpointImage put; std::string first, last; } cases[] = {
        {ones, setup + "Sampling Frequency: 3, range 0 to 1", "and 67 more"},
        {with(0x0102, 4), setup + "Phase CT Rating Primary: 4 A, range 5 A to 5000 A", ""},
        {with(0x0102, 5001), setup + "Phase CT Rating Primary: 5001 A, range 5 A to 5000 A", ""},
        {with(0x0105, 6901), setup + "VT Primary: 69.01 KV, range 0.10 KV to 69.00 KV", ""},
        {with(0x1004, 4), phase + "Phase Timed O/C Delay: 0.04 Sec, range 0.05 Sec to 600 Sec", ""},
        // The pattern would round these onto the bound they break.
        {with(0x1004, 60001), phase + "Phase Timed O/C Delay: 600.01 Sec, range 0.05 Sec to 600.00 Sec", ""},
        {with(0x104B, 9), "SETPOINTS - Frequency Protections: Frequency 1 Delay: 0.09 Sec, range 0.10 Sec to 600.00 Sec",
         ""},
        {with(0x1002, 13), phase + "Phase Timed O/C Curve: 13, range 0 to 12", ""},
        {with(0x0121, 10), "SETPOINTS - Digital Inputs Configuration: Input 1 Function: 10, range 0 to 9", ""},
        {with(0x0101, 0x1023), setup + "Sampling Frequency: 3, range 0 to 1", ""},
        {with(0x0101, 0x1001), setup + "Ground Sensing: 0, range 1 to 2", ""},
        {with(0x0101, 0x1061), setup + "Ground Sensing: 3, range 1 to 2", ""},
        {address(248), "COMMUNICATION CONTROL: Slave Address: 248, range 0 to 247", ""},
        {address(255), "COMMUNICATION CONTROL: Slave Address: 255, range 0 to 247", ""},
        {boundarySetpoints(false), "", ""},
        {boundarySetpoints(true), "", ""},
        {address(0), "", ""}, // the simulated relay's own table
        {address(1), "", ""},
        {address(247), "", ""},
        {simSetpoints(true), "", ""}};
    for (const auto& c : cases) {
        Banco b;
        b.archivoPut = c.put;
        ASSERT_TRUE(b.enviar()) << c.first;
        EXPECT_TRUE(b.habilitado) << c.first;
        if (c.first.empty()) {
            EXPECT_EQ(b.codigos(), (std::vector<int>{60, 27, 28, 110, 111, 112, 113}));
            EXPECT_TRUE(b.ui.shown.isEmpty()) << b.mensajes().join('|').toStdString();
            continue;
        }
        EXPECT_TRUE(b.port.requests.empty() && b.port.opens == 0 && b.ui.inputs.isEmpty()) << c.first;
        ASSERT_EQ(b.mensajes(), QStringList{"Setpoints not sent: the file holds settings outside their ranges"});
        EXPECT_EQ(b.ui.shown[0].icon, MsgIcon::Critical);
        const QStringList detail = b.ui.shown[0].detail.split('\n');
        EXPECT_EQ(detail.first().toStdString(), c.first);
        EXPECT_EQ(detail.last().toStdString(), c.last.empty() ? c.first : c.last);
        EXPECT_EQ(detail.size(), c.last.empty() ? 1 : 11);
    }
}

// A page's form that cannot be used leaves the file unchecked: nothing is sent, and the form is named, not the file.
TEST(Envio, FileIsNotSentWhileASetpointPageFormCannotBeUsed)
{
    QTemporaryDir forms;
    QFile form(forms.filePath("SETPAGE13.json"));
    ASSERT_TRUE(form.open(QIODevice::WriteOnly) && form.write("{") == 1);
    form.close();
    qputenv("KOVA_FORMS_DIR", forms.path().toUtf8());
    Banco b;
    b.archivoPut = simSetpoints();
    const bool sent = b.enviar();
    qunsetenv("KOVA_FORMS_DIR");
    ASSERT_TRUE(sent);
    EXPECT_TRUE(b.port.requests.empty() && b.port.opens == 0 && b.ui.inputs.isEmpty() && b.habilitado);
    ASSERT_EQ(b.mensajes(), QStringList{"Setpoints not sent: a setpoint page's form could not be used, so the file's "
                                        "settings could not be checked"});
    EXPECT_EQ(b.ui.shown[0].detail, forms.filePath("SETPAGE13.json") + ": (text): unterminated object at offset 1");
}
