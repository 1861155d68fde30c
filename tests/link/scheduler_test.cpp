#include "link/Proceso_Comunicacion.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace kova;

namespace {

class FakeRequester : public IRequester {
public:
    std::int16_t accion = 0;
    std::vector<int> ejecutados;
    int errores = 0;
    void setAccion(std::int16_t c) override { accion = c; }
    void Ejecuta() override { ejecutados.push_back(accion); }
    void Refrescar() override {}
    bool AumentarErrorComm() override { ++errores; return false; }
};

struct Scheduler : ::testing::Test {
    LinkState link;
    Proceso_Comunicacion p{link};
    FakeRequester r;

    void SetUp() override
    {
        p.setEngine(&r);
        p.setLargo_Cola_Ciclica(1);
        p.Inicializar_Colas();
    }
    std::pair<int, int> actual() const { return {p.Cola_Actual(), p.Posicion_Actual()}; }
    // Dispatches once and marks the dispatched slot with the given state.
    int despachar(int marca = Proceso_Comunicacion::kTerminada)
    {
        const auto n = r.ejecutados.size();
        p.Despachar_Solicitud();
        if (r.ejecutados.size() == n)
            return -1;
        p.setEstado_Actual(marca);
        return r.ejecutados.back();
    }
    void conectar()
    {
        p.Agregar_Solicitud(0, &r, 60);
        for (int c = 61; c <= 66; ++c) p.Agregar_Solicitud(0, &r, static_cast<std::int16_t>(c));
        p.Agregar_Solicitud(3, &r, 2);
        for (int c = 4; c <= 10; ++c) p.Agregar_Solicitud(0, &r, static_cast<std::int16_t>(c));
        p.Agregar_Solicitud(0, &r, 30);
    }
};

} // namespace

TEST_F(Scheduler, ResetGivesCapacitiesAndFreeSlots)
{
    p.Agregar_Solicitud(0, &r, 12);
    p.Despachar_Solicitud(); // (0,0) running
    ASSERT_EQ(p.Estado_Actual(), Proceso_Comunicacion::kEjecutando);
    p.Inicializar_Colas();
    EXPECT_EQ(p.Capacidad_Cola(0), 499);
    EXPECT_EQ(p.Capacidad_Cola(1), 499);
    EXPECT_EQ(p.Capacidad_Cola(2), 499);
    EXPECT_EQ(p.Capacidad_Cola(3), 0);
    for (int q = 0; q < 4; ++q) {
        EXPECT_EQ(p.Siguiente_Cola(q), 0);
        EXPECT_EQ(p.Contador_Cola(q), 0);
        for (int s = 0; s < 500; ++s)
            ASSERT_EQ(p.Estado_Solicitud(q, s), Proceso_Comunicacion::kLibre);
    }
    p.Agregar_Solicitud(0, &r, 13);
    p.Despachar_Solicitud(); // no longer blocked
    EXPECT_EQ(r.ejecutados.back(), 13);
}

TEST_F(Scheduler, ConnectSequenceThenCyclicRead)
{
    conectar();
    std::vector<int> seq;
    std::vector<std::pair<int, int>> slots;
    for (int i = 0; i < 18; ++i) {
        seq.push_back(despachar());
        slots.push_back(actual());
    }
    EXPECT_EQ(seq, (std::vector<int>{60, 61, 62, 63, 64, 65, 66, 4, 5, 6, 7, 8, 9, 10, 30, 2, 2, 2}));
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(slots[i], std::make_pair(0, i));
    EXPECT_EQ(slots[15], std::make_pair(3, 0));
}

TEST_F(Scheduler, FailedRequestIsFoundAgainAfterTheHeadMovedOn)
{
    conectar();
    std::vector<int> seq;
    seq.push_back(despachar());                              // 60
    seq.push_back(despachar(Proceso_Comunicacion::kPendiente)); // 61 failed
    for (int i = 0; i < 16; ++i)
        seq.push_back(despachar());
    EXPECT_EQ(seq, (std::vector<int>{60, 61, 62, 63, 64, 65, 66, 4, 5, 6, 7, 8, 9, 10, 30, 61, 2, 2}));
}

TEST_F(Scheduler, StrictPriorityAndCyclicSlotTakenWhateverItsState)
{
    p.Agregar_Solicitud(0, &r, 12);
    p.Agregar_Solicitud(1, &r, 4);
    p.Agregar_Solicitud(3, &r, 2);
    const std::vector<std::pair<int, std::pair<int, int>>> want = {
        {12, {0, 0}}, {4, {1, 0}}, {2, {3, 0}}, {2, {3, 0}}};
    for (const auto& w : want) {
        EXPECT_EQ(despachar(), w.first);
        EXPECT_EQ(actual(), w.second);
    }
}

TEST_F(Scheduler, FullQueuesDropSilently)
{
    for (int i = 0; i < 500; ++i)
        p.Agregar_Solicitud(0, &r, 11);
    p.Agregar_Solicitud(3, &r, 2);
    p.Agregar_Solicitud(0, &r, 12);
    p.Agregar_Solicitud(3, &r, 5);
    EXPECT_EQ(p.Comando_Solicitud(0, 0), 11);
    EXPECT_EQ(p.Comando_Solicitud(0, 499), 11);
    EXPECT_EQ(p.Comando_Solicitud(3, 0), 2);
    for (int s = 0; s < 500; ++s)
        ASSERT_NE(p.Comando_Solicitud(0, s), 12);
}

TEST_F(Scheduler, QuotaPassesAFullQueueOverOnce)
{
    for (int i = 0; i < 500; ++i)
        p.Agregar_Solicitud(0, &r, 11);
    p.Agregar_Solicitud(1, &r, 4);
    p.Agregar_Solicitud(3, &r, 2);
    for (int i = 0; i < 499; ++i) {
        ASSERT_EQ(despachar(), 11);
        ASSERT_EQ(actual(), std::make_pair(0, i));
    }
    EXPECT_EQ(despachar(), 4);
    EXPECT_EQ(actual(), std::make_pair(1, 0));
    EXPECT_EQ(p.Contador_Cola(0), 0);
    EXPECT_EQ(despachar(), 11);
    EXPECT_EQ(actual(), std::make_pair(0, 499));
}

TEST_F(Scheduler, ScanLooksAt498SlotsAndWraps)
{
    p.Agregar_Solicitud(0, &r, 12);
    p.Agregar_Solicitud(3, &r, 2);
    EXPECT_EQ(despachar(Proceso_Comunicacion::kPendiente), 12);
    EXPECT_EQ(despachar(), 2);
    EXPECT_EQ(p.Siguiente_Cola(0), 499);
    EXPECT_EQ(p.Siguiente_Cola(1), 498);
    EXPECT_EQ(p.Siguiente_Cola(2), 498);
    EXPECT_EQ(p.Siguiente_Cola(3), 0);
    EXPECT_EQ(despachar(), 12);
    EXPECT_EQ(actual(), std::make_pair(0, 0));
}

TEST_F(Scheduler, RunningRequestBlocksDispatch)
{
    p.Agregar_Solicitud(0, &r, 12);
    p.Agregar_Solicitud(0, &r, 13);
    p.Agregar_Solicitud(3, &r, 2);
    p.Despachar_Solicitud();
    ASSERT_EQ(r.ejecutados.size(), 1u);
    const int head = p.Siguiente_Cola(0), cnt = p.Contador_Cola(0);
    p.Despachar_Solicitud();
    EXPECT_EQ(r.ejecutados.size(), 1u);
    EXPECT_EQ(p.Siguiente_Cola(0), head);
    EXPECT_EQ(p.Contador_Cola(0), cnt);
}

TEST_F(Scheduler, TimeOutTickVariants)
{
    p.Agregar_Solicitud(0, &r, 12);
    p.Agregar_Solicitud(0, &r, 13);
    p.Agregar_Solicitud(3, &r, 2);
    p.Despachar_Solicitud(); // 12 running

    link.Comunicando = false; // offline: nothing at all
    p.Revisar_Comunicacion();
    EXPECT_EQ(r.errores, 0);
    EXPECT_EQ(r.ejecutados.size(), 1u);
    EXPECT_EQ(p.Estado_Actual(), Proceso_Comunicacion::kEjecutando);

    link.Comunicando = true;
    link.Detener_Comunicacion = true; // counts, gives up, no dispatch
    p.Revisar_Comunicacion();
    EXPECT_EQ(r.errores, 1);
    EXPECT_EQ(r.ejecutados.size(), 1u);
    EXPECT_EQ(p.Estado_Actual(), Proceso_Comunicacion::kTerminada);

    p.setEstado_Actual(Proceso_Comunicacion::kEjecutando);
    link.Detener_Comunicacion = false; // running slot given up, next one sent
    p.Revisar_Comunicacion();
    EXPECT_EQ(r.errores, 2);
    EXPECT_EQ(p.Estado_Solicitud(0, 0), Proceso_Comunicacion::kTerminada);
    ASSERT_EQ(r.ejecutados.size(), 2u);
    EXPECT_EQ(r.ejecutados.back(), 13);
}

TEST_F(Scheduler, NothingQueuedOrNoCyclicSlotNeverHangs)
{
    p.Despachar_Solicitud();
    EXPECT_TRUE(r.ejecutados.empty());

    Proceso_Comunicacion fresh(link); // usable before any reset
    fresh.Despachar_Solicitud();
    fresh.Agregar_Solicitud(3, &r, 2); // cyclic length 0: no slot
    fresh.Agregar_Solicitud(4, &r, 2);
    fresh.Agregar_Solicitud(-1, &r, 2);
    fresh.Despachar_Solicitud();
    EXPECT_TRUE(r.ejecutados.empty());
    EXPECT_EQ(fresh.Capacidad_Cola(3), -1);

    // A null requester is never stored nor dispatched.
    p.Agregar_Solicitud(0, nullptr, 12);
    EXPECT_EQ(p.Estado_Solicitud(0, 0), Proceso_Comunicacion::kLibre);
    p.Despachar_Solicitud();
    EXPECT_TRUE(r.ejecutados.empty());

    // Quota reached on every queue and queue 3 empty: still returns.
    p.setLargo_Cola_Ciclica(600);
    EXPECT_EQ(p.Largo_Cola_Ciclica(), 500);
    p.setLargo_Cola_Ciclica(-3);
    EXPECT_EQ(p.Largo_Cola_Ciclica(), 0);
}

TEST_F(Scheduler, QueueingTellsTheSlotTakenAndWaitingRequestsAreFound)
{
    EXPECT_EQ(p.Agregar_Solicitud(0, &r, 61), std::optional<int>(0));
    EXPECT_EQ(p.Agregar_Solicitud(0, &r, 62), std::optional<int>(1));
    EXPECT_EQ(p.Agregar_Solicitud(3, &r, 2), std::optional<int>(0));
    EXPECT_EQ(p.Agregar_Solicitud(3, &r, 5), std::nullopt);  // the cyclic queue's one slot is taken
    EXPECT_EQ(p.Agregar_Solicitud(4, &r, 5), std::nullopt);
    EXPECT_EQ(p.Agregar_Solicitud(0, nullptr, 5), std::nullopt);
    EXPECT_TRUE(p.Solicitud_En_Espera(61));
    EXPECT_EQ(despachar(Proceso_Comunicacion::kEjecutando), 61);
    EXPECT_TRUE(p.Solicitud_En_Espera(61));  // running
    p.setEstado_Actual(Proceso_Comunicacion::kTerminada);
    EXPECT_FALSE(p.Solicitud_En_Espera(61));
    EXPECT_TRUE(p.Solicitud_En_Espera(62));
    EXPECT_FALSE(p.Solicitud_En_Espera(63));
    EXPECT_TRUE(p.Cola_Ocupada(0));  // 62 still pending
    EXPECT_FALSE(p.Cola_Ocupada(1));
    // A finished slot is taken again.
    EXPECT_EQ(p.Agregar_Solicitud(0, &r, 27), std::optional<int>(2));
    for (int i = 3; i < 500; ++i)
        p.Agregar_Solicitud(0, &r, 11);
    EXPECT_EQ(p.Agregar_Solicitud(0, &r, 28), std::optional<int>(0));
    EXPECT_EQ(p.Agregar_Solicitud(0, &r, 28), std::nullopt);
}
