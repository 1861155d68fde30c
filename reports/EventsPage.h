#pragma once
// The events page (AVPAGE4) without its window: the list of the relay's 20
// newest events, newest first, with cause, date and time and the ten values
// recorded with each.
//
// Online the list follows the engine's event table: every tick queues a
// re-read of the newest event number and a pass rebuilds the list whenever
// the table has moved on. Offline the list shows the event copy of the
// loaded setpoint file. A row is listed only as part of an unbroken run of
// event numbers counting down from the newest, so rows the engine has not
// re-read yet, or rows left behind by an earlier record, never show.
//
// Once a reply has told the relay's newest event number, a list whose
// newest row shows an event above it (the record was cleared and not read
// since) is shown empty: the relay holds none of those events. Rows of
// events the relay still holds keep their text until they are read again.
// When the reads of the newest number or of the event record fail as many
// times in a row as the link gives a request (as the link counts them, also
// before the page opened), the page says so in its status line, and keeps
// polling; the line clears when that read passes.
// When the link gives one of those reads up, or the link is lost, the page
// polls no more and its line says why.
//
// The page reaches the program only through its PageHost. It loads and
// unloads without any window, so printable pages can load it unseen.

#include "pages/PageHost.h"
#include "reports/KeyedList.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kova {

class EventsPage : public PageLinkListener {
public:
    static constexpr const char* kCaption = "ACTUAL VALUES - Events";
    static constexpr const char* kTituloMensajes = "KOVA Clear Events";
    static constexpr const char* kPreguntaBorrar = "Are your sure that you want to clear Events?";
    static constexpr const char* kSoloEnLinea = "Enabled only on Communication Mode";
    static constexpr int kIntervaloMs = 1500;
    static constexpr int kFilas = 20;
    // Width of the list at design, twips; the columns are fractions of it.
    static constexpr double kAnchoLista = 9045;
    // Request codes: newest event number (which re-reads the table), clear events.
    static constexpr std::int16_t kLeerUltimoEvento = 30;
    static constexpr std::int16_t kBorrarEventos = 13;
    // The read of the event record that request 30 chains.
    static constexpr std::int16_t kLeerRegistroEvento = 90;
    // The status line when the event reads keep failing, `fallos` times in
    // a row as the link counts them.
    static std::string Texto_Sin_Lectura(int fallos);
    // The status line when the link gave up the read with this code (the
    // newest number or the event record) after it failed `fallos` times in
    // a row, and was lost.
    static std::string Texto_Abandonada(std::int16_t codigo, int fallos);
    // The status line when the link was lost for another reason.
    static std::string Texto_Enlace_Perdido();

    explicit EventsPage(PageHost& host) : host_(host) {}
    ~EventsPage() override;

    // Handlers of the window.
    void Form_Load();
    void Timer1_Timer();
    void Okey_Click();
    void Clear_Click();
    // The window frame's close button and Escape: closes at once, as OK
    // does offline.
    void Cerrar_Ventana();
    // Unloads the page (a printable page that loaded it unseen), giving back
    // the main window its load disabled.
    void Form_Unload();

    // Makes the thirteen columns.
    void Crear_Col();
    // One pass of Agregar_Eventos_ListView.
    void Actualiza_Valores();
    // Brings the list up to date with the engine's table (online) or the
    // file's event copy (offline).
    void Agregar_Eventos_ListView();

    const KeyedList& ListView1() const { return lista_; }
    bool Cargada() const { return cargada_; }
    bool Timer1_Enabled() const { return timer_; }
    // Newest event number of the last online pass that ran to its end.
    std::uint16_t Ultimo_Numero_Listado() const { return ultimo_; }
    // How often the list was redrawn since the page was created.
    int Redibujos() const { return redibujos_; }
    // The relay's newest event number, once a reply told it since the load.
    std::optional<std::uint16_t> Numero_Mas_Nuevo() const { return masNuevo_; }
    // The page's status line: "" while the event reads pass.
    const std::string& Estado() const { return estado_; }

    // Link events, while the page polls the relay.
    void replyPassed(const RequestSlot& request) override;
    void replyFailed(const RequestSlot& request) override;
    void requestGivenUp(const RequestSlot& request) override;
    void linkLost() override;
    void storeEnded(bool) override {}

    // Called after every handler and pass; a window mirrors the page here.
    std::function<void()> alCambiar;

    // Splits a row text "number,cause,date": each part without its
    // trailing blanks. Empty when there is no ","; `completa` false when a
    // first "," has no second one.
    struct Fila {
        std::string numero, causa, fecha;
        bool completa = true;
    };
    static std::optional<Fila> partir(std::string_view texto);
    // An event number text as a number 0..65535; empty when it does not
    // convert.
    static std::optional<std::uint16_t> numeroEvento(std::string_view texto);

private:
    // Where the rows of a pass come from: row i (1-based) text and value c.
    struct Fuente {
        std::function<std::string(int fila)> texto;
        std::function<std::string(int fila, int columna)> valor;
        bool numeroEntero; // item text the number's integer form, else as split
    };
    void pasoEnLinea();
    void pasoFueraDeLinea();
    // Lists rows 1..R while their numbers run n, n - 1, ...; false when a
    // row made the pass fail.
    bool listar(std::uint16_t n, int r, const Fuente& fuente);
    void Activa_Timer();
    void redibujar() { ++redibujos_; }
    void cerrar();
    // Stops hearing link events.
    void soltarEnlace();
    // The list emptied: no event listed.
    void vaciar();
    void ponerEstado();
    void avisar()
    {
        if (alCambiar) alCambiar();
    }

    PageHost& host_;
    KeyedList lista_;
    bool cargada_ = false;
    bool timer_ = false;
    bool principalDeshabilitado_ = false; // by the full load, until the page closes
    std::uint16_t ultimo_ = 0;
    int redibujos_ = 0;
    bool escuchando_ = false; // registered for link events
    bool cierrePedido_ = false; // this page's OK, for its next tick (not another page's)
    std::optional<std::uint16_t> masNuevo_;
    // The event read the link gave up (0: none) and its failures in a row
    // then, and the link lost since.
    std::int16_t abandonada_ = 0;
    int fallosAbandonada_ = 0;
    bool perdido_ = false;
    std::string estado_;
};

} // namespace kova
