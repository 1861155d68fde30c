#pragma once
// A setpoint page loaded unseen for a report: the page model runs its full
// load (online it disables the main window and queues the page's block
// reads; it shows the Get image and writes what it shows back into the Put
// image). Ending the session unloads it as a window closed without EXIT:
// the main window is enabled and nothing is restored. A session ends on
// every path, also when the load itself or a later copy fails, so the next
// opening of the page runs its full load again.

#include "pages/PageHost.h"
#include "pages/SetpointPage.h"
#include "reports/SourcePageSession.h"

#include <memory>
#include <string>

namespace kova {

class HiddenSetpointPage {
public:
    // Throws when the form cannot be read or the load fails (unloaded then).
    HiddenSetpointPage(const std::string& form, PageHost& host);

    SetpointPage& page() { return *page_; }
    // Unloads now (once).
    void end() { session_.end(); }

private:
    void load(const std::string& form);
    void unload();

    PageHost& host_;
    std::unique_ptr<SetpointPage> page_;
    SourcePageSession session_;  // last: ends before the page goes
};

} // namespace kova
