#pragma once

#include "tool_options.h"

#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace max2870 {

// The wanted frequencies of a sweep or a hop list, each as the text typed into the
// wanted-frequency box.
class StepList {
public:
    // START + i x STEP for i = 0, 1, ... while not past STOP; STOP itself is included when it is
    // hit within a millionth of a step. Each step is computed afresh, never as a running sum.
    static std::optional<StepList> Sweep(const SweepRange& range, std::string& error);
    // One frequency per line, LF or CR LF; blank lines and lines starting with '#' skipped.
    static StepList List(std::istream& in);

    long long Count() const { return list_ ? static_cast<long long>(texts_.size()) : count_; }
    std::string Text(long long index) const;

private:
    bool list_ = false;
    std::vector<std::string> texts_;
    SweepRange range_;
    long long count_ = 0;
};

// Reads the list file of the options ("-" is the standard input); none when it cannot be read.
std::optional<StepList> ReadStepList(const std::string& path, std::string& error);

} // namespace max2870
