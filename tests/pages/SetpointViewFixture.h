// A setpoint page's window over its model and a fake host, shared by the
// window tests.
#pragma once

#include "FakePageHost.h"
#include "editors/BitsWidget.h"
#include "editors/ValueEditorWidget.h"
#include "pages/FormLoader.h"
#include "pages/SetpointPageView.h"

#include <QMainWindow>
#include <QtTest>
#include <memory>

namespace kova::test {

struct SetpointViewFixture {
    std::unique_ptr<FakePageHost> host;
    std::unique_ptr<QMainWindow> main;
    std::unique_ptr<SetpointPage> page;
    std::unique_ptr<SetpointPageView> view;

    void makeHost()
    {
        host = std::make_unique<FakePageHost>();
        main = std::make_unique<QMainWindow>();
        main->setGeometry(40, 60, 800, 600);
    }
    void makeView(const char* form)
    {
        page = std::make_unique<SetpointPage>(*loadPageForm(form), *host);
        view = std::make_unique<SetpointPageView>(*page, main.get());
    }
    void dropView()
    {
        view.reset();
        page.reset();
    }
};

}  // namespace kova::test
