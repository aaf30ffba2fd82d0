#pragma once

#include "core/option_codes.h"
#include "core/start_values.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace max2870 {

// Which program reads the command line: the two share every panel option and action, the
// sweep and the list; the sender adds its link options, the planner its listing.
enum class ToolProgram { Plan, Send };

enum class SendCommand { Program, Store, Read };

// A sweep as typed: START, STOP and STEP in MHz.
struct SweepRange {
    double start = 0;
    double stop = 0;
    double step = 0;
};

// The command line of the planner and the sender: panel values, actions, steps and output.
struct ToolOptions {
    std::string ref{kStart.reference};
    bool doubler = false;
    bool divideBy2 = false;
    std::string r{kStart.divider};
    std::optional<int> odiv; // none: the start exponent for one plan, "> > >" for each step
    std::string fout{kStart.fout};
    std::string resolution{kStart.resolution};
    bool integerN = false;
    std::string phase{kStart.phase};
    std::string mux{OptionForCode(kMuxCodes, kStart.muxCode)->commandName};
    std::string noise{OptionForCode(kNoiseCodes, kStart.noiseCode)->commandName};
    bool chipEnable = kStart.chipEnable;
    int chargePump = kStart.chargePump;
    bool pdNegative = false;
    bool outputA = kStart.outputA;
    bool outputB = false;
    int power = kStart.power;

    bool findBest = false;
    std::optional<std::string> forceD;
    std::optional<std::array<std::int32_t, 4>> decode; // Reg0, Reg1, Reg2 and Reg4

    std::optional<SweepRange> sweep;
    std::optional<std::string> listFile; // "-" is the standard input
    std::optional<double> warnSpurHz;

    bool listing = false;
    bool json = false;
    bool strict = false; // the planner reads values as the sender does
    bool help = false;   // --help or -h
    bool version = false;

    // The sender only.
    SendCommand command = SendCommand::Program;
    double gapSeconds = 0.2;
    double dwellSeconds = 0;
    long long repeat = 1; // 0: until interrupted
    double timeoutSeconds = 5;
    bool quiet = false;
    std::optional<std::string> serve; // [ADDRESS:]TCPPORT of the SCPI instrument
    bool externalVco = false;         // the board's VCO input is used: the VCO range does not apply
    bool allowRuleBreaks = false;     // send a set that breaks the chip's rules (bench experiments)

    bool Stepped() const { return sweep.has_value() || listFile.has_value(); }
    // The actions that change the panel after its first recompute; without them a plan is that
    // recompute alone.
    bool HasActions() const { return findBest || forceD.has_value() || decode.has_value(); }
};

struct ParsedOptions {
    ToolOptions options;
    std::string error;                 // empty when the command line is good
    std::vector<std::string> operands; // what is not an option: the sender's port
};

// The planner reads its boxes as the window does; the sender (and the planner with --strict)
// refuses a box whose text is not wholly a finite decimal number, naming the option.
ParsedOptions ParseToolOptions(const std::vector<std::string>& arguments, ToolProgram program);

// A box typed on the command line whose text is not wholly a finite number, by its option's name.
struct LooseValue {
    std::string option;
    std::string text;
};
std::vector<LooseValue> LooseValues(const ToolOptions& options);

const char* PlanUsage();
const char* SendUsage();

// The smallest gap between lines: 11 characters at 9600 baud with 2 stop bits.
inline constexpr double kMinimumGapSeconds = 0.0126;
// The longest gap, dwell or time-out: one day.
inline constexpr double kLongestDurationSeconds = 86400;

} // namespace max2870
