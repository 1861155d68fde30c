#pragma once
// A page host with register images of its own and nothing else: no link, no
// main window, no message shown. A page under it reads and writes only these
// images; the form check proves pages under it and the settings designer
// shows them under it.

#include "pages/PageHost.h"

namespace kova {

class OfflinePageHost : public PageHost {
public:
    RegisterImages im;

    RegisterImages& images() override { return im; }
    bool online() const override { return false; }
    bool comunicando() const override { return false; }
    bool imprimiendo() const override { return false; }
    void setHabilitaReset(bool) override {}
    void enableMainWindow(bool) override {}
    std::optional<RequestSlot> queueRequest(int, int) override { return std::nullopt; }
    bool requestWaiting(int) const override { return false; }
    int failuresInARow(int) const override { return 0; }
    void beginStore(const std::vector<RequestSlot>&, const std::vector<int>&) override {}
    void message(const std::string&, const std::string&, Icon) override {}
    bool question(const std::string&, const std::string&, Icon) override { return false; }
    bool cerrarPagina() const override { return false; }
    void setCerrarPagina(bool) override {}
    bool Devuelve_Datos(std::int32_t) override { return false; }
    NumOrText DatosDeVariables(std::int16_t) const override { return {}; }
    void setListener(PageLinkListener*) override {}
    void releaseListener(PageLinkListener*) override {}
    std::string fileEvent(int, int) const override { return {}; }
};

} // namespace kova
