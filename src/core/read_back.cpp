#include "core/read_back.h"

#include "core/numbers.h"
#include "core/option_codes.h"
#include "core/plan_display.h"

namespace max2870 {
namespace {

// Only the codes a button stands for select one; any other leaves the group as it was, and the
// recompute then packs the selected button's code.
std::optional<std::int32_t> Selected(std::span<const OptionCode> group, std::int32_t code,
                                     std::optional<std::int32_t> before) {
    return OptionForCode(group, code) != nullptr ? code : before;
}

// The record as the decoder leaves it before its recomputes.
SynthState DecodedRecord(const DecodedSettings& set, const RestoredPlan& restored,
                         bool integerNTicked, SynthState record) {
    record.N = set.N;
    // Ticking "Integer N" clears F at once.
    record.Fract = integerNTicked ? 0 : set.Fract;
    record.Denom = set.Denom;
    record.R = set.R;
    record.MuxVal = static_cast<std::int16_t>(set.muxCode);
    record.NoiseMode = set.noiseCode;
    record.Fr = restored.Fr;
    record.Fcomp = restored.Fcomp;
    record.OutDiv = restored.OutDiv;
    record.Resolution = restored.Resolution;
    record.VCO = restored.VCO;
    record.Fout = restored.Fout;
    return record;
}

} // namespace

PlanInputs RestoredInputs(const DecodedSettings& set, const RestoredPlan& restored,
                          const PlanInputs& panel) {
    PlanInputs in = panel;
    in.tracking = true;
    in.outputB = set.outputB;
    in.outputA = set.outputA;
    in.integerN = set.integerN;
    in.refDoubler = set.refDoubler;
    in.refDivide2 = set.refDivide2;
    in.muxCode = Selected(kMuxCodes, set.muxCode, panel.muxCode);
    in.noiseCode = Selected(kNoiseCodes, set.noiseCode, panel.noiseCode);
    in.pdNegative = set.pdNegative;
    in.chargePump = set.chargePump;
    in.power = set.power;
    in.rdividerText = restored.rdividerText;
    in.outDivExponent = set.outDivExponent;
    in.resolutionText = restored.resolutionText;
    in.foutText = restored.foutText;
    return in;
}

std::variant<RestoredSet, DecodeRefusal>
RestoreSet(const ReadBackWords& words, const PlanInputs& panel, const SynthState& record) {
    auto decoded = DecodeWords(words);
    if (auto* refusal = std::get_if<DecodeRefusal>(&decoded)) {
        return std::move(*refusal);
    }
    RestoredSet r;
    r.settings = std::get<DecodedSettings>(decoded);
    r.restored = RestorePlan(r.settings, NumberOfText(panel.frText));
    r.forceDCleared = r.settings.integerN && !panel.integerN;
    r.inputs = RestoredInputs(r.settings, r.restored, panel);
    r.record = DecodedRecord(r.settings, r.restored, r.forceDCleared, record);

    // First with tracking on, so the decoded VCO stays as decoded, then as the operator sees it.
    r.tracked = MakePlan(r.inputs, CarryOf(r.record));
    ApplyPlan(r.tracked, r.record);
    WriteBack(DisplayOf(r.tracked, true), r.inputs);
    r.inputs.tracking = false;
    r.plan = MakePlan(r.inputs, CarryOf(r.tracked));
    ApplyPlan(r.plan, r.record);
    WriteBack(DisplayOf(r.plan, false), r.inputs);
    return r;
}

} // namespace max2870
