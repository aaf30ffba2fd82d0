#include "plan_run.h"

#include "listing/listing.h"
#include "model/memory_panel.h"
#include "model/plan_controller.h"
#include "plan_json.h"

#include <map>

namespace max2870 {
namespace {

using enum ControlId;

void PresetPanel(MemoryPanel& panel, const PlanOptions& o) {
    static const std::map<std::string, ControlId> kMux{
        {"none", MuxNone}, {"rdiv", MuxR}, {"ndiv", MuxN}, {"lock", MuxL}};
    static const std::map<std::string, ControlId> kNoise{
        {"low-noise", NM0}, {"low-spur-1", NM2}, {"low-spur-2", NM3}};
    panel.Preset(FrText, o.ref);
    panel.PresetValue(RefDbl, o.doubler ? 1 : 0);
    panel.PresetValue(Refdiv2, o.divideBy2 ? 1 : 0);
    panel.Preset(Rdivider, o.r);
    panel.PresetValue(OutDivCont, o.odiv);
    panel.Preset(FoutText, o.fout);
    panel.Preset(ResolutionText, o.resolution);
    panel.PresetValue(FractN, o.integerN ? 1 : 0);
    panel.Preset(OPPhasetext, o.phase);
    panel.PresetValue(kMux.at(o.mux), 1);
    panel.PresetValue(kNoise.at(o.noise), 1);
    panel.PresetValue(Enable, o.chipEnable ? 1 : 0);
    panel.PresetValue(ChrgPump, o.chargePump);
    panel.PresetValue(PDpol, o.pdNegative ? 1 : 0);
    panel.PresetValue(Aon, o.outputA ? 1 : 0);
    panel.PresetValue(Bon, o.outputB ? 1 : 0);
    panel.PresetValue(OPpwr, o.power);
}

std::string PlainResults(const std::string& valuesText) {
    std::string text;
    text.reserve(valuesText.size());
    for (std::size_t i = 0; i < valuesText.size(); ++i) {
        if (valuesText[i] == '\r' && i + 1 < valuesText.size() && valuesText[i + 1] == '\n') {
            continue;
        }
        text += valuesText[i];
    }
    return text;
}

} // namespace

std::string RunPlan(const PlanOptions& options) {
    SynthState state;
    MemoryPanel panel;
    PlanController plan(state, panel);
    PresetPanel(panel, options);
    panel.SetEventSink(&plan);

    plan.Recalculate();
    if (options.findBest) {
        plan.NMCalc_Click();
    }
    if (options.forceD) {
        panel.SetText(ForceD, *options.forceD);
    }
    if (options.decode) {
        const auto& words = *options.decode;
        state.RxReg[0] = words[0];
        state.RxReg[1] = words[1];
        state.RxReg[2] = words[2];
        state.RxReg[4] = words[3];
        state.InitFlag = true;
        plan.DecodeRegisters();
    }

    std::string listing = ListingText(
        state, {panel.Text(FrText), panel.Value(Refdiv2) == 1, panel.Value(RefDbl) == 1});
    switch (options.Output()) {
    case PlanOutput::Json:
        return PlanJson(plan, panel, listing);
    case PlanOutput::Listing:
        return listing;
    case PlanOutput::Results:
        break;
    }
    return PlainResults(panel.Text(ValuesText));
}

} // namespace max2870
