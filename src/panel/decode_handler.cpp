#include "core/numbers.h"
#include "core/read_back.h"
#include "panel/option_codes.h"
#include "panel/plan_controller.h"

namespace max2870 {

using enum ControlId;

namespace {

int Box(bool ticked) {
    return ticked ? 1 : 0;
}

} // namespace

// The decoder's own control writes start no recompute; each handler still runs, so the spinner
// labels follow the restored values. Then the two recomputes of the restored set are shown.
DecodeResult PlanController::DecodeRegisters(const ReadBackWords& words) {
    auto restoredSet = RestoreSet(words, ReadInputs(), s_);
    if (const auto* refusal = std::get_if<DecodeRefusal>(&restoredSet)) {
        outcome_ = RunOutcome::Rejected;
        return {false, refusal->reason};
    }
    const RestoredSet& r = std::get<RestoredSet>(restoredSet);
    const DecodedSettings& set = r.settings;
    decoding_ = true;
    panel_.SetValue(TrackDivider, 1);
    panel_.SetValue(Bon, Box(set.outputB));
    panel_.SetValue(Aon, Box(set.outputA));
    panel_.SetValue(FractN, Box(set.integerN));
    panel_.SetValue(RefDbl, Box(set.refDoubler));
    panel_.SetValue(Refdiv2, Box(set.refDivide2));
    if (const auto mux = ButtonForCode(kMuxCodes, kMuxButtons, set.muxCode)) {
        panel_.SetValue(*mux, 1);
    }
    if (const auto noise = ButtonForCode(kNoiseCodes, kNoiseButtons, set.noiseCode)) {
        panel_.SetValue(*noise, 1);
    }
    panel_.SetValue(PDpol, Box(set.pdNegative));
    panel_.SetValue(ChrgPump, set.chargePump);
    panel_.SetValue(OPpwr, set.power);
    panel_.SetText(Rdivider, r.restored.rdividerText);
    panel_.SetCaption(Fvco, r.restored.fvcoCaption);
    panel_.SetValue(OutDivCont, set.outDivExponent);
    panel_.SetCaption(Label6, r.restored.label6Caption);
    panel_.SetText(ResolutionText, r.restored.resolutionText);
    panel_.SetText(FoutText, r.restored.foutText);
    readBackAwaited_ = false;
    decoding_ = false;

    Show(r.tracked, true, set.integerN);
    panel_.SetValue(TrackDivider, 0);
    Show(r.plan, false, set.integerN);
    s_ = r.record;
    return {true, {}};
}

} // namespace max2870
