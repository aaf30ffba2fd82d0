#pragma once

#include "tool_options.h"

#include <optional>
#include <string>

namespace max2870 {

// The wanted frequencies of a sweep, each as the text typed into the wanted-frequency box.
class StepList {
public:
    // START + i x STEP for i = 0, 1, ... while not past STOP; STOP itself is included when it is
    // hit within a millionth of a step. Each step is computed afresh, never as a running sum.
    static std::optional<StepList> Sweep(const SweepRange& range, std::string& error);

    long long Count() const { return count_; }
    std::string Text(long long index) const;

private:
    SweepRange range_;
    long long count_ = 0;
};

} // namespace max2870
