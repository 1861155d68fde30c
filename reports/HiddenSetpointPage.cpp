#include "reports/HiddenSetpointPage.h"

#include "pages/FormLoader.h"

#include <stdexcept>

namespace kova {

HiddenSetpointPage::HiddenSetpointPage(const std::string& form, PageHost& host)
    : host_(host), session_([this, &form] { load(form); }, [this] { unload(); })
{
}

void HiddenSetpointPage::load(const std::string& form)
{
    std::string error;
    auto f = loadPageForm(form, &error);
    if (!f)
        throw std::runtime_error(error);
    page_ = std::make_unique<SetpointPage>(std::move(*f), host_);
    page_->Form_Load();
}

void HiddenSetpointPage::unload()
{
    if (!page_)
        return;
    page_.reset();
    host_.enableMainWindow(true);
}

} // namespace kova
