#pragma once
// The model of a value page: what it shows, when it polls and how it
// closes. It reaches the program only through its PageHost; a view shows
// its labels and runs its timer. The pages that differ (metering, power and
// energy, last trip) adjust it in small subclasses; makeValuePage picks one.
//
// Closing: OK sets the shared close request; a page whose timer runs (it
// polls) closes at its next tick, any other page at once. The window frame
// and Escape close at once and leave no close request behind, so the next
// page opened does not close at its first tick.

#include "pages/PageForm.h"
#include "pages/PageHost.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kova {

// Relay commands of the Clear buttons. Maintenance data is cleared with
// the energy command: the relay has no command of its own for it.
inline constexpr int kClearEnergyRequest = 12;
inline constexpr int kClearMaintenanceRequest = kClearEnergyRequest;
inline constexpr int kClearDemandRequest = 19;

class ValuePage {
public:
    // The view's side: told after the model changed something it shows.
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void timerChanged() = 0; // timerEnabled() changed
        virtual void redrawn() = 0;      // texts, visibility or tops changed
        virtual void closing() = 0;      // the page unloads now
    };

    ValuePage(PageForm form, PageHost& host);
    virtual ~ValuePage() = default;
    ValuePage(const ValuePage&) = delete;
    ValuePage& operator=(const ValuePage&) = delete;

    void setListener(Listener* l) { listener_ = l; }

    // Load: with a print job running nothing at all; otherwise the close
    // request is dropped, the main window disabled, the values drawn once
    // and the timer started when online.
    virtual void Form_Load();
    // Decodes the page's blocks and draws every bound label and the layout.
    void Actualiza_Valores();
    // Online: queues the page's requests; draws; keeps the timer running
    // exactly while online; closes when asked to.
    void Timer1_Timer();
    void Okey_Click();
    // The page's Clear button: online a question, Yes queues the command;
    // offline a notice only.
    void Clear_Click();
    // The window frame or Escape.
    void closeByFrame();

    const PageForm& form() const { return form_; }
    // A label's text: its design text until drawn, its caption for captions.
    std::string text(const std::string& label) const;
    // Frames and buttons; true for anything the form does not hide.
    bool visible(const std::string& control) const;
    // Top of a frame or button in twips.
    int top(const std::string& control) const;
    bool timerEnabled() const { return timer_; }
    int interval() const { return form_.interval; }
    // The load did its work (no print job): the page was sized and the main
    // window disabled.
    bool sized() const { return sized_; }
    bool closed() const { return closed_; }

protected:
    PageHost& host() { return host_; }
    // The unit kind a measured label is drawn with.
    virtual int kindOf(const std::string& label, const ValueBinding& b) const;
    virtual void Activa_Timer();
    void setTimer(bool on);
    // The sizing and locking part of the load, and the first drawing.
    void showPage();

private:
    void drawLabel(const std::string& label, const ValueBinding& b);
    void applyLayout();
    void close();

    PageForm form_;
    PageHost& host_;
    Listener* listener_ = nullptr;
    std::map<std::string, std::string> texts_;
    std::map<std::string, bool> visible_;
    std::map<std::string, int> tops_;
    std::string Valor_Medida;
    std::string Unidad_Medida;
    bool timer_ = false;
    bool sized_ = false;
    bool closed_ = false;
    // This page's OK, waiting for its next tick (the host's close request is
    // shared: another page's OK must not close this one).
    bool closeRequested_ = false;
};

std::unique_ptr<ValuePage> makeValuePage(PageForm form, PageHost& host);

} // namespace kova
