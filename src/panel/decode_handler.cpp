#include "core/decode.h"
#include "core/numbers.h"
#include "panel/option_codes.h"
#include "panel/plan_controller.h"

#include <cmath>

namespace max2870 {

using enum ControlId;

namespace {

int Box(bool ticked) {
    return ticked ? 1 : 0;
}

} // namespace

// The decoder's own control writes start no recompute; each handler still runs, so the spinner
// labels follow the restored values. Only the two final recomputes run.
DecodeResult PlanController::DecodeRegisters() {
    const auto decoded = DecodeWords({s_.RxReg[0], s_.RxReg[1], s_.RxReg[2], s_.RxReg[4]});
    if (const auto* refusal = std::get_if<DecodeRefusal>(&decoded)) {
        outcome_ = RunOutcome::Rejected;
        return {false, refusal->reason};
    }
    const auto& set = std::get<DecodedSettings>(decoded);
    decoding_ = true;
    panel_.SetValue(TrackDivider, 1);
    s_.N = set.N;
    s_.Fract = set.Fract;
    s_.Denom = set.Denom;
    s_.R = set.R;
    s_.OutDiv = std::ldexp(1.0, set.outDivExponent);
    panel_.SetValue(Bon, Box(set.outputB));
    panel_.SetValue(Aon, Box(set.outputA));
    panel_.SetValue(FractN, Box(set.integerN));
    panel_.SetValue(RefDbl, Box(set.refDoubler));
    panel_.SetValue(Refdiv2, Box(set.refDivide2));
    s_.MuxVal = static_cast<std::int16_t>(set.muxCode);
    if (const OptionCode* mux = OptionForCode(kMuxCodes, set.muxCode)) {
        panel_.SetValue(mux->option, 1);
    }
    s_.NoiseMode = set.noiseCode;
    if (const OptionCode* noise = OptionForCode(kNoiseCodes, set.noiseCode)) {
        panel_.SetValue(noise->option, 1);
    }
    panel_.SetValue(PDpol, Box(set.pdNegative));
    panel_.SetValue(ChrgPump, set.chargePump);
    panel_.SetValue(OPpwr, set.power);

    const RestoredPlan restored = RestorePlan(set, NumberIn(FrText));
    s_.Fr = restored.Fr;
    panel_.SetText(Rdivider, restored.rdividerText);
    s_.Fcomp = restored.Fcomp;
    s_.Resolution = restored.Resolution;
    s_.VCO = restored.VCO;
    panel_.SetCaption(Fvco, restored.fvcoCaption);
    s_.Fout = restored.Fout;
    panel_.SetValue(OutDivCont, set.outDivExponent);
    panel_.SetCaption(Label6, restored.label6Caption);
    panel_.SetText(ResolutionText, restored.resolutionText);
    panel_.SetText(FoutText, restored.foutText);
    s_.InitFlag = false;
    decoding_ = false;

    // First with tracking on, so the decoded VCO stays as decoded, then as the operator sees it.
    Recalculate();
    panel_.SetValue(TrackDivider, 0);
    Recalculate();
    return {true, {}};
}

} // namespace max2870
