#include "scpi/scpi_engine.h"

#include "scpi/plan_adapter.h"
#include "scpi/scpi_params.h"

#include <charconv>
#include <cmath>

namespace max2870::scpi {
namespace {

struct TableEntry {
    HeaderPattern header;
    Engine::Handler set;   // none: the header takes no command form
    Engine::Handler query; // none: it takes no query form
};

} // namespace

// The command table: the first pattern a header matches decides.
static const std::vector<TableEntry>& Table() {
    using E = Engine;
    static const std::vector<TableEntry> table = [] {
        const struct {
            const char* pattern;
            Engine::Handler set;
            Engine::Handler query;
        } rows[] = {
            {"*IDN", nullptr, &E::Identify},
            {"*RST", &E::Reset, nullptr},
            {"*CLS", &E::ClearStatus, nullptr},
            {"*OPC", &E::OperationComplete, &E::OperationCompleteQuery},
            {"*WAI", &E::Wait, nullptr},
            {"*ESR", nullptr, &E::EventStatusQuery},
            {"*ESE", &E::SetEventEnable, &E::EventEnableQuery},
            {"*STB", nullptr, &E::StatusByteQuery},
            {"*TST", nullptr, &E::SelfTestQuery},
            {"*SAV", &E::Save, nullptr},
            {"*RCL", &E::Recall, nullptr},
            {"[SOURce:]FREQuency[:CW|:FIXed]", &E::SetFrequency, &E::FrequencyQuery},
            {"[SOURce:]POWer[:LEVel][:IMMediate][:AMPLitude]", &E::SetPower, &E::PowerQuery},
            {"OUTPut[:STATe]", &E::SetOutput, &E::OutputQuery},
            {"[SOURce:]ROSCillator:EXTernal:FREQuency", &E::SetReference, &E::ReferenceQuery},
            {"[SOURce:]FREQuency:MODE", &E::SetMode, &E::ModeQuery},
            {"[SOURce:]FREQuency:STARt", &E::SetStart, &E::StartQuery},
            {"[SOURce:]FREQuency:STOP", &E::SetStop, &E::StopQuery},
            {"[SOURce:]SWEep:POINts", &E::SetPoints, &E::PointsQuery},
            {"[SOURce:]SWEep:DWELl", &E::SetSweepDwell, &E::SweepDwellQuery},
            {"[SOURce:]LIST:FREQuency", &E::SetList, &E::ListQuery},
            {"[SOURce:]LIST:DWELl", &E::SetListDwell, &E::ListDwellQuery},
            {"INITiate[:IMMediate]", &E::Initiate, nullptr},
            {"ABORt", &E::Abort, nullptr},
            {"PLAN", nullptr, &E::PlanQuery},
            {"SYSTem:ERRor[:NEXT]", nullptr, &E::ErrorQuery},
            {"SYSTem:ERRor:COUNt", nullptr, &E::ErrorCountQuery},
            {"SYSTem:VERSion", nullptr, &E::VersionQuery},
        };
        std::vector<TableEntry> entries;
        for (const auto& row : rows) {
            entries.push_back({HeaderPattern(row.pattern), row.set, row.query});
        }
        return entries;
    }();
    return table;
}

std::string LineRun::ReplyLine() const {
    if (replies.empty()) {
        return {};
    }
    std::string line;
    for (const std::string& reply : replies) {
        line += (line.empty() ? "" : ";") + reply;
    }
    return line + "\n";
}

std::string NumberText(double value) {
    if (std::isnan(value)) {
        return "9.91E+37";
    }
    if (std::isinf(value)) {
        return value > 0 ? "9.9E+37" : "-9.9E+37";
    }
    // Fixed notation, shortest digits that read back: 2400000000, not 2.4e+09.
    char text[400];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    return std::string(text, written.ptr);
}

Engine::Engine(InstrumentSettings start, InstrumentLink& link, std::string identity)
    : start_(std::move(start)), settings_(start_),
      plan_(PlanOfSetting(start_.panel, start_.gate).plan), link_(link),
      identity_(std::move(identity)) {}

LineRun Engine::Begin(std::string_view line) {
    LineRun run;
    run.commands = SplitLine(line);
    return run;
}

void Engine::Run(LineRun& run, Session& session, int client) {
    if (run.next == 0 && !run.waitFor) {
        session.path.clear(); // every line starts at the root
    }
    for (;;) {
        if (run.waitFor) {
            if (!link_.Done(*run.waitFor)) {
                return;
            }
            run.waitFor.reset();
            if (run.replyAfterWait) {
                run.replies.push_back(*run.replyAfterWait);
                run.replyAfterWait.reset();
            }
        }
        if (run.stopped || run.next >= run.commands.size()) {
            return;
        }
        Execute(run.commands[run.next++], run, session, client);
    }
}

std::string Engine::Execute(std::string_view line, Session& session, int client) {
    LineRun run = Begin(line);
    Run(run, session, client);
    return run.ReplyLine();
}

void Engine::Execute(const Command& command, LineRun& run, Session& session, int client) {
    Call call{command, session, run, client, {}};
    int code = command.error;
    if (code == kNoError) {
        std::vector<std::string> nodes = command.nodes;
        if (!command.common && !command.absolute) {
            nodes.insert(nodes.begin(), session.path.begin(), session.path.end());
        }
        const TableEntry* found = nullptr;
        for (const TableEntry& entry : Table()) {
            if (entry.header.Matches(nodes) && (command.query ? entry.query : entry.set)) {
                found = &entry;
                break;
            }
        }
        if (found == nullptr) {
            code = kUndefinedHeader;
        } else {
            if (!command.common) {
                session.path.assign(nodes.begin(), nodes.end() - 1);
            }
            if (command.query && !command.params.empty()) {
                code = kParameterNotAllowed;
            } else {
                code = (this->*(command.query ? found->query : found->set))(call);
            }
        }
    }
    if (code != kNoError) {
        session.Push(code, call.detail);
        run.stopped = true;
    }
}

int Engine::Commit(const InstrumentSettings& next, Call& call) {
    const SettingPlan planned = PlanOfSetting(next.panel, settings_.gate);
    if (!planned.refusal.empty()) {
        call.detail = planned.refusal;
        return kSettingsConflict;
    }
    settings_ = next;
    plan_ = planned.plan;
    Changed(call.command.nodes.back());
    return Sent(link_.Program(plan_.words, call.client));
}

int Engine::Sent(LinkAnswer answer) {
    switch (answer) {
    case LinkAnswer::Queued:
        return kNoError;
    case LinkAnswer::Missing:
        return kHardwareMissing;
    case LinkAnswer::Failed:
        break;
    }
    return kHardwareError;
}

void Engine::Changed(const std::string& command) {
    if (observer_) {
        observer_(settings_, command);
    }
}

std::optional<std::string> Engine::Restore(const std::array<std::int32_t, 4>& words) {
    std::string refusal;
    const std::optional<PlanInputs> panel = RestoredPanel(settings_.panel, words, refusal);
    if (!panel) {
        return refusal;
    }
    settings_.panel = *panel;
    plan_ = PlanOfSetting(settings_.panel, settings_.gate).plan;
    Changed("*RCL");
    return std::nullopt;
}

void Engine::Adopt(const PlanInputs& panel) {
    settings_.panel = panel;
    plan_ = PlanOfSetting(panel, settings_.gate).plan;
}

int Engine::Identify(Call& call) {
    call.run.replies.push_back(identity_);
    return kNoError;
}

int Engine::Reset(Call& call) {
    if (const int code = CountParams(call.command, 0)) {
        return code;
    }
    link_.Abort();
    link_.Forget();
    settings_ = start_;
    plan_ = PlanOfSetting(settings_.panel, settings_.gate).plan;
    Changed("*RST");
    return kNoError;
}

int Engine::ClearStatus(Call& call) {
    if (const int code = CountParams(call.command, 0)) {
        return code;
    }
    call.session.Clear();
    return kNoError;
}

int Engine::OperationComplete(Call& call) {
    if (const int code = CountParams(call.command, 0)) {
        return code;
    }
    call.session.opcAfter = link_.Issued();
    return kNoError;
}

int Engine::OperationCompleteQuery(Call& call) {
    call.run.waitFor = link_.Issued();
    call.run.replyAfterWait.emplace(1, '1');
    return kNoError;
}

int Engine::Wait(Call& call) {
    if (const int code = CountParams(call.command, 0)) {
        return code;
    }
    call.run.waitFor = link_.Issued();
    return kNoError;
}

int Engine::EventStatusQuery(Call& call) {
    Session& session = call.session;
    if (session.opcAfter && link_.Done(*session.opcAfter)) {
        session.SetEventStatusBits(Session::kOperationComplete);
        session.opcAfter.reset();
    }
    call.run.replies.push_back(std::to_string(session.TakeEventStatus()));
    return kNoError;
}

int Engine::SetEventEnable(Call& call) {
    long long mask = 0;
    if (const int code = CountParams(call.command, 1)) {
        return code;
    }
    if (const int code = WholeParam(call.command.params[0], {0, 255, 0}, mask)) {
        return code;
    }
    call.session.enableMask = static_cast<int>(mask);
    return kNoError;
}

int Engine::EventEnableQuery(Call& call) {
    call.run.replies.push_back(std::to_string(call.session.enableMask));
    return kNoError;
}

int Engine::StatusByteQuery(Call& call) {
    const Session& session = call.session;
    // Bit 2: the error queue holds something; bit 5: an enabled event is set.
    const int stb = (session.Count() > 0 ? 1 << 2 : 0) |
                    ((session.EventStatus() & session.enableMask) != 0 ? 1 << 5 : 0);
    call.run.replies.push_back(std::to_string(stb));
    return kNoError;
}

int Engine::SelfTestQuery(Call& call) {
    call.run.replies.emplace_back("0");
    return kNoError;
}

int Engine::Save(Call& call) {
    long long slot = 0;
    if (const int code = CountParams(call.command, 1)) {
        return code;
    }
    if (const int code = WholeParam(call.command.params[0], {0, 0, 0}, slot)) {
        return code;
    }
    const SettingPlan planned = PlanOfSetting(settings_.panel, settings_.gate);
    if (!planned.refusal.empty()) {
        call.detail = planned.refusal;
        return kSettingsConflict;
    }
    return Sent(link_.Store(planned.plan.words, call.client));
}

int Engine::Recall(Call& call) {
    long long slot = 0;
    if (const int code = CountParams(call.command, 1)) {
        return code;
    }
    if (const int code = WholeParam(call.command.params[0], {0, 0, 0}, slot)) {
        return code;
    }
    return Sent(link_.Recall(call.client));
}

int Engine::PlanQuery(Call& call) {
    call.run.replies.push_back(PlanJsonOf(settings_.panel));
    return kNoError;
}

int Engine::ErrorQuery(Call& call) {
    call.run.replies.push_back(call.session.Pop());
    return kNoError;
}

int Engine::ErrorCountQuery(Call& call) {
    call.run.replies.push_back(std::to_string(call.session.Count()));
    return kNoError;
}

int Engine::VersionQuery(Call& call) {
    call.run.replies.emplace_back("1999.0");
    return kNoError;
}

} // namespace max2870::scpi
