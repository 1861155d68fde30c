#include "link/BasicCRC.h"
#include "link/support/Bytes.h"
#include "link/support/EngineFixture.h"

#include <gtest/gtest.h>

#include <random>

using namespace kova;
using namespace kova::test;

namespace {

std::vector<std::uint8_t> conCRC(std::vector<std::uint8_t> f)
{
    const std::uint16_t c = BasicCRC::CRC16(f.data(), static_cast<std::ptrdiff_t>(f.size()));
    f.push_back(static_cast<std::uint8_t>(c >> 8));
    f.push_back(static_cast<std::uint8_t>(c & 0xFF));
    return f;
}

std::vector<std::uint8_t> seq(int from, int n)
{
    std::vector<std::uint8_t> v;
    for (int i = 0; i < n; ++i)
        v.push_back(static_cast<std::uint8_t>(from + i));
    return v;
}

std::vector<std::uint8_t> range(const std::array<std::uint8_t, 301>& img, int from, int to)
{
    return std::vector<std::uint8_t>(img.begin() + from, img.begin() + to + 1);
}

} // namespace

using Replies = EngineFixture;

TEST_F(Replies, StatusReplyLandsInTheActualValuesImage)
{
    link.Esperando_Respuesta = true;
    reply(2, bytes("01 04 08 12 34 56 78 9A BC DE F0 CB FF"));
    EXPECT_EQ(hex(std::vector<std::uint8_t>(images.actual.begin() + 6, images.actual.begin() + 14)),
              "12 34 56 78 9A BC DE F0");
    EXPECT_EQ(images.actual[5], 0);
    EXPECT_EQ(images.actual[14], 0);
    EXPECT_TRUE(engine.Respuesta_Valida());
    EXPECT_FALSE(link.Esperando_Respuesta);
    EXPECT_EQ(finalizadas, std::vector<bool>{true});
}

TEST_F(Replies, SwappedCheckBytesFailAndKeepTheCount)
{
    // The missed-reply count survives a failed reply: only a passed one
    // clears it (a failed reply is itself counted by the link loop).
    engine.AumentarErrorComm();
    engine.AumentarErrorComm();
    link.Esperando_Respuesta = true;
    const auto before = images.actual;
    reply(2, bytes("01 04 08 12 34 56 78 9A BC DE F0 FF CB"));
    EXPECT_EQ(images.actual, before);
    EXPECT_EQ(finalizadas, std::vector<bool>{false});
    EXPECT_TRUE(link.Esperando_Respuesta);
    EXPECT_EQ(engine.Contador_ErrorComm(), 2);
}

TEST_F(Replies, EnergyReadFillsItsOverlapIntoTheNextBlock)
{
    auto r = bytes("01 04 1C");
    const auto data = seq(0, 28);
    r.insert(r.end(), data.begin(), data.end());
    r = conCRC(r);
    EXPECT_EQ(hex({r.end() - 2, r.end()}), "48 92");
    reply(10, r);
    EXPECT_EQ(std::vector<std::uint8_t>(images.actual.begin() + 144, images.actual.begin() + 172), data);
    EXPECT_EQ(images.actual[172], 0);
    EXPECT_EQ(finalizadas, std::vector<bool>{true});
}

TEST_F(Replies, IdentificationRule)
{
    struct Case { const char* reply; bool ok; const char* version; };
    const Case cases[] = {
        {"01 04 08 00 16 00 01 00 65 00 00 7E 13", true, "1.01    "},
        {"01 04 08 00 16 00 01 00 6E 00 00 0F D1", true, "1.1     "},
        {"01 04 08 00 16 00 01 00 C7 00 00 DF F1", true, "1.99    "},
        {"01 04 08 00 16 00 01 00 C8 00 00 EF F2", false, "7.77    "},
        {"01 04 08 00 16 00 01 00 64 00 00 2F D3", false, "7.77    "},
        {"01 04 08 00 16 00 02 00 96 00 00 CA 20", false, "7.77    "},
        {"01 04 08 00 15 00 01 00 96 00 00 BD 20", false, "7.77    "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        engine.setVersion("7.77");
        engine.setFirmware(!c.ok);
        link.Detener_Comunicacion = false;
        finalizadas.clear();
        reply(60, bytes(c.reply));
        EXPECT_EQ(engine.Firmware(), c.ok);
        EXPECT_EQ(engine.Version(), c.version);
        EXPECT_EQ(finalizadas, std::vector<bool>{c.ok});
        EXPECT_EQ(link.Detener_Comunicacion, !c.ok);
    }
}

TEST_F(Replies, VersionUsesAPointWhateverTheLocale)
{
    std::locale old = std::locale::global(std::locale::classic());
    try {
        std::locale::global(std::locale("de_DE.UTF-8"));
    } catch (const std::exception&) {
    }
    reply(60, bytes("01 04 08 00 16 00 01 00 65 00 00 7E 13"));
    std::locale::global(old);
    EXPECT_EQ(engine.Version(), "1.01    ");
}

TEST_F(Replies, BlockReadPairsBothImages)
{
    auto r = bytes("01 03 30");
    const auto data = seq(0xA0, 48);
    r.insert(r.end(), data.begin(), data.end());
    r = conCRC(r);
    EXPECT_EQ(hex({r.end() - 2, r.end()}), "EF 4E");
    images.get[48] = 0x77;
    reply(61, r);
    EXPECT_EQ(range(images.get, 0, 47), data);
    EXPECT_EQ(range(images.put, 0, 47), data);
    EXPECT_EQ(images.get[48], 0x77);
    EXPECT_EQ(finalizadas, std::vector<bool>{true});
}

TEST_F(Replies, FailedBlockReadChangesNeitherImage)
{
    // Replaces the Put-to-Get copy on failure: Get holds only relay data.
    images.put.fill(0x11);
    images.get.fill(0x22);
    auto r = bytes("01 03 30");
    const auto data = seq(0xA0, 48);
    r.insert(r.end(), data.begin(), data.end());
    r = conCRC(r);
    r.back() ^= 1;
    const auto put = images.put, get = images.get;
    reply(61, r);
    EXPECT_EQ(images.put, put);
    EXPECT_EQ(images.get, get);
    EXPECT_EQ(finalizadas, std::vector<bool>{false});
}

TEST_F(Replies, BlockWriteReplyConfirmsThePutBlock)
{
    for (std::size_t i = 0; i < 301; ++i)
        images.put[i] = static_cast<std::uint8_t>(i);
    images.get.fill(0xEE);
    reply(112, bytes("01 10 10 32 00 19 A4 CC"));
    EXPECT_EQ(range(images.get, 196, 245), range(images.put, 196, 245));
    EXPECT_EQ(images.get[195], 0xEE);
    EXPECT_EQ(images.get[246], 0xEE);
    EXPECT_EQ(finalizadas.back(), true);

    reply(27, bytes("01 10 01 01 00 18 90 3F"));
    EXPECT_EQ(finalizadas.back(), true);
    EXPECT_EQ(range(images.get, 0, 47), range(images.put, 0, 47));
    reply(113, bytes("01 10 10 4B 00 1A 35 14"));
    EXPECT_EQ(finalizadas.back(), true);
    EXPECT_EQ(range(images.get, 246, 297), range(images.put, 246, 297));
    EXPECT_EQ(images.get[298], 0xEE);
}

TEST_F(Replies, FailedBlockWriteKeepsTheEditsAndTheRelayView)
{
    // A failed write reply changes neither image: the edits stay for the
    // retry and Get keeps what the relay confirmed.
    images.put.fill(0x11);
    images.get.fill(0x22);
    const auto put = images.put, get = images.get;
    reply(112, bytes("01 10 10 32 00 19 A4 CD"));
    EXPECT_EQ(images.put, put);
    EXPECT_EQ(images.get, get);
    EXPECT_EQ(finalizadas, std::vector<bool>{false});
}

TEST_F(Replies, OnlyTheRequestsSlaveAndFunctionPass)
{
    // Another slave's reply and an exception reply are failures.
    const auto before = images.actual;
    reply(2, conCRC(bytes("02 04 08 12 34 56 78 9A BC DE F0")));
    reply(2, conCRC(bytes("01 03 08 12 34 56 78 9A BC DE F0")));
    reply(2, conCRC(bytes("01 84 02")));
    reply(61, conCRC(bytes("01 83 02")));
    reply(11, conCRC(bytes("01 85 01")));
    EXPECT_EQ(images.actual, before);
    EXPECT_EQ(finalizadas, (std::vector<bool>{false, false, false, false, false}));
    engine.setDireccion(7);
    reply(11, conCRC(bytes("07 05 00 01 FF 00")));
    EXPECT_EQ(finalizadas.back(), true);
}

TEST_F(Replies, FiveFailuresInARowRaiseTheLinkError)
{
    const auto pass = bytes("01 04 08 12 34 56 78 9A BC DE F0 CB FF");
    const auto fail = bytes("01 04 08 12 34 56 78 9A BC DE F0 FF CB");
    for (int i = 0; i < 4; ++i) engine.AumentarErrorComm();
    reply(2, pass);
    for (int i = 0; i < 4; ++i) engine.AumentarErrorComm();
    EXPECT_EQ(errorCommEvents, 0);
    EXPECT_FALSE(engine.ErrorComm());
    engine.AumentarErrorComm();
    EXPECT_EQ(errorCommEvents, 1);
    EXPECT_TRUE(engine.ErrorComm());
    EXPECT_EQ(engine.Contador_ErrorComm(), 0);

    // A failed reply does not clear the count (it is counted by the loop).
    for (int i = 0; i < 4; ++i) engine.AumentarErrorComm();
    reply(2, fail);
    EXPECT_TRUE(engine.ErrorComm());
    engine.AumentarErrorComm();
    EXPECT_EQ(errorCommEvents, 2);

    for (int i = 0; i < 10; ++i) engine.AumentarErrorComm();
    EXPECT_EQ(errorCommEvents, 4);
    EXPECT_FALSE(engine.AumentarErrorComm());
    reply(2, pass);
    EXPECT_FALSE(engine.ErrorComm());
    EXPECT_EQ(engine.Contador_ErrorComm(), 0);
}

TEST_F(Replies, ShortRepliesAndClosedPortFailSafely)
{
    images.actual.fill(0x33);
    const auto before = images.actual;
    for (const char* r : {"", "01", "FF FF", "01 7E 80", "01 04 08 12 34 CC"}) {
        SCOPED_TRACE(r);
        finalizadas.clear();
        EXPECT_NO_THROW(reply(2, bytes(r)));
        EXPECT_EQ(finalizadas, std::vector<bool>{false});
    }
    engine.setVersion("9.99");
    reply(60, bytes("01 04 06 00 16 00 01 00 65 B8 BB")); // CRC passes, 11 bytes
    EXPECT_EQ(finalizadas.back(), false);
    EXPECT_EQ(engine.Version(), "9.99    ");
    EXPECT_FALSE(link.Detener_Comunicacion);

    run(2);
    port.rx = bytes("01 04 08 12 34 56 78 9A BC DE F0 CB FF");
    port.open = false;
    EXPECT_NO_THROW(engine.Refrescar());
    EXPECT_EQ(finalizadas.back(), false);
    EXPECT_EQ(images.actual, before);

    engine.setComunicacion(nullptr);
    EXPECT_NO_THROW(engine.Refrescar());
    EXPECT_EQ(finalizadas.back(), false);
}

TEST_F(Replies, WritesAndCommandsReportDone)
{
    reply(35, bytes("01 10 06 10 00 01 00 84"));
    EXPECT_EQ(finalizadas.back(), true);
    reply(11, bytes("01 05 00 01 FF 00 DD FA"));
    EXPECT_EQ(finalizadas.back(), true);
    reply(93, conCRC(bytes("01 10 00 90 00 03")));
    EXPECT_EQ(finalizadas.back(), true);
    reply(93, bytes("01 10 00 90 00 03 00 00"));
    EXPECT_EQ(finalizadas.back(), false);
    reply(92, bytes("01 05 00 05 FF 00 9C 3B")); // after a failed 93
    EXPECT_EQ(finalizadas.back(), true);
}

TEST_F(Replies, EventNumberReplyOnlyStoresItsData)
{
    reply(30, bytes("01 04 08 00 19 00 00 00 00 00 00 AC CC"));
    EXPECT_EQ(images.actual[266], 0x00);
    EXPECT_EQ(images.actual[267], 0x19);
    EXPECT_EQ(finalizadas.back(), true);
}

// --- Block writes --------------------------------------------------------

TEST_F(Replies, BlockWriteFramesFromAZeroPutImage)
{
    struct Case { int code; const char* head; int length; const char* crc; };
    const Case cases[] = {
        {27, "01 10 01 01 00 18 30", 57, "37 A1"},  {28, "01 10 01 19 00 18 30", 57, "85 75"},
        {110, "01 10 10 00 00 19 32", 59, "44 A1"}, {111, "01 10 10 19 00 19 32", 59, "94 F4"},
        {112, "01 10 10 32 00 19 32", 59, "E4 0A"}, {113, "01 10 10 4B 00 1A 34", 61, "73 1B"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        port.clearLog();
        run(c.code);
        const auto& f = port.lastOutput();
        ASSERT_EQ(static_cast<int>(f.size()), c.length);
        EXPECT_EQ(hex({f.begin(), f.begin() + 7}), c.head);
        EXPECT_EQ(std::vector<std::uint8_t>(f.begin() + 7, f.end() - 2),
                  std::vector<std::uint8_t>(static_cast<std::size_t>(c.length - 9), 0));
        EXPECT_EQ(hex({f.end() - 2, f.end()}), c.crc);
        EXPECT_EQ(port.rThreshold, 8);
        EXPECT_EQ(port.sThreshold, c.length);
    }
}

TEST_F(Replies, BlockWriteCarriesThePutBytes)
{
    for (std::size_t i = 0; i < 301; ++i)
        images.put[i] = static_cast<std::uint8_t>(i & 0xFF);
    run(27);
    auto want = bytes("01 10 01 01 00 18 30");
    auto d = seq(0, 48);
    want.insert(want.end(), d.begin(), d.end());
    want.push_back(0x72);
    want.push_back(0x93);
    EXPECT_EQ(hex(port.lastOutput()), hex(want));

    run(113);
    want = bytes("01 10 10 4B 00 1A 34");
    d = range(images.put, 246, 297);
    want.insert(want.end(), d.begin(), d.end());
    want.push_back(0xB2);
    want.push_back(0x68);
    EXPECT_EQ(hex(port.lastOutput()), hex(want));
    EXPECT_EQ(port.lastOutput()[7], 0xF6);
    EXPECT_EQ(port.lastOutput()[16], 0xFF);
    EXPECT_EQ(port.lastOutput()[17], 0x00);
    EXPECT_EQ(port.lastOutput()[58], 0x29);
}

TEST_F(Replies, BlockCopiesTouchExactlyTheirBlock)
{
    images.get.fill(0xAA);
    images.put.fill(0x55);
    engine.Get_To_Put(3);
    for (int i = 0; i < 301; ++i)
        ASSERT_EQ(images.put[static_cast<std::size_t>(i)], (i >= 96 && i <= 145) ? 0xAA : 0x55) << i;
    const auto put = images.put;
    engine.Get_To_Put(0);
    engine.Get_To_Put(7);
    engine.Get_To_Put(-1);
    EXPECT_EQ(images.put, put);

    images.put.fill(0x55);
    reply(113, bytes("01 10 10 4B 00 1A 35 14")); // Put_To_Get of block 6
    for (int i = 0; i < 301; ++i)
        ASSERT_EQ(images.get[static_cast<std::size_t>(i)], (i >= 246 && i <= 297) ? 0x55 : 0xAA) << i;
}

TEST_F(Replies, CopyUsesThePutImageAtReplyTime)
{
    run(112);
    images.put[200] = 0x42;
    port.rx = bytes("01 10 10 32 00 19 A4 CC");
    engine.Refrescar();
    EXPECT_EQ(images.get[200], 0x42);
}

TEST_F(Replies, AddressOutsideAByteSendsNoBlock)
{
    engine.setDireccion(300);
    for (int code : {27, 28, 110, 111, 112, 113}) {
        port.clearLog();
        finalizados.clear();
        EXPECT_NO_THROW(run(code));
        EXPECT_TRUE(port.outputs.empty());
        EXPECT_EQ(finalizados.size(), 1u);
    }
}

// --- Fuzz ------------------------------------------------------------------

TEST_F(Replies, FuzzFailedRepliesNeverChangeAnImage)
{
    std::mt19937 rng(20261207);
    const int codes[] = {2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 19, 27, 28, 30, 35, 60, 61, 62, 63, 64, 65, 66,
                         90, 91, 92, 93, 110, 111, 112, 113, 0, 3, 55};
    auto byte = [&] { return static_cast<std::uint8_t>(rng() & 0xFF); };
    std::vector<std::uint8_t> valid;
    int passed = 0, failed = 0;
    for (int iter = 0; iter < 100000; ++iter) {
        const int code = codes[rng() % std::size(codes)];
        engine.setAccion(static_cast<std::int16_t>(code));
        engine.Ejecuta();
        // A well-formed reply for the request, then mutated.
        const auto& req = engine.Trama_Modbus();
        valid.clear();
        if (code == 60 || (req.size() == 8 && (req[1] == 3 || req[1] == 4))) {
            const int n = req.size() == 8 ? req[5] * 2 : 8;
            valid = {1, req.size() > 1 ? req[1] : std::uint8_t{4}, static_cast<std::uint8_t>(n)};
            for (int i = 0; i < n; ++i) valid.push_back(byte());
            if (code == 60 && rng() % 2) { valid[3] = 0; valid[4] = 22; valid[5] = 0; valid[6] = 1; valid[7] = 0; valid[8] = 150; }
        } else {
            valid.assign(req.begin(), req.begin() + std::min<std::size_t>(6, req.size()));
        }
        valid = conCRC(valid);
        switch (rng() % 6) {
        case 0: break; // as is
        case 1: valid[rng() % valid.size()] ^= static_cast<std::uint8_t>(1u << (rng() % 8)); break;
        case 2: valid.resize(rng() % valid.size()); break;
        case 3: { valid.resize(rng() % 70); for (auto& b : valid) b = byte(); break; }
        case 4: { valid.resize(valid.size() > 2 ? rng() % (valid.size() - 2) : 0); valid = conCRC(valid); break; }
        case 5: { valid[0] = byte(); valid[1] = byte(); valid.resize(valid.size() - 2); valid = conCRC(valid); break; }
        }
        const auto put = images.put, get = images.get;
        const auto actual = images.actual;
        port.rx = valid;
        port.clearLog();
        engine.Refrescar();
        if (!engine.Respuesta_Valida()) {
            ++failed;
            ASSERT_EQ(images.put, put) << "code " << code << ": " << hex(valid);
            ASSERT_EQ(images.get, get) << "code " << code << ": " << hex(valid);
            ASSERT_EQ(images.actual, actual) << "code " << code << ": " << hex(valid);
            ASSERT_FALSE(finalizadas.back());
        } else {
            ++passed;
        }
        finalizadas.clear();
        finalizados.clear();
    }
    EXPECT_GT(passed, 10000);
    EXPECT_GT(failed, 50000);
}
