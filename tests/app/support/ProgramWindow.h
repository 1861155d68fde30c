#pragma once
// A program's main window with its own services over a given program folder.
#include "app/AppContext.h"
#include "app/AppState.h"
#include "app/Principal.h"

#include <QString>

#include <memory>

namespace kova::test {

struct ProgramWindow {
    AppState st;
    AppContext ctx{st};
    std::unique_ptr<Principal> w;
    explicit ProgramWindow(const QString& folder)
    {
        st.Ruta_App = folder;
        w = std::make_unique<Principal>(st, ctx.services());
    }
};

} // namespace kova::test
