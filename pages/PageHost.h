#pragma once
// What a page needs of the program, and nothing more: the register images,
// the link flags, the request queues, the store transaction, the main
// window's enabled state, the program's message boxes and the engine's
// decoded values. AppContext
// implements it for the running program; tests use a fake.
//
// Link events reach the page through PageLinkListener: the page registers
// itself while it is open.

#include "link/RegisterImages.h"
#include "text/NumOrText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kova {

// Where a request was queued.
struct RequestSlot {
    int queue = 0;
    int slot = 0;
    int code = 0;
    bool operator==(const RequestSlot&) const = default;
};

class PageLinkListener {
public:
    virtual ~PageLinkListener() = default;
    // A request had a passed reply (its data are already in the images).
    virtual void replyPassed(const RequestSlot& request) = 0;
    // A request failed once: its reply failed its check or was refused, or
    // it did not come in time. Pages that do not count failures ignore it.
    virtual void replyFailed(const RequestSlot& request) { (void)request; }
    // A request failed too often and the link gave it up; the link is lost
    // next (its box is shown first).
    virtual void requestGivenUp(const RequestSlot& request) { (void)request; }
    // The link went offline (link error, or the relay was left).
    virtual void linkLost() = 0;
    // The store transaction ended; saved when the relay took every write.
    virtual void storeEnded(bool saved) = 0;
};

class PageHost {
public:
    enum class Icon { None, Critical, Exclamation, Information, Question };

    virtual ~PageHost() = default;

    virtual RegisterImages& images() = 0;
    // Online, or connecting (a connect waiting for its first reply).
    virtual bool online() const = 0;
    // Online only: a relay is answering (Comunicando).
    virtual bool comunicando() const = 0;
    virtual bool imprimiendo() const = 0;
    virtual void setHabilitaReset(bool allowed) = 0;
    virtual void enableMainWindow(bool enabled) = 0;

    // Queues a request; nothing when it could not be queued.
    virtual std::optional<RequestSlot> queueRequest(int queue, int code) = 0;
    // Whether a request with this code waits or runs on any queue.
    virtual bool requestWaiting(int code) const = 0;
    // How many times in a row the link's requests with this code failed
    // (whatever their slots, also before the page opened); 0 once one passed.
    virtual int failuresInARow(int code) const = 0;
    // Starts the store transaction of the writes queued; notQueued: the
    // codes of the writes that could not be. It ends with storeEnded.
    virtual void beginStore(const std::vector<RequestSlot>& writes, const std::vector<int>& notQueued) = 0;

    virtual void message(const std::string& text, const std::string& title, Icon icon) = 0;
    // A question before a command to the relay: Yes and No, No the
    // default button; true for Yes.
    virtual bool question(const std::string& text, const std::string& title, Icon icon) = 0;

    // The close request shared by the value pages and the events page.
    virtual bool cerrarPagina() const = 0;
    virtual void setCerrarPagina(bool requested) = 0;

    // Decodes block 0..9 of the actual-values image into the engine's table
    // of decoded values, and reads one of its positions (0..400).
    virtual bool Devuelve_Datos(std::int32_t Bloque) = 0;
    virtual NumOrText DatosDeVariables(std::int16_t posicion) const = 0;

    // A page registers itself while it is open and releases itself when it
    // closes; link events reach the page registered last of those still
    // registered, so a page never takes another's events for good.
    virtual void setListener(PageLinkListener* page) = 0;
    virtual void releaseListener(PageLinkListener* page) = 0;

    // The event copy of the loaded setpoint file: column 0 the event texts,
    // 1..10 the values (IA .. P.F.); row 0 the newest; "" outside.
    virtual std::string fileEvent(int column, int row) const = 0;
};

} // namespace kova
