#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace max2870 {

enum class PlanOutput { Results, Listing, Json };

// The command line of the planner: panel values, actions and the output wanted.
struct PlanOptions {
    std::string ref = "10";
    bool doubler = false;
    bool divideBy2 = false;
    std::string r = "1";
    int odiv = 0;
    std::string fout = "2320.5";
    std::string resolution = "10000";
    bool integerN = false;
    std::string phase = "0";
    std::string mux = "lock";
    std::string noise = "low-noise";
    bool chipEnable = true;
    int chargePump = 15;
    bool pdNegative = false;
    bool outputA = true;
    bool outputB = false;
    int power = 3;

    bool findBest = false;
    std::optional<std::string> forceD;
    std::optional<std::array<std::int32_t, 4>> decode; // words for RxReg 0, 1, 2 and 4

    bool listing = false;
    bool json = false;
    bool help = false;
    bool version = false;

    PlanOutput Output() const {
        if (json) {
            return PlanOutput::Json;
        }
        return listing ? PlanOutput::Listing : PlanOutput::Results;
    }
};

struct ParsedOptions {
    PlanOptions options;
    std::string error; // empty when the command line is good
};

ParsedOptions ParsePlanOptions(const std::vector<std::string>& arguments);

const char* PlanUsage();

} // namespace max2870
