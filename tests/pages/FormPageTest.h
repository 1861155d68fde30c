#pragma once
// A test that opens one setpoint page from its form over a fresh fake host.

#include "FakePageHost.h"
#include "pages/FormLoader.h"
#include "pages/SetpointPage.h"

#include <gtest/gtest.h>

#include <memory>

namespace kova::test {

struct FormPageTest : ::testing::Test {
    FakePageHost host;
    std::unique_ptr<SetpointPage> page;

    // Loads the form and runs the page's load, as the menu command does.
    void open(const char* form)
    {
        auto f = loadPageForm(form);
        ASSERT_TRUE(f) << form;
        page = std::make_unique<SetpointPage>(*f, host);
        page->Form_Load();
    }
    // Drops the page and starts over with a new host.
    void fresh()
    {
        page.reset();
        host = FakePageHost{};
    }
};

} // namespace kova::test
