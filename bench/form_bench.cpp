// Micro-benchmarks of the setpoint pages' forms: the check of the nine
// built-in forms with the proof that runs each page, which the program makes
// once per form content, and opening a page as the program does (the checked
// form, the page model built, its values shown offline).

#include "pages/FormCheck.h"
#include "pages/FormLoader.h"
#include "pages/FormProof.h"
#include "pages/FormSettingsCheck.h"
#include "pages/OfflinePageHost.h"
#include "pages/SetpointPage.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace kova;

namespace {

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
    OfflinePageHost host;
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
