#include "reports/EventsPage.h"

#include "link/EventLog.h"
#include "link/LinkState.h"
#include "text/NumberText.h"
#include "text/VbNumbers.h"

#include <algorithm>
#include <cmath>

namespace kova {

namespace {

struct Columna {
    const char* titulo;
    const char* clave;
    double fraccion;
};

// Column 1 is the item's text (the event number); columns 2..13 are its
// sub-items 1..12, in the order printable pages read them.
constexpr Columna kColumnas[] = {
    {"ID", "Evento ID", 0.05},
    {"Events", "Eventos", 0.30},
    {"Date And Time", "Fecha", 0.25},
    {"Ia(Amp)", "IA", 0.10},
    {"Ib(Amp)", "IB", 0.10},
    {"Ic(Amp)", "IC", 0.10},
    {"Ig(Amp)", "IG", 0.10},
    {"Neg. Seq. I(Amp)", "Negative Seq", 0.10},
    {"Vab(Volt)", "Vab", 0.10},
    {"Vbc(Volt)", "Vbc", 0.10},
    {"Vca(Volt)", "Vca", 0.10},
    {"Freq.(Hz)", "Frequency", 0.10},
    {"P.F.", "P.F.", 0.10},
};
// Keys of the ten value columns, value 1 first.
constexpr int kPrimeraColumnaValor = 3;

// Engine table: text of row i (1-based) at 83 + i, value c at 83 + 20c + i.
constexpr int kPosicionFila = 83;

std::string sinBlancosFinales(std::string_view s)
{
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return std::string(s);
}

bool esNoEvento(const std::string& causa)
{
    if (causa.empty())
        return true;
    std::string mayusculas = causa;
    std::transform(mayusculas.begin(), mayusculas.end(), mayusculas.begin(),
                   [](unsigned char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : char(c); });
    return mayusculas == "NO EVENT";
}

} // namespace

std::optional<EventsPage::Fila> EventsPage::partir(std::string_view texto)
{
    const auto p1 = texto.find(',');
    if (p1 == std::string_view::npos)
        return std::nullopt;
    Fila f;
    f.numero = sinBlancosFinales(texto.substr(0, p1));
    const auto p2 = texto.find(',', p1 + 1);
    if (p2 == std::string_view::npos) {
        f.completa = false;
        return f;
    }
    f.causa = sinBlancosFinales(texto.substr(p1 + 1, p2 - p1 - 1));
    f.fecha = sinBlancosFinales(texto.substr(p2 + 1));
    return f;
}

std::optional<std::uint16_t> EventsPage::numeroEvento(std::string_view texto)
{
    const auto v = parseNumber(texto);
    if (!v)
        return std::nullopt;
    const double n = vb::roundHalfEven(*v);
    if (!(n >= 0 && n <= 0xFFFF))
        return std::nullopt;
    return static_cast<std::uint16_t>(n);
}

EventsPage::~EventsPage() { soltarEnlace(); }

std::string EventsPage::Texto_Sin_Lectura()
{
    return "The event record could not be read: its last " + integerText(kFallosParaAbandonar) +
           " reads failed or were refused. The page keeps trying.";
}

std::string EventsPage::Texto_Abandonada(std::int16_t codigo, int fallos)
{
    const std::string lectura =
        codigo == kLeerUltimoEvento ? "The relay's newest event number" : "The event record";
    const std::string lecturas = fallos <= 1 ? "its last read failed or was refused"
                                             : "its last " + integerText(fallos) + " reads failed or were refused";
    return lectura + " could not be read: " + lecturas +
           ", and the link to the relay was given up. The page no longer asks the relay for events.";
}

std::string EventsPage::Texto_Enlace_Perdido()
{
    return "The link to the relay was lost: the page no longer asks the relay for events.";
}

void EventsPage::Crear_Col()
{
    lista_.clearColumns();
    for (const Columna& c : kColumnas)
        lista_.addColumn(c.titulo, c.clave, kAnchoLista * c.fraccion);
}

void EventsPage::Form_Load()
{
    cargada_ = true;
    timer_ = false;
    ultimo_ = 0;
    masNuevo_.reset();
    abandonada_ = 0;
    fallosAbandonada_ = 0;
    perdido_ = false;
    estado_.clear();
    lista_.clear();
    host_.setCerrarPagina(false);
    cierrePedido_ = false;
    Crear_Col();
    if (host_.imprimiendo()) {
        Actualiza_Valores();
        avisar();
        return;
    }
    host_.enableMainWindow(false);
    principalDeshabilitado_ = true;
    Actualiza_Valores();
    Activa_Timer();
    if (timer_ && !escuchando_) {
        // Polling: the replies tell the relay's newest number and the reads that fail.
        host_.setListener(this);
        escuchando_ = true;
    }
    avisar();
}

void EventsPage::soltarEnlace()
{
    if (!escuchando_)
        return;
    escuchando_ = false;
    host_.releaseListener(this);
}

void EventsPage::replyPassed(const RequestSlot& request)
{
    if (request.code == kLeerUltimoEvento)
        masNuevo_ = EventLog::newestIn(host_.images());
    if (request.code == kLeerUltimoEvento || request.code == kLeerRegistroEvento)
        ponerEstado();
}

void EventsPage::replyFailed(const RequestSlot& request)
{
    if (request.code == kLeerUltimoEvento || request.code == kLeerRegistroEvento)
        ponerEstado();
}

void EventsPage::requestGivenUp(const RequestSlot& request)
{
    // Told before the link error's box opens: the page will not keep trying.
    if (request.code == kLeerUltimoEvento || request.code == kLeerRegistroEvento) {
        abandonada_ = static_cast<std::int16_t>(request.code);
        // As the link counted them: also the failures before the page opened.
        fallosAbandonada_ = host_.failuresInARow(request.code);
        ponerEstado();
    }
}

void EventsPage::linkLost()
{
    perdido_ = true;
    ponerEstado();
}

void EventsPage::ponerEstado()
{
    const bool fallando = host_.failuresInARow(kLeerUltimoEvento) >= kFallosParaAbandonar ||
                          host_.failuresInARow(kLeerRegistroEvento) >= kFallosParaAbandonar;
    std::string estado = abandonada_ != 0 ? Texto_Abandonada(abandonada_, fallosAbandonada_)
                         : perdido_       ? Texto_Enlace_Perdido()
                         : fallando       ? Texto_Sin_Lectura()
                                          : std::string();
    if (estado == estado_)
        return;
    estado_ = std::move(estado);
    avisar();
}

void EventsPage::Activa_Timer()
{
    if (host_.online())
        timer_ = true;
}

void EventsPage::Actualiza_Valores() { Agregar_Eventos_ListView(); }

void EventsPage::Agregar_Eventos_ListView()
{
    if (host_.online())
        pasoEnLinea();
    else
        pasoFueraDeLinea();
}

bool EventsPage::listar(std::uint16_t n, int r, const Fuente& fuente)
{
    for (int i = 1; i <= r; ++i) {
        const auto fila = partir(fuente.texto(i));
        if (!fila)
            break;
        if (!fila->completa)
            return false;
        const auto numero = numeroEvento(fila->numero);
        if (!numero)
            return false;
        if (esNoEvento(fila->causa) || *numero != n - (i - 1))
            break;
        const std::string texto = fuente.numeroEntero ? integerText(*numero) : fila->numero;
        if (!lista_.insert(i, "Event" + integerText(i), texto))
            return false;
        lista_.setSubItem(i, "Eventos", fila->causa);
        lista_.setSubItem(i, "Fecha", fila->fecha);
        for (int c = 1; c <= 10; ++c)
            lista_.setSubItem(i, kColumnas[kPrimeraColumnaValor + c - 1].clave, fuente.valor(i, c));
    }
    return true;
}

void EventsPage::pasoEnLinea()
{
    const NumOrText primera = host_.DatosDeVariables(kPosicionFila + 1);
    if (primera.isEmpty())
        return; // not read yet
    const std::string texto = primera.toText();
    const auto coma = texto.find(',');
    if (coma == std::string::npos) {
        // The relay holds no event (after a clear, for example).
        vaciar();
        return;
    }
    const auto n = numeroEvento(sinBlancosFinales(std::string_view(texto).substr(0, coma)));
    if (!n)
        return;
    if (masNuevo_ && *n > *masNuevo_) {
        // The table's newest row is above the relay's newest (the record was
        // cleared and not read since): the relay holds none of the listed events.
        vaciar();
        return;
    }
    const int r = std::min<int>(*n, kFilas);
    if (ultimo_ == *n && lista_.count() == r)
        return;

    lista_.clear();
    const Fuente tabla{
        [this](int i) { return host_.DatosDeVariables(static_cast<std::int16_t>(kPosicionFila + i)).toText(); },
        [this](int i, int c) {
            return host_.DatosDeVariables(static_cast<std::int16_t>(kPosicionFila + 20 * c + i)).toText();
        },
        false};
    if (!listar(*n, r, tabla))
        return;
    ultimo_ = *n;
    redibujar();
}

void EventsPage::vaciar()
{
    if (lista_.count() > 0 || ultimo_ != 0) {
        lista_.clear();
        ultimo_ = 0;
        redibujar();
    }
}

void EventsPage::pasoFueraDeLinea()
{
    const std::string primera = host_.fileEvent(0, 0);
    const auto coma = primera.find(',');
    if (coma == std::string::npos)
        return; // no file loaded
    const auto n = numeroEvento(sinBlancosFinales(std::string_view(primera).substr(0, coma)));
    if (!n)
        return;
    const int r = std::min<int>(*n, kFilas);
    if (lista_.count() > 0) {
        if (lista_.count() == r && numeroEvento(lista_.text(1)) == *n)
            return;
        lista_.clear();
        redibujar();
    }
    const Fuente archivo{[this](int i) { return host_.fileEvent(0, i - 1); },
                         [this](int i, int c) { return host_.fileEvent(c, i - 1); }, true};
    if (!listar(*n, r, archivo))
        return;
    redibujar();
}

void EventsPage::Timer1_Timer()
{
    if (!cargada_)
        return;
    if (host_.online())
        host_.queueRequest(0, kLeerUltimoEvento);
    Actualiza_Valores();
    timer_ = host_.online();
    if (cierrePedido_)
        cerrar();
    avisar();
}

void EventsPage::Okey_Click()
{
    if (!cargada_)
        return;
    host_.setCerrarPagina(true);
    cierrePedido_ = true;
    // Online the running timer closes the page at its next tick.
    if (!host_.online() || !timer_)
        cerrar();
    avisar();
}

void EventsPage::Cerrar_Ventana()
{
    if (!cargada_)
        return;
    cerrar();
    avisar();
}

void EventsPage::cerrar()
{
    soltarEnlace();
    host_.setCerrarPagina(false);
    cierrePedido_ = false;
    timer_ = false;
    host_.enableMainWindow(true);
    principalDeshabilitado_ = false;
    cargada_ = false;
}

void EventsPage::Form_Unload()
{
    soltarEnlace();
    timer_ = false;
    cargada_ = false;
    if (principalDeshabilitado_) {
        principalDeshabilitado_ = false;
        host_.enableMainWindow(true);
    }
    avisar();
}

void EventsPage::Clear_Click()
{
    if (host_.online()) {
        if (host_.question(kPreguntaBorrar, kTituloMensajes, PageHost::Icon::Question))
            host_.queueRequest(0, kBorrarEventos);
    } else {
        host_.message(kSoloEnLinea, kTituloMensajes, PageHost::Icon::Information);
    }
    avisar();
}

} // namespace kova
