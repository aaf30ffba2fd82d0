// Timings of the model's heavy paths on the in-memory panel, the same code the window runs.

#include "core/plan_display.h"
#include "panel/memory_panel.h"
#include "panel/plan_controller.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

namespace max2870 {
namespace {

using enum ControlId;

// A panel at its starting state with the model listening, as in the window.
struct Rig {
    SynthState state;
    MemoryPanel panel;
    PlanController plan{state, panel};

    Rig() { panel.SetEventSink(&plan); }
};

// One plan with its words and results text from an input record, without a panel. Two wanted
// frequencies take turns, as below.
void BM_MakePlan(benchmark::State& bench) {
    std::array<PlanInputs, 2> inputs{};
    inputs[0].outDivExponent = 1;
    inputs[1].outDivExponent = 1;
    inputs[1].foutText = "2400.123456";
    std::size_t turn = 0;
    for (auto _ : bench) {
        const Plan plan = MakePlan(inputs[turn], PlanCarry{});
        turn ^= 1U;
        benchmark::DoNotOptimize(plan.words[0]);
        benchmark::DoNotOptimize(DisplayOf(plan, false).values->data());
    }
}
BENCHMARK(BM_MakePlan);

// One recompute. Two wanted frequencies take turns, so every run packs new words.
void BM_Recalculate(benchmark::State& bench) {
    Rig rig;
    rig.panel.PresetValue(OutDivCont, 1);
    const std::array<const char*, 2> wanted{"2320.5", "2400.123456"};
    std::size_t turn = 0;
    for (auto _ : bench) {
        rig.panel.Preset(FoutText, wanted[turn]);
        turn ^= 1U;
        rig.plan.Recalculate();
        benchmark::DoNotOptimize(rig.state.words[0]);
    }
}
BENCHMARK(BM_Recalculate);

// "Find Best F/D" with a fractional part just under 1 (VCO / Fcomp = 464.999999): every
// trial has the same error, so all numerators up to D = 4095 are tried. The click includes
// its own recompute and the ForceD -> ResolutionText -> recompute chain.
void BM_FractionSearchWorst(benchmark::State& bench) {
    Rig rig;
    rig.panel.Preset(FoutText, "4649.99999");
    rig.plan.Recalculate();
    for (auto _ : bench) {
        rig.plan.NMCalc_Click();
        benchmark::DoNotOptimize(rig.state.Denom);
    }
}
BENCHMARK(BM_FractionSearchWorst);

// "Find R" in integer-N mode for 10 pi MHz: no R up to 1000 meets it within 1 Hz, so the
// search runs to R = 1001. The click includes its recomputes.
void BM_RSearchWorst(benchmark::State& bench) {
    Rig rig;
    rig.panel.PresetValue(FractN, 1);
    rig.panel.Preset(FoutText, "31.4159265358979");
    rig.plan.Recalculate();
    for (auto _ : bench) {
        rig.plan.NMCalc_Click();
        benchmark::DoNotOptimize(rig.state.R);
    }
}
BENCHMARK(BM_RSearchWorst);

// One read-back: a fractional and an integer-N set take turns, so the panel really changes.
// Includes the decoder's two recomputes.
void BM_DecodeRegisters(benchmark::State& bench) {
    Rig rig;
    rig.plan.Recalculate();
    const std::array<std::array<std::uint32_t, 4>, 2> sets{{
        {0x00E80190, 0x20000FA1, 0x18005E42, 0x609C80FC},
        {0x80E80000, 0x00000001, 0x18005F42, 0x609C80FC},
    }};
    std::size_t turn = 0;
    for (auto _ : bench) {
        const auto& words = sets[turn];
        turn ^= 1U;
        rig.plan.AwaitReadBack(true);
        const ReadBackWords set{
            static_cast<std::int32_t>(words[0]), static_cast<std::int32_t>(words[1]),
            static_cast<std::int32_t>(words[2]), static_cast<std::int32_t>(words[3])};
        benchmark::DoNotOptimize(rig.plan.DecodeRegisters(set).accepted);
    }
}
BENCHMARK(BM_DecodeRegisters);

} // namespace
} // namespace max2870

BENCHMARK_MAIN();
