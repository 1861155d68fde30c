// Micro-benchmarks of the setpoint pages' forms: the check of the nine
// built-in forms with the proof that runs each page, which the program makes
// once per form content, and opening a page as the program does (the checked
// form, the page model built, its values shown offline).

#include "pages/FormCheck.h"
#include "pages/FormLoader.h"
#include "pages/FormProof.h"
#include "pages/FormSettingsCheck.h"
#include "pages/SetpointPage.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace kova;

namespace {

// A page host offline with its own images; it keeps nothing.
class QuietHost : public PageHost {
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
    void beginStore(const std::vector<RequestSlot>&, const std::vector<int>&) override {}
    void message(const std::string&, const std::string&, Icon) override {}
    bool question(const std::string&, const std::string&, Icon) override { return false; }
    bool cerrarPagina() const override { return false; }
    void setCerrarPagina(bool) override {}
    bool Devuelve_Datos(std::int32_t) override { return false; }
    NumOrText DatosDeVariables(std::int16_t) const override { return {}; }
    void setListener(PageLinkListener*) override {}
    std::string fileEvent(int, int) const override { return {}; }
};

// The check of the nine built-in setpoint forms: each read, its settings
// and registers checked and its page proven by running it.
void BM_CheckNineForms(benchmark::State& state)
{
    std::vector<std::pair<std::string, std::string>> texts;
    for (const std::string& name : pageFormNames())
        if (name.starts_with("SETPAGE"))
            texts.emplace_back(name, pageFormText(name));
    for (auto _ : state)
        for (const auto& [name, text] : texts) {
            const auto form = readPageForm(text, name);
            if (!form || !settingProblems(*form).empty() || !formProblems(*form).empty()) {
                state.SkipWithError((name + " is refused").c_str());
                return;
            }
            // formProblems keeps the proof of a content it has made: made again here.
            benchmark::DoNotOptimize(runningProblems(*form));
        }
    state.counters["forms"] = static_cast<double>(texts.size());
}
BENCHMARK(BM_CheckNineForms)->Unit(benchmark::kMillisecond);

// Opening the Phase Protections page, the one with the most controls:
// its form loaded and checked, the page built and its values shown.
void BM_OpenPhasePage(benchmark::State& state)
{
    QuietHost host;
    for (auto _ : state) {
        auto form = loadPageForm("SETPAGE3");
        if (!form) {
            state.SkipWithError("SETPAGE3 is refused");
            return;
        }
        SetpointPage page(std::move(*form), host);
        page.Form_Load();
        benchmark::DoNotOptimize(page.valor("Word_TresR1(0)"));
    }
}
BENCHMARK(BM_OpenPhasePage)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
