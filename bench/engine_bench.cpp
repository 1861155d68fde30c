// Micro-benchmarks of the relay-link engine: what it spends per transaction
// apart from the line and the event loop. The port is a loopback that
// answers every read frame at once with a well-formed reply.

#include "link/BasicCRC.h"
#include "link/KOVA200.h"
#include "link/LinkState.h"
#include "link/RegisterImages.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using namespace kova;
using namespace kova::BasicCRC;

namespace {

class LoopbackPort : public ISerialPort {
public:
    void setCommPort(int n) override { port_ = n; }
    int commPort() const override { return port_; }
    void setSettings(const std::string& s) override { settings_ = s; }
    std::string settings() const override { return settings_; }
    void setPortOpen(bool o) override { open_ = o; }
    bool portOpen() const override { return open_; }
    std::vector<std::uint8_t> input() override { return std::exchange(rx_, {}); }
    void setRThreshold(int) override {}
    void setSThreshold(int) override {}
    int inBufferCount() override { return static_cast<int>(rx_.size()); }
    void setDTREnable(bool) override {}
    bool dtrEnable() const override { return true; }
    void setOnComm(CommHandler) override {}

    // The reply a relay gives to a read frame: the counted registers, each
    // holding its own register number.
    void output(const std::vector<std::uint8_t>& f) override
    {
        const int start = f[2] << 8 | f[3], count = f[5];
        rx_ = {f[0], f[1], static_cast<std::uint8_t>(2 * count)};
        for (int i = 0; i < count; ++i) {
            rx_.push_back(static_cast<std::uint8_t>((start + i) >> 8));
            rx_.push_back(static_cast<std::uint8_t>(start + i));
        }
        const std::uint16_t crc = CRC16(rx_.data(), static_cast<std::ptrdiff_t>(rx_.size()));
        rx_.push_back(static_cast<std::uint8_t>(crc >> 8));
        rx_.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    }

private:
    int port_ = 1;
    std::string settings_;
    bool open_ = true;
    std::vector<std::uint8_t> rx_;
};

struct Rig {
    LinkState link;
    RegisterImages images;
    LoopbackPort port;
    KOVA200 engine{link, images};
    Rig()
    {
        Inicializar_Tablas_CRC();
        engine.setComunicacion(&port);
        engine.setDireccion(1);
    }
    void send(int accion)
    {
        engine.setAccion(static_cast<std::int16_t>(accion));
        engine.Ejecuta();
    }
};

// One whole status poll: frame, reply check and the reply written into the
// actual-values image.
void BM_PollTransaction(benchmark::State& state)
{
    Rig rig;
    for (auto _ : state) {
        rig.send(2);
        rig.engine.Refrescar();
        benchmark::DoNotOptimize(rig.engine.Respuesta_Valida());
    }
    if (!rig.engine.Respuesta_Valida())
        state.SkipWithError("the reply did not pass");
}
BENCHMARK(BM_PollTransaction);

// The reply check and image write alone, of the largest connect read.
void BM_ReplyCheckSetpointBlock(benchmark::State& state)
{
    Rig rig;
    for (auto _ : state) {
        state.PauseTiming();
        rig.send(66);
        state.ResumeTiming();
        rig.engine.Refrescar();
    }
    if (!rig.engine.Respuesta_Valida())
        state.SkipWithError("the reply did not pass");
}
BENCHMARK(BM_ReplyCheckSetpointBlock);

// The status block decoded into the value table and the eleven flags read,
// as the status refresh does every 500 ms.
void BM_DecodeStatusBlock(benchmark::State& state)
{
    Rig rig;
    for (auto _ : state) {
        rig.engine.Devuelve_Datos(0);
        for (std::int16_t k = 1; k <= 11; ++k)
            benchmark::DoNotOptimize(rig.engine.DatosDeVariables(k));
    }
}
BENCHMARK(BM_DecodeStatusBlock);

// The metering block decoded (the largest value page block).
void BM_DecodeValueBlock(benchmark::State& state)
{
    Rig rig;
    for (auto _ : state)
        benchmark::DoNotOptimize(rig.engine.Devuelve_Datos(1));
}
BENCHMARK(BM_DecodeValueBlock);

void BM_CRC16ReadFrame(benchmark::State& state)
{
    Inicializar_Tablas_CRC();
    const std::uint8_t frame[6] = {0x01, 0x04, 0x02, 0x03, 0x00, 0x04};
    for (auto _ : state)
        benchmark::DoNotOptimize(CRC16(frame, 6));
}
BENCHMARK(BM_CRC16ReadFrame);

} // namespace

BENCHMARK_MAIN();
