#include "step_list.h"

#include "core/numbers.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>

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

StepList StepList::List(std::istream& in) {
    StepList steps;
    steps.list_ = true;
    std::string line;
    while (std::getline(in, line)) {
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        if (line.find_first_not_of(" \t") == std::string::npos || line.starts_with('#')) {
            continue;
        }
        steps.texts_.push_back(line);
    }
    return steps;
}

std::string StepList::Text(long long index) const {
    if (list_) {
        return texts_[static_cast<std::size_t>(index)];
    }
    return PlainText(range_.start + static_cast<double>(index) * range_.step);
}

std::optional<StepList> ReadStepList(const std::string& path, std::string& error) {
    if (path == "-") {
        return StepList::List(std::cin);
    }
    std::ifstream file(path, std::ios::binary);
    std::error_code ignored;
    if (!file || std::filesystem::is_directory(path, ignored)) {
        error = "--list: cannot read '" + path + "'";
        return std::nullopt;
    }
    StepList steps = StepList::List(file);
    if (file.bad()) {
        error = "--list: cannot read '" + path + "'";
        return std::nullopt;
    }
    return steps;
}

} // namespace max2870
