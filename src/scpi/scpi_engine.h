#pragma once

#include "core/plan.h"
#include "scpi/instrument_link.h"
#include "scpi/instrument_settings.h"
#include "scpi/scpi_parser.h"
#include "scpi/scpi_session.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace max2870::scpi {

// One line on its way through the engine: it stops at *OPC? or *WAI while the link still has
// work before them, and goes on from there when the owner runs it again.
struct LineRun {
    std::vector<Command> commands;
    std::size_t next = 0;
    std::vector<std::string> replies;
    std::optional<Ticket> waitFor;
    std::optional<std::string> replyAfterWait;
    bool stopped = false; // an error ends the line

    bool Waiting() const { return waitFor.has_value(); }
    // The queries' answers joined by ';' with the LF, or nothing when the line asked nothing.
    std::string ReplyLine() const;
};

// The instrument: the settings every connection shares, the command table and what each
// command does to the settings and the link. Toolkit-free; the server only moves text.
class Engine {
public:
    // Called after every change of the panel inputs, with the command that made it.
    using Observer = std::function<void(const InstrumentSettings&, const std::string& command)>;

    Engine(InstrumentSettings start, InstrumentLink& link, std::string identity);

    static LineRun Begin(std::string_view line);
    // Executes the line's commands until it ends or must wait for the link.
    void Run(LineRun& run, Session& session, int client);
    // A whole line at once, for a link that is never busy; the reply line or "".
    std::string Execute(std::string_view line, Session& session, int client = 0);

    // The state after *RCL: the stored set read back from the board (Reg0, Reg1, Reg2, Reg4).
    // The refusal reason when it cannot be restored.
    std::optional<std::string> Restore(const std::array<std::int32_t, 4>& words);

    // Takes the panel as another hand (the operator) left it, before a line is applied.
    void Adopt(const PlanInputs& panel);

    // The link's count of operations given, and whether it has done that many.
    Ticket LinkIssued() const { return link_.Issued(); }
    bool LinkDone(Ticket ticket) const { return link_.Done(ticket); }

    const InstrumentSettings& Settings() const { return settings_; }
    const Plan& CurrentPlan() const { return plan_; }
    void SetObserver(Observer observer) { observer_ = std::move(observer); }

    struct Call {
        const Command& command;
        Session& session;
        LineRun& run;
        int client;
        std::string detail; // the error's detail, after the text
    };
    using Handler = int (Engine::*)(Call&);

    // The command table's handlers: each returns an error code, 0 when it did its work.
    int Identify(Call& call);
    int Reset(Call& call);
    int ClearStatus(Call& call);
    int OperationComplete(Call& call);
    int OperationCompleteQuery(Call& call);
    int Wait(Call& call);
    int EventStatusQuery(Call& call);
    int SetEventEnable(Call& call);
    int EventEnableQuery(Call& call);
    int StatusByteQuery(Call& call);
    int SelfTestQuery(Call& call);
    int Save(Call& call);
    int Recall(Call& call);
    int SetFrequency(Call& call);
    int FrequencyQuery(Call& call);
    int SetPower(Call& call);
    int PowerQuery(Call& call);
    int SetOutput(Call& call);
    int OutputQuery(Call& call);
    int SetReference(Call& call);
    int ReferenceQuery(Call& call);
    int SetMode(Call& call);
    int ModeQuery(Call& call);
    int SetStart(Call& call);
    int StartQuery(Call& call);
    int SetStop(Call& call);
    int StopQuery(Call& call);
    int SetPoints(Call& call);
    int PointsQuery(Call& call);
    int SetSweepDwell(Call& call);
    int SweepDwellQuery(Call& call);
    int SetList(Call& call);
    int ListQuery(Call& call);
    int SetListDwell(Call& call);
    int ListDwellQuery(Call& call);
    int Initiate(Call& call);
    int Abort(Call& call);
    int PlanQuery(Call& call);
    int ErrorQuery(Call& call);
    int ErrorCountQuery(Call& call);
    int VersionQuery(Call& call);

private:
    void Execute(const Command& command, LineRun& run, Session& session, int client);

    int Commit(const InstrumentSettings& next, Call& call);
    int Sent(LinkAnswer answer);
    void Changed(const std::string& command);

    const InstrumentSettings start_;
    InstrumentSettings settings_;
    Plan plan_;
    InstrumentLink& link_;
    std::string identity_;
    Observer observer_;
};

// The shortest decimal text that reads back as the value; 9.9E+37 for an infinity and 9.91E+37
// for a NaN, as SCPI writes them.
std::string NumberText(double value);

} // namespace max2870::scpi
