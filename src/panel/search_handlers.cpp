#include "core/numbers.h"
#include "core/search_math.h"
#include "panel/plan_controller.h"

namespace max2870 {

using enum ControlId;

void PlanController::NMCalc_Click() {
    Recalculate();
    if (Ticked(FractN)) {
        ReferenceDividerSearch();
    } else {
        FractionSearch();
    }
}

// Only D is handed on: ForceD -> ResolutionText -> recompute. The empty write first makes sure
// the final write always differs from the box's text, so its chain always runs.
void PlanController::FractionSearch() {
    const std::optional<double> best = BestModulus(s_.VCO, s_.Fcomp);
    if (!best) {
        return;
    }
    panel_.SetText(ForceD, "");
    panel_.SetText(ForceD, BlankLedText(*best));
}

void PlanController::ReferenceDividerSearch() {
    const std::optional<ReferenceDividerResult> found =
        SearchReferenceDivider(s_.Fr, s_.Fout, s_.OutDiv, NumberIn(FoutText));
    if (!found) {
        return;
    }
    panel_.SetText(Rdivider, BlankLedText(found->R));
    s_.N = found->N;
    s_.R = found->R;
    panel_.SetText(ForceD, "");
    Recalculate();
}

void PlanController::ForceD_Change() {
    const std::optional<double> resolution =
        ForcedResolution(NumberIn(ForceD), s_.Fr, s_.R, s_.OutDiv);
    if (resolution) {
        panel_.SetText(ResolutionText, PlainText(*resolution));
    }
}

} // namespace max2870
