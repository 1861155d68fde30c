#include "app/PrintCommands.h"

#include "app/PrintJob.h"
#include "platform/Waits.h"
#include "text/DateText.h"

#include <QPagedPaintDevice>

namespace kova {

namespace {

const std::string kTitle = "KOVA";

} // namespace

PrintCommands::PrintCommands(AppState& state, PageHost& host, PrintServices services, ReportPages pages)
    : st_(state), host_(host), svc_(std::move(services)), pages_(std::move(pages))
{
    if (!svc_.pause) svc_.pause = pauseWithoutEvents;
    if (!svc_.now) svc_.now = [] { return QDateTime::currentDateTime(); };
}

void PrintCommands::run(const std::function<void()>& steps)
{
    message_.reset();
    wait_.reset();
    {
        // The error path: whatever ends the steps, the command ends the same way.
        struct Unwinding {
            PrintCommands& c;
            ~Unwinding()
            {
                c.st_.Imprimiendo = false;
                c.host_.enableMainWindow(true);
            }
        } unwinding{*this};
        steps();
    }
    if (message_ && !message_->detail.empty() && svc_.messageDetail)
        svc_.messageDetail(message_->text, kTitle, message_->icon, message_->detail);
    else if (message_)
        host_.message(message_->text, kTitle, message_->icon);
}

void PrintCommands::queue(int queue, int code) { wait_.queued(host_.queueRequest(queue, code)); }

bool PrintCommands::freshData(bool queueZeroIdle)
{
    if (wait_.queuedCount() == 0) return true;
    host_.enableMainWindow(false);
    const auto settled = [&] { return !queueZeroIdle || !svc_.queueIdle || svc_.queueIdle(0); };
    const auto result = wait_.wait([this] { return host_.comunicando(); }, settled, svc_.waitBox, svc_.waitLimits);
    if (result == ReplyWait::Result::NotRead) message_ = Message{kNotRead, PageHost::Icon::Exclamation, {}};
    return result == ReplyWait::Result::Answered;
}

ReportStamp PrintCommands::stamp()
{
    const QDateTime t = svc_.now();
    const QDate d = t.date();
    const QTime h = t.time();
    const std::string hora = horaImpresionText(h.hour(), h.minute(), h.second());
    st_.Hora_Impresion = QString::fromStdString(hora);
    return {shortDate(d.year(), d.month(), d.day()), hora,
            svc_.nombreRele ? svc_.nombreRele() : std::string(20, ' ')};
}

std::unique_ptr<QPagedPaintDevice> PrintCommands::choosePrinter() const
{
    return svc_.choosePrinter ? svc_.choosePrinter() : nullptr;
}

void PrintCommands::printPages(QPagedPaintDevice& device, const std::vector<ReportPages::Page>& pages,
                               const ReportStamp& s)
{
    PrintJob job(device);
    for (const ReportPages::Page& page : pages)
        if (!job.page([&] { return page(host_, s); })) break;
    job.finish();
    stopWith(job);
}

void PrintCommands::stopWith(const PrintJob& job)
{
    if (job.failure()) message_ = Message{*job.failure(), PageHost::Icon::Critical, job.failureDetail()};
}

void PrintCommands::P_Actual_Click()
{
    run([this] {
        const auto device = choosePrinter();
        if (!device) return;
        if (host_.comunicando()) {
            for (int code = 4; code <= 10; ++code) queue(0, code);
            queue(1, 30);
        }
        if (!freshData(false)) return;
        const ReportStamp s = stamp();
        st_.Imprimiendo = true;
        printPages(*device, pages_.actualValues, s);
    });
}

void PrintCommands::P_Events_Click()
{
    run([this] {
        const auto device = choosePrinter();
        if (!device) return;
        if (host_.comunicando()) {
            // The ten newest events: their number, then each one selected and read.
            queue(0, 30);
            for (int n = 1; n <= 10; ++n) {
                queue(0, 30 + n);
                queue(0, 90);
            }
        }
        // The engine chains its own re-reads after 30: queue 0 must be done too.
        if (!freshData(true)) return;
        const ReportStamp s = stamp();
        PrintJob job(*device);
        if (job.page([&] { return pages_.eventsFirst(host_, s, st_.Contador_Eventos); })) {
            for (std::int32_t p = 2; p <= 7; ++p) {
                if (st_.Contador_Eventos <= 3 * (p - 1)) continue;
                st_.Pagina_Eventos = p;
                if (!job.page([&] { return pages_.eventsMore(host_, s, p, st_.Contador_Eventos); })) break;
            }
        }
        job.finish();
        stopWith(job);
    });
}

void PrintCommands::P_Setpoints_Click()
{
    run([this] {
        host_.enableMainWindow(false);
        if (host_.comunicando())
            for (int code = 61; code <= 66; ++code) queue(0, code);
        svc_.pause(kPauseMs);
        const auto device = choosePrinter();
        if (!device) return;
        if (!freshData(false)) return;
        printPages(*device, pages_.setpoints, stamp());
    });
}

} // namespace kova
