#pragma once
// The main window's Print commands (File > Print): Actual Values, Events and
// SetPoints. Each shows the printer dialog, online queues fresh reads and
// waits for their passed replies, stamps the print date and time once, and
// prints its report pages in their fixed order, one page per report window.
// On every path the command ends with the main window enabled and
// Imprimiendo False; a failure is told once that is done. Cancel in the
// printer dialog prints nothing (the setpoint reads already queued stay).
//
// No widgets here: the printer dialog, the clock, the pause and the wait box
// come in through PrintServices, the report pages through ReportPages.

#include "app/AppState.h"
#include "app/ReplyWait.h"
#include "pages/PageHost.h"
#include "reports/ReportCanvas.h"
#include "reports/ReportHeader.h"

#include <QDateTime>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPagedPaintDevice;

namespace kova {

class PrintJob;

struct PrintServices {
    // The printer dialog: the device to print on, nothing when cancelled.
    std::function<std::unique_ptr<QPagedPaintDevice>()> choosePrinter;
    // The local date and time of the print stamp.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
    // The setpoints command's pause: blocks, handling no events.
    std::function<void(int ms)> pause;
    // Whether a request queue holds no pending or running request.
    std::function<bool(int queue)> queueIdle;
    // The relay name of the page header (20 characters).
    std::function<std::string()> nombreRele;
    // A failure's box with the reason as its detail line; without it the
    // host's box shows the text alone.
    std::function<void(const std::string& text, const std::string& title, PageHost::Icon icon,
                       const std::string& detail)>
        messageDetail;
    // The box shown while the command waits for the relay.
    ReplyWait::BoxFactory waitBox;
    ReplyWait::Limits waitLimits;
};

// The report pages of each command, as fill functions (a page that cannot be
// filled throws).
struct ReportPages {
    using Page = std::function<ReportCanvas(PageHost&, const ReportStamp&)>;
    // Page 1 of the events; sets the number of events listed.
    using FirstEvents = std::function<ReportCanvas(PageHost&, const ReportStamp&, std::int32_t& Contador_Eventos)>;
    // Continuation page Pagina_Eventos (2..7).
    using MoreEvents = std::function<ReportCanvas(PageHost&, const ReportStamp&, std::int32_t Pagina_Eventos,
                                                  std::int32_t& Contador_Eventos)>;
    std::vector<Page> actualValues;
    FirstEvents eventsFirst;
    MoreEvents eventsMore;
    std::vector<Page> setpoints;
};

class PrintCommands {
public:
    static inline const std::string kNotRead = "Values could not be read from the relay. Nothing was printed.";
    static constexpr int kPauseMs = 1000;

    PrintCommands(AppState& state, PageHost& host, PrintServices services, ReportPages pages = {});

    ReportPages& pages() { return pages_; }

    void P_Actual_Click();
    void P_Events_Click();
    void P_Setpoints_Click();

    // The link's events, handed on by the program.
    void replyPassed(const RequestSlot& request) { wait_.replyPassed(request); }
    void requestGivenUp(const RequestSlot& request) { wait_.requestGivenUp(request); }
    void linkLost() { wait_.linkLost(); }

private:
    struct Message {
        std::string text;
        PageHost::Icon icon;
        std::string detail;
    };
    // Runs a command's steps, then the unwinding, then its message if any.
    void run(const std::function<void()>& steps);
    void queue(int queue, int code);
    // Online: waits for the replies to the requests queued; false when
    // nothing may be printed.
    bool freshData(bool queueZeroIdle);
    ReportStamp stamp();
    std::unique_ptr<QPagedPaintDevice> choosePrinter() const;
    // Prints the pages in order; a failure stops the job and is told.
    void printPages(QPagedPaintDevice& device, const std::vector<ReportPages::Page>& pages, const ReportStamp& s);
    void stopWith(const PrintJob& job);

    AppState& st_;
    PageHost& host_;
    PrintServices svc_;
    ReportPages pages_;
    ReplyWait wait_;
    std::optional<Message> message_;
};

} // namespace kova
