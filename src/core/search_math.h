#pragma once

#include <optional>

namespace max2870 {

// The modulus the fraction search settles on for a VCO and comparison frequency: for F = 1, 2,
// ... the one D nearest F / frac is tried, and the first D whose fraction comes closest stays
// (0 when no D below 4095 was tried). None without a valid plan (no positive Fcomp, or a ratio
// that is not finite): the search then does nothing at all.
std::optional<double> BestModulus(double vco, double fcomp);

struct ReferenceDividerResult {
    double R = 0;
    double N = 0;
};

// The R search of integer-N mode: counts R up from 1 until Fr / R x N / OutDiv meets the
// wanted output within 1e-6 MHz, or R passes 1000, or N passes 40000. None without a positive,
// finite reference or a positive divider.
std::optional<ReferenceDividerResult> SearchReferenceDivider(double fr, double fout, double outDiv,
                                                             double wanted);

// The resolution in Hz that makes the recompute derive the forced modulus typed in the box:
// Fr x 1e6 / R / D / OutDiv. None (nothing happens) when the text's number is not finite or
// leaves the signed 32-bit range once rounded, when D <= 0, or when R or OutDiv is not positive.
std::optional<double> ForcedResolution(double typedD, double fr, double r, double outDiv);

} // namespace max2870
