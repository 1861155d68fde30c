// The engine's event requests, the event re-read chain after replies to 30
// and 90, and the relay clock's write, read and apply.

#include "link/BasicCRC.h"
#include "link/Proceso_Comunicacion.h"
#include "link/support/Bytes.h"
#include "link/support/EngineFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kova {
namespace {

using test::bytes;
using test::hex;

std::vector<std::uint8_t> withCrc(std::vector<std::uint8_t> b)
{
    const auto crc = BasicCRC::CRC16(b.data(), static_cast<std::ptrdiff_t>(b.size()));
    b.push_back(static_cast<std::uint8_t>(crc >> 8));
    b.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    return b;
}

struct Chain : test::EngineFixture {
    Proceso_Comunicacion scheduler{link};

    void SetUp() override
    {
        EngineFixture::SetUp();
        engine.setScheduler(&scheduler);
    }

    // Commands pending in queue 0, in slot order.
    std::vector<int> queued()
    {
        std::vector<int> out;
        for (int s = 0; s < Proceso_Comunicacion::kSlots; ++s)
            if (scheduler.Estado_Solicitud(0, s) == Proceso_Comunicacion::kPendiente)
                out.push_back(scheduler.Comando_Solicitud(0, s));
        return out;
    }
    void clearQueues() { scheduler.Inicializar_Colas(); }

    void setNewest(int n)
    {
        images.actual[266] = static_cast<std::uint8_t>(n >> 8);
        images.actual[267] = static_cast<std::uint8_t>(n & 0xFF);
    }
    // Reply to 30 with newest number n.
    std::vector<std::uint8_t> reply30(int n)
    {
        return withCrc({0x01, 0x04, 0x08, static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n & 0xFF), 0,
                        0, 0, 0, 0, 0});
    }
    // Reply to 90: the record of event k with the stamp 1905 1D89 1446.
    std::vector<std::uint8_t> reply90(int k)
    {
        std::vector<std::uint8_t> b{0x01, 0x04, 44, static_cast<std::uint8_t>(k >> 8),
                                    static_cast<std::uint8_t>(k & 0xFF), 0x19, 0x05, 0x1D, 0x89, 0x14, 0x46};
        b.resize(3 + 44, 0);
        return withCrc(b);
    }
    std::string text(int p)
    {
        const NumOrText v = engine.DatosDeVariables(static_cast<std::int16_t>(p));
        const auto* s = v.getIf<std::string>();
        return s ? *s : std::string();
    }
    static std::vector<int> pairs(int m)
    {
        std::vector<int> out;
        for (int i = 1; i <= m; ++i) {
            out.push_back(31 + i);
            out.push_back(90);
        }
        return out;
    }
};

TEST_F(Chain, EventSelectionFrames)
{
    const struct {
        int newest, accion;
        const char* frame;
    } cases[] = {
        {25, 31, "01 10 06 10 00 01 02 00 19 03 0A"},  {25, 50, "01 10 06 10 00 01 02 00 06 42 C2"},
        {5, 36, "01 10 06 10 00 01 02 00 01 03 00"},   {57, 31, "01 10 06 10 00 01 02 00 39 02 D2"},
        {57, 50, "01 10 06 10 00 01 02 00 26 43 1A"},  {3, 35, "01 10 06 10 00 01 02 00 01 03 00"},
        {0, 31, "01 10 06 10 00 01 02 00 01 03 00"},   {40000, 31, "01 10 06 10 00 01 02 9C 40 AA 30"},
        {0x0102, 31, "01 10 06 10 00 01 02 01 02 42 91"}, {4, 31, "01 10 06 10 00 01 02 00 04 C3 03"},
    };
    for (const auto& c : cases) {
        setNewest(c.newest);
        run(c.accion);
        EXPECT_EQ(hex(port.lastOutput()), c.frame) << c.newest << " " << c.accion;
        EXPECT_EQ(port.rThreshold, 8);
        EXPECT_EQ(port.sThreshold, 11);
    }
    // Newest 5, position 6: rows 5..19 are marked as having no event.
    for (int p = 84; p <= 103; ++p)
        engine.relay().values.set(p, "old");
    setNewest(5);
    run(36);
    EXPECT_EQ(text(88), "old");
    EXPECT_EQ(text(89), " No Trip ");
    EXPECT_EQ(text(103), " No Trip ");
}

TEST_F(Chain, ReplyTo30StartsTheChainOnPassAndFailure)
{
    reply(30, reply30(25));
    EXPECT_EQ(queued(), (std::vector<int>{31, 90}));
    EXPECT_TRUE(engine.Eventos_Por_Revisar());
    EXPECT_EQ(images.actual[266], 0x00);
    EXPECT_EQ(images.actual[267], 0x19);
    EXPECT_EQ(finalizadas.back(), true);

    clearQueues();
    auto bad = bytes("01 04 08 00 20 00 00 00 00 00 00 AC CC");
    reply(30, bad);
    EXPECT_EQ(queued(), (std::vector<int>{31, 90}));
    EXPECT_TRUE(engine.Eventos_Por_Revisar());
    EXPECT_EQ(images.actual[267], 0x19); // a failed reply copies nothing
    EXPECT_EQ(finalizadas.back(), false);
    EXPECT_EQ(hex(reply30(25)), "01 04 08 00 19 00 00 00 00 00 00 AC CC");
}

TEST_F(Chain, FirstRecordReplyQueuesTheOtherEvents)
{
    const struct {
        int newest;
        int k;
        const char* row0Before; // "" leaves row 0 empty
        bool fullTable;         // rows 1..19 hold texts before
        std::vector<int> expected;
    } cases[] = {
        {25, 25, "", false, pairs(19)},
        {5, 5, "", false, pairs(4)},
        {1, 1, "", false, {}},
        {0, 0, "3,x", false, pairs(1)},
        {25, 25, "25,x", true, {}},      // nothing new, nothing missing
        {25, 25, "25,x", false, pairs(19)}, // same number, but rows missing
        {26, 26, "25,x", true, pairs(19)},  // a new event
    };
    for (const auto& c : cases) {
        RegisterImages fresh;
        images = fresh;
        engine.relay().values = DecodedValues();
        if (*c.row0Before)
            engine.relay().values.set(84, c.row0Before);
        if (c.fullTable)
            for (int p = 85; p <= 103; ++p)
                engine.relay().values.set(p, "x,y");
        reply(30, reply30(c.newest));
        clearQueues();
        reply(90, reply90(c.k));
        EXPECT_EQ(queued(), c.expected) << c.newest << " " << c.row0Before;
        EXPECT_FALSE(engine.Eventos_Por_Revisar());
        EXPECT_EQ(engine.Ultimo_Numero_Evento(), c.newest);

        // Later record replies of the chain only decode.
        clearQueues();
        reply(90, reply90(c.k));
        EXPECT_TRUE(queued().empty());
    }
}

TEST_F(Chain, RecordDecodedAlsoFromAFailedReply)
{
    reply(30, reply30(3));
    clearQueues();
    auto bad = reply90(3);
    bad.back() ^= 0xFF;
    // The image still holds zeros: record k = 0 of newest 3 lands in row 3.
    reply(90, bad);
    EXPECT_EQ(text(87).substr(0, 2), "0,");
    // Row 0 holds no numbered event yet: the chain stays armed.
    EXPECT_TRUE(engine.Eventos_Por_Revisar());
    EXPECT_TRUE(queued().empty());
    reply(90, reply90(3));
    EXPECT_EQ(text(84).substr(0, 2), "3,");
    EXPECT_FALSE(engine.Eventos_Por_Revisar());
    EXPECT_EQ(queued(), pairs(2));
}

TEST_F(Chain, RowsAfterEventsAreCleared)
{
    // 25 events read, then the relay's events cleared: one event remains.
    for (int k = 25; k >= 6; --k) {
        reply(30, reply30(25));
        reply(90, reply90(k));
    }
    EXPECT_EQ(text(103).substr(0, 3), "6, ");
    std::vector<std::uint8_t> cleared{0x01, 0x04, 44, 0x00, 0x01, 0x00, 0x85, 0x1D, 0x89, 0x14, 0x46};
    cleared.resize(47, 0);
    reply(30, reply30(1));
    reply(90, withCrc(cleared));
    EXPECT_EQ(text(84), "1, Events Clear ,12/07/2005 09:05:07");
    for (int p = 85; p <= 103; ++p)
        EXPECT_EQ(text(p), " No Trip ") << p;
}

TEST_F(Chain, ClockWriteApplyAndRead)
{
    ASSERT_TRUE(engine.Date_Time(12, 7, 2005, 9, 5, 7));
    run(93);
    EXPECT_EQ(hex(port.lastOutput()), "01 10 00 90 00 03 06 00 05 1D 89 14 46 75 89");
    EXPECT_EQ(port.rThreshold, 8);
    EXPECT_EQ(port.sThreshold, 15);
    run(93);
    EXPECT_EQ(hex(port.lastOutput()), "01 10 00 90 00 03 06 00 05 1D 89 14 46 75 89");
    EXPECT_FALSE(engine.Date_Time(30, 2, 2005, 9, 5, 7));
    run(93);
    EXPECT_EQ(hex(port.lastOutput()), "01 10 00 90 00 03 06 00 05 1D 89 14 46 75 89");
    ASSERT_TRUE(engine.Date_Time(31, 12, 2099, 23, 59, 59));
    run(93);
    EXPECT_EQ(hex(port.lastOutput()), "01 10 00 90 00 03 06 00 63 33 F7 EE 4E 57 D7");

    // A failed write queues nothing; a passed one queues the apply command.
    // The port is opened again first: an echo could otherwise be the late
    // reply to one of the unanswered writes above (other clock values).
    run(1);
    clearQueues();
    reply(93, bytes("01 10 00 90 00 03 00 00"));
    EXPECT_TRUE(queued().empty());
    EXPECT_FALSE(finalizadas.back());
    reply(93, withCrc(bytes("01 10 00 90 00 03")));
    EXPECT_EQ(queued(), (std::vector<int>{92}));
    EXPECT_TRUE(finalizadas.back());

    // A passed apply reports success even after a failed write.
    reply(93, bytes("01 10 00 90 00 03 00 00"));
    reply(92, bytes("01 05 00 05 FF 00 9C 3B"));
    EXPECT_EQ(hex(port.lastOutput()), "01 05 00 05 FF 00 9C 3B");
    EXPECT_TRUE(finalizadas.back());

    // Read back.
    run(91);
    EXPECT_EQ(hex(port.lastOutput()), "01 04 02 00 00 03 B1 B3");
    EXPECT_EQ(port.rThreshold, 11);
    reply(91, withCrc(bytes("01 04 06 00 05 1D 89 14 46")));
    engine.Devuelve_Datos(8);
    EXPECT_EQ(text(40), "12/07/2005 09:05:07");
}

TEST_F(Chain, Commands)
{
    const struct {
        int direccion, comando;
        const char* frame;
    } cases[] = {
        {1, 1, "01 05 00 01 FF 00 DD FA"},   {1, 8, "01 05 00 08 FF 00 0D F8"},  {1, 9, "01 05 00 09 FF 00 5C 38"},
        {1, 6, "01 05 00 06 FF 00 6C 3B"},   {1, 300, "01 05 01 2C FF 00 4C 0F"}, {247, 1, "F7 05 00 01 FF 00 C9 6C"},
    };
    for (const auto& c : cases) {
        engine.setDireccion(static_cast<std::int16_t>(c.direccion));
        run(93); // a longer frame before must not lengthen the command
        engine.Ejecuta_Comando(static_cast<std::int16_t>(c.comando));
        EXPECT_EQ(hex(port.lastOutput()), c.frame);
        EXPECT_EQ(port.rThreshold, 8);
        EXPECT_EQ(port.sThreshold, 8);
    }
}

} // namespace
} // namespace kova
