#include "common/numbers.h"
#include "model/plan_controller.h"

#include <cmath>
#include <cstdint>
#include <limits>

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

// Tries, for F = 1, 2, ..., the one modulus D nearest F / frac, and keeps the first D whose
// fraction comes closest. Only D is handed on: ForceD -> ResolutionText -> recompute.
void PlanController::FractionSearch() {
    if (!(s_.Fcomp > 0)) {
        return;
    }
    const double ratio = s_.VCO / s_.Fcomp;
    if (!std::isfinite(ratio)) {
        return;
    }
    double bestError = 9999999.0;
    double bestD = 0;
    double frac = ratio - Floor(ratio);
    if (frac == 0) {
        frac = 1.0;
    }
    panel_.SetText(ForceD, "");
    double f = ToInteger(frac);
    for (;;) {
        f = f + 1;
        const double d = ToInteger(f / frac);
        if (d >= 4095) {
            break;
        }
        const double error = f / d - frac;
        if (std::fabs(error) < bestError) {
            bestError = std::fabs(error);
            bestD = d;
        }
        if (std::fabs(error) < 1e-11) {
            break;
        }
    }
    panel_.SetText(ForceD, BlankLedText(bestD));
}

// Counts R up from 1 until an integer-N plan meets the typed output within 1 Hz, or a bound
// stops it; the R and N where it stopped are applied.
void PlanController::ReferenceDividerSearch() {
    if (!(s_.Fr > 0) || !std::isfinite(s_.Fr) || !(s_.OutDiv > 0)) {
        return;
    }
    const double wanted = NumberIn(FoutText);
    double r = 0;
    double n = 0;
    for (;;) {
        r = r + 1;
        n = Floor(s_.Fout * s_.OutDiv * r / s_.Fr);
        const double achieved = (s_.Fr / r) * n / s_.OutDiv;
        if (std::fabs(achieved - wanted) < 1e-6 || r > 1000 || n > 40000) {
            break;
        }
    }
    panel_.SetText(Rdivider, BlankLedText(r));
    s_.N = n;
    s_.R = r;
    panel_.SetText(ForceD, "");
    Recalculate();
}

void PlanController::ForceD_Change() {
    const double typed = NumberIn(ForceD);
    if (!std::isfinite(typed)) {
        return;
    }
    const double d = ToInteger(typed);
    constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
    if (d < kLowest || d > kHighest || d <= 0 || !(s_.R > 0) || !(s_.OutDiv > 0)) {
        return;
    }
    panel_.SetText(ResolutionText, PlainText(s_.Fr * 1000000 / s_.R / d / s_.OutDiv));
}

} // namespace max2870
