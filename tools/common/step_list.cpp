#include "step_list.h"

#include "core/numbers.h"

#include <cmath>

namespace max2870 {

std::optional<StepList> StepList::Sweep(const SweepRange& range, std::string& error) {
    if (range.step == 0) {
        error = "--sweep: STEP must not be 0";
        return std::nullopt;
    }
    const double count = std::floor((range.stop - range.start) / range.step + 1e-6) + 1;
    if (!(count >= 1)) {
        error = "--sweep: a STEP of that sign never reaches STOP";
        return std::nullopt;
    }
    // Beyond this the step texts could no longer tell the steps apart.
    if (count > 1e12) {
        error = "--sweep: more than 10^12 steps";
        return std::nullopt;
    }
    StepList steps;
    steps.range_ = range;
    steps.count_ = static_cast<long long>(count);
    return steps;
}

std::string StepList::Text(long long index) const {
    return PlainText(range_.start + static_cast<double>(index) * range_.step);
}

} // namespace max2870
