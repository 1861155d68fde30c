// The detail line of a send or STORE that failed part-way: one table over
// the block counts, the refusals, the exception codes that may follow a
// write, the blocks without a valid answer and a send restarted from block 1;
// and the detail of a clock store that did not end in "saved".

#include "app/Bloques_Escritos.h"

#include <gtest/gtest.h>

#include <sstream>

using kova::Bloques_Escritos;
using kova::Envios;

namespace {

struct Caso {
    const char* nombre;
    std::vector<int> bloques;
    // What happened, in order: "s3" block 3 sent, "c3" confirmed, "r3" an
    // exception reply with code 02, "r3:4" with code 04.
    const char* sucesos;
    std::string detalle;
};

const std::string kMezcla = " The relay may now hold a mix of old and new setpoints.";
const std::string kNada = "Nothing was written to the relay.";
const std::string kBloque2SinRespuesta = "The relay confirmed block 1. Block 2 got no valid answer: it may have been "
                                         "written. Blocks 3 to 6 were not sent." + kMezcla;

const Caso kCasos[] = {
    {"one block without answer", {1}, "s1", "Block 1 got no valid answer: it may have been written."},
    {"one block refused", {6}, "s6 r6", "The relay refused block 6. " + kNada},
    {"one block not sent", {2}, "", kNada},
    {"one block confirmed", {6}, "s6 c6", "The relay confirmed block 6."},
    {"two, the second confirmed", {1, 2}, "s1 s2 c2",
     "The relay confirmed block 2. Block 1 got no valid answer: it may have been written." + kMezcla},
    {"two, the second refused", {1, 2}, "s1 c1 s2 r2",
     "The relay confirmed block 1. The relay refused block 2: it was not written." + kMezcla},
    {"two refused", {1, 2}, "s1 r1 s2 r2", "The relay refused blocks 1 and 2. " + kNada},
    {"two without answer", {3, 4}, "s3 s4",
     "Blocks 3 and 4 got no valid answer: they may have been written." + kMezcla},
    {"a list with a gap, the last refused", {1, 2, 3, 4, 6}, "s1 c1 s2 c2 s3 c3 s4 c4 s6 r6",
     "The relay confirmed blocks 1 to 4. The relay refused block 6: it was not written." + kMezcla},
    {"a gap, the first without answer", {4, 6}, "s4 s6 c6",
     "The relay confirmed block 6. Block 4 got no valid answer: it may have been written." + kMezcla},
    {"refused and not sent", {1, 2, 3}, "s1 c1 s2 r2",
     "The relay confirmed block 1. The relay refused block 2: it was not written. Block 3 was not sent." + kMezcla},
    {"two refused after one written", {1, 3, 5}, "s1 c1 s3 r3 s5 r5",
     "The relay confirmed block 1. The relay refused blocks 3 and 5: they were not written." + kMezcla},
    {"send silent at block 2, restarted", {1, 2, 3, 4, 5, 6}, "s1 c1 s2 s1 s1 s1 s1", kBloque2SinRespuesta},
    {"restart: refused, then no answer", {1, 2, 3, 4, 5, 6}, "s1 c1 s2 r2 s1 c1 s2", kBloque2SinRespuesta},
    {"restart: refused every time", {1, 2, 3, 4, 5, 6}, "s1 c1 s2 c2 s3 r3 s1 c1 s2 c2 s3 r3",
     "The relay confirmed blocks 1 and 2. The relay refused block 3: it was not written. "
     "Blocks 4 to 6 were not sent." + kMezcla},
    {"restart: confirmed once, refused after", {1, 2, 3, 4, 5, 6}, "s1 c1 s2 s1 r1", kBloque2SinRespuesta},
    {"nothing sent of six", {1, 2, 3, 4, 5, 6}, "", kNada},
    {"code 01 refuses", {6}, "s6 r6:1", "The relay refused block 6. " + kNada},
    {"code 03 refuses", {1, 2}, "s1 c1 s2 r2:3",
     "The relay confirmed block 1. The relay refused block 2: it was not written." + kMezcla},
    {"code 04 may have written", {3}, "s3 r3:4",
     "The relay answered block 3 with exception code 04 (device failure): it may have been written."},
    {"code 04 on two after one confirmed", {1, 2, 3}, "s1 c1 s2 r2:4 s3 r3:4",
     "The relay confirmed block 1. The relay answered blocks 2 and 3 with exception code 04 (device failure): "
     "they may have been written." + kMezcla},
    {"code 0B beside a refusal and a silence", {1, 2, 3}, "s1 r1:11 s2 r2:3 s3",
     "The relay refused block 2: it was not written. The relay answered block 1 with exception code 0B: it may "
     "have been written. Block 3 got no valid answer: it may have been written." + kMezcla},
    {"code 04 once, refused after", {4}, "s4 r4:4 s4 r4",
     "The relay answered block 4 with exception code 04 (device failure): it may have been written."},
};

} // namespace

TEST(Bloques_Escritos, DetalleSaysWhatTheRelayHolds)
{
    for (const Caso& c : kCasos) {
        Bloques_Escritos e(c.bloques);
        std::istringstream sucesos(c.sucesos);
        for (std::string s; sucesos >> s;) {
            const int b = std::stoi(s.substr(1));
            const auto dosPuntos = s.find(':');
            if (s[0] == 's')
                e.Enviado(b);
            else if (s[0] == 'c')
                e.Confirmado(b);
            else
                e.Rechazado(b, dosPuntos == std::string::npos ? 2 : std::stoi(s.substr(dosPuntos + 1)));
        }
        EXPECT_EQ(e.Detalle(), c.detalle) << c.nombre;
    }
}

// The clock's write (93) and apply command (92): "s" sent, "c" confirmed,
// "rN" an exception reply with code N.
TEST(Bloques_Escritos, ClockDetailSaysWhatTheRelayHolds)
{
    const struct {
        const char *escritura, *aplicar;
        std::string detalle;
    } casos[] = {
        {"", "", ""},
        {"s r3", "", "The relay refused the clock: it was not written."},
        {"s r4", "", "The relay answered the clock with exception code 04 (device failure): it may have been "
                     "written; it was not applied."},
        {"s s r1", "", "The clock got no valid answer: it may have been written; it was not applied."},
        {"s c", "s r2 s r2", "The clock was written but not applied."},
        {"s c", "s r6", "The clock was written; the relay answered the command to apply it with exception code 06 "
                        "(device busy): it may not have been applied."},
        {"s c", "s", "The clock was written; the command to apply it got no valid answer: it may not have been "
                     "applied."},
        {"s c", "s c", ""},
    };
    for (const auto& c : casos) {
        Envios e[2];
        for (int k = 0; k < 2; ++k) {
            std::istringstream sucesos(k == 0 ? c.escritura : c.aplicar);
            for (std::string s; sucesos >> s;) {
                if (s == "s")
                    e[k].Enviado();
                else if (s == "c")
                    e[k].Confirmado();
                else
                    e[k].Excepcion(std::stoi(s.substr(1)));
            }
        }
        EXPECT_EQ(kova::Detalle_Reloj(e[0], e[1]), c.detalle) << c.escritura << " / " << c.aplicar;
    }
}
