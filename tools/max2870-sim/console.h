#pragma once

#include "chip_analysis.h"

#include <chrono>
#include <string_view>

namespace max2870sim {

// The verbose console: each line as it arrived, with the wall-clock time and the gap since the
// previous line, so the pacing of the sender can be read off directly.
class Console {
public:
    explicit Console(bool verbose) : verbose_(verbose) {}

    void LineArrived(std::string_view line, std::string_view note);
    void ChipTuned(const ChipAnalysis& analysis);
    void Problem(std::string_view text); // always shown, on stderr

private:
    bool verbose_;
    std::chrono::steady_clock::time_point previous_{};
    bool first_ = true;
};

} // namespace max2870sim
