// The commands that set the synthesizer: output, reference, sweep, list and their passes.
#include "scpi/plan_adapter.h"
#include "scpi/scpi_engine.h"
#include "scpi/scpi_params.h"

#include "core/numbers.h"

#include <cmath>

namespace max2870::scpi {
namespace {

// The chip's output power steps, -4 to 5 dBm, three apart.
int PowerStepDbm(int code) {
    return -4 + 3 * code;
}

int PowerCodeOf(double dbm) {
    // Nearest step; a value halfway between two goes up.
    return static_cast<int>(std::floor((dbm + 4) / 3 + 0.5));
}

double StartHz(const InstrumentSettings& start) {
    return NumberOfText(start.panel.foutText) * 1e6;
}

constexpr Limits kReferenceLimits{10e6, 210e6, 0};
constexpr Limits kPointLimits{2, kMaximumPoints, 11};
constexpr Limits kDwellLimits{0, kMaximumDwellSeconds, 0};

Limits OutputLimits(double def) {
    return {kMinimumOutputHz, kMaximumOutputHz, def};
}

// The panel with the wanted output and the divider "> > >" picks for it.
PlanInputs Tuned(PlanInputs panel, double hz) {
    panel.foutText = BoxText(hz / 1e6);
    panel.outDivExponent = DividerExponentForMhz(hz / 1e6);
    return panel;
}

std::vector<double> SweepPoints(const InstrumentSettings& s) {
    std::vector<double> points;
    const auto count = static_cast<std::size_t>(s.points);
    for (std::size_t i = 0; i < count; ++i) {
        // Each point afresh from the ends, and the last one the stop itself.
        points.push_back(i + 1 == count
                             ? s.stopHz
                             : s.startHz + (s.stopHz - s.startHz) * static_cast<double>(i) /
                                               static_cast<double>(count - 1));
    }
    return points;
}

} // namespace

int Engine::SetFrequency(Call& call) {
    double hz = 0;
    if (const int code = CountParams(call.command, 1)) {
        return code;
    }
    const Limits limits = OutputLimits(StartHz(start_));
    if (const int code = NumberParam(call.command.params[0], Unit::Frequency, limits, hz)) {
        return code;
    }
    InstrumentSettings next = settings_;
    next.panel = Tuned(next.panel, hz);
    return Commit(next, call);
}

int Engine::FrequencyQuery(Call& call) {
    call.run.replies.push_back(NumberText(plan_.Fout * 1e6));
    return kNoError;
}

int Engine::SetPower(Call& call) {
    double dbm = 0;
    if (const int code = CountParams(call.command, 1)) {
        return code;
    }
    const Limits limits{-4, 5, static_cast<double>(PowerStepDbm(start_.panel.power))};
    if (const int code = NumberParam(call.command.params[0], Unit::Power, limits, dbm)) {
        return code;
    }
    InstrumentSettings next = settings_;
    next.panel.power = PowerCodeOf(dbm);
    return Commit(next, call);
}

int Engine::PowerQuery(Call& call) {
    call.run.replies.push_back(std::to_string(PowerStepDbm(settings_.panel.power)));
    return kNoError;
}

int Engine::SetOutput(Call& call) {
    if (const int code = CountParams(call.command, 1)) {
        return code;
    }
    const std::variant<bool, int> on = ReadBoolean(call.command.params[0]);
    if (const int* code = std::get_if<int>(&on)) {
        return *code;
    }
    InstrumentSettings next = settings_;
    next.panel.outputA = std::get<bool>(on);
    return Commit(next, call);
}

int Engine::OutputQuery(Call& call) {
    call.run.replies.emplace_back(settings_.panel.outputA ? "1" : "0");
    return kNoError;
}

int Engine::SetReference(Call& call) {
    double hz = 0;
    if (const int code = CountParams(call.command, 1)) {
        return code;
    }
    Limits limits = kReferenceLimits;
    limits.def = NumberOfText(start_.panel.frText) * 1e6;
    if (const int code = NumberParam(call.command.params[0], Unit::Frequency, limits, hz)) {
        return code;
    }
    InstrumentSettings next = settings_;
    next.panel.frText = BoxText(hz / 1e6);
    return Commit(next, call);
}

int Engine::ReferenceQuery(Call& call) {
    call.run.replies.push_back(NumberText(NumberOfText(settings_.panel.frText) * 1e6));
    return kNoError;
}

int Engine::SetMode(Call& call) {
    if (const int code = CountParams(call.command, 1)) {
        return code;
    }
    const std::string& text = call.command.params[0];
    if (!ReadWord(text)) {
        return kDataTypeError;
    }
    if (IsMnemonic(text, "CW") || IsMnemonic(text, "FIXed")) {
        settings_.mode = FrequencyMode::Cw;
    } else if (IsMnemonic(text, "SWEep")) {
        settings_.mode = FrequencyMode::Sweep;
    } else if (IsMnemonic(text, "LIST")) {
        settings_.mode = FrequencyMode::List;
    } else {
        return kInvalidCharacterData;
    }
    return kNoError;
}

int Engine::ModeQuery(Call& call) {
    const FrequencyMode mode = settings_.mode;
    call.run.replies.emplace_back(mode == FrequencyMode::Cw      ? "CW"
                                  : mode == FrequencyMode::Sweep ? "SWE"
                                                                 : "LIST");
    return kNoError;
}

namespace {

int SetHz(const Command& command, double def, double& target) {
    if (const int code = CountParams(command, 1)) {
        return code;
    }
    double hz = 0;
    const int code = NumberParam(command.params[0], Unit::Frequency, OutputLimits(def), hz);
    if (code == kNoError) {
        target = hz;
    }
    return code;
}

int SetSeconds(const Command& command, double& target) {
    if (const int code = CountParams(command, 1)) {
        return code;
    }
    double seconds = 0;
    const int code = NumberParam(command.params[0], Unit::Time, kDwellLimits, seconds);
    if (code == kNoError) {
        target = seconds;
    }
    return code;
}

} // namespace

int Engine::SetStart(Call& call) {
    return SetHz(call.command, start_.startHz, settings_.startHz);
}

int Engine::StartQuery(Call& call) {
    call.run.replies.push_back(NumberText(settings_.startHz));
    return kNoError;
}

int Engine::SetStop(Call& call) {
    return SetHz(call.command, start_.stopHz, settings_.stopHz);
}

int Engine::StopQuery(Call& call) {
    call.run.replies.push_back(NumberText(settings_.stopHz));
    return kNoError;
}

int Engine::SetPoints(Call& call) {
    if (const int code = CountParams(call.command, 1)) {
        return code;
    }
    return WholeParam(call.command.params[0], kPointLimits, settings_.points);
}

int Engine::PointsQuery(Call& call) {
    call.run.replies.push_back(std::to_string(settings_.points));
    return kNoError;
}

int Engine::SetSweepDwell(Call& call) {
    return SetSeconds(call.command, settings_.sweepDwellSeconds);
}

int Engine::SweepDwellQuery(Call& call) {
    call.run.replies.push_back(NumberText(settings_.sweepDwellSeconds));
    return kNoError;
}

int Engine::SetList(Call& call) {
    const auto& params = call.command.params;
    if (params.empty()) {
        return kMissingParameter;
    }
    if (params.size() > static_cast<std::size_t>(kMaximumPoints)) {
        return kTooMuchData;
    }
    std::vector<double> list(params.size());
    const Limits limits = OutputLimits(StartHz(start_));
    for (std::size_t i = 0; i < params.size(); ++i) {
        if (const int code = NumberParam(params[i], Unit::Frequency, limits, list[i])) {
            call.detail = "point " + std::to_string(i + 1);
            return code;
        }
    }
    settings_.listHz = std::move(list);
    return kNoError;
}

int Engine::ListQuery(Call& call) {
    std::string text;
    for (const double hz : settings_.listHz) {
        text += (text.empty() ? "" : ",") + NumberText(hz);
    }
    call.run.replies.push_back(text);
    return kNoError;
}

int Engine::SetListDwell(Call& call) {
    return SetSeconds(call.command, settings_.listDwellSeconds);
}

int Engine::ListDwellQuery(Call& call) {
    call.run.replies.push_back(NumberText(settings_.listDwellSeconds));
    return kNoError;
}

int Engine::Initiate(Call& call) {
    if (const int code = CountParams(call.command, 0)) {
        return code;
    }
    if (settings_.mode == FrequencyMode::Cw) {
        return kNoError; // a fixed frequency has no pass to run
    }
    const bool sweep = settings_.mode == FrequencyMode::Sweep;
    const std::vector<double> points = sweep ? SweepPoints(settings_) : settings_.listHz;
    if (points.empty()) {
        call.detail = "the list is empty";
        return kSettingsConflict;
    }
    std::vector<RegisterWords> words;
    words.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const SettingPlan planned =
            PlanOfSetting(Tuned(settings_.panel, points[i]), settings_.gate);
        if (!planned.refusal.empty()) {
            call.detail = "point " + std::to_string(i + 1) + " (" + NumberText(points[i]) +
                          " Hz): " + planned.refusal;
            return kSettingsConflict;
        }
        words.push_back(planned.plan.words);
    }
    const double dwell = sweep ? settings_.sweepDwellSeconds : settings_.listDwellSeconds;
    return Sent(link_.RunPass(std::move(words), dwell, call.client));
}

int Engine::Abort(Call& call) {
    if (const int code = CountParams(call.command, 0)) {
        return code;
    }
    link_.Abort();
    return kNoError;
}

} // namespace max2870::scpi
