#include "core/search_math.h"

#include "core/numbers.h"
#include "core/register_map.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace max2870 {

std::optional<double> BestModulus(double vco, double fcomp) {
    if (!(fcomp > 0)) {
        return std::nullopt;
    }
    const double ratio = vco / fcomp;
    if (!std::isfinite(ratio)) {
        return std::nullopt;
    }
    const double widestModulus = FieldMaximum(FieldOf(FieldId::Denom));
    double bestError = 9999999.0;
    double bestD = 0;
    double frac = ratio - Floor(ratio);
    if (frac == 0) {
        frac = 1.0;
    }
    double f = ToInteger(frac);
    for (;;) {
        f = f + 1;
        const double d = ToInteger(f / frac);
        if (d >= widestModulus) {
            break; // the widest modulus itself is never tried
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
    return bestD;
}

std::optional<ReferenceDividerResult> SearchReferenceDivider(double fr, double fout, double outDiv,
                                                             double wanted) {
    if (!(fr > 0) || !std::isfinite(fr) || !(outDiv > 0)) {
        return std::nullopt;
    }
    ReferenceDividerResult at;
    for (;;) {
        at.R = at.R + 1;
        at.N = Floor(fout * outDiv * at.R / fr);
        const double achieved = (fr / at.R) * at.N / outDiv;
        if (std::fabs(achieved - wanted) < 1e-6 || at.R > 1000 || at.N > 40000) {
            return at;
        }
    }
}

std::optional<double> ForcedResolution(double typedD, double fr, double r, double outDiv) {
    if (!std::isfinite(typedD)) {
        return std::nullopt;
    }
    const double d = ToInteger(typedD);
    constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
    if (d < kLowest || d > kHighest || d <= 0 || !(r > 0) || !(outDiv > 0)) {
        return std::nullopt;
    }
    return fr * 1000000 / r / d / outDiv;
}

} // namespace max2870
