#include "app/scpi_bridge.h"

#include "core/numbers.h"
#include "link/link_controller.h"
#include "panel/control_id.h"

namespace max2870 {
namespace {

scpi::InstrumentSettings StartOf(const PlanController& plan) {
    scpi::InstrumentSettings start;
    start.panel = plan.ReadInputs();
    return start;
}

} // namespace

ScpiBridge::ScpiBridge(PlanController& plan, Panel& panel, SerialLink& serial, LinkController& link,
                       QObject* parent)
    : QObject(parent), plan_(plan), panel_(panel), window_(link),
      // The window's own paced commands leave 0.2 s between lines; remote sets keep to that.
      sets_(serial, std::chrono::milliseconds(200), false),
      engine_(StartOf(plan), sets_, "max2870-control,MAX2870,0," MAX2870_VERSION),
      server_(engine_) {
    sets_.SharePort(*this);
    connect(&sets_, &PacedSetLink::Progressed, &server_, &ScpiServer::Resume);
    connect(&sets_, &PacedSetLink::Failed, &server_, &ScpiServer::Fail);
    connect(&server_, &ScpiServer::LineApplied, this,
            [this](int, const QString& line) { BeforeLine(line); });
    engine_.SetObserver(
        [this](const scpi::InstrumentSettings& settings, const std::string&) { Mirror(settings); });
    // While the operator's transfer or read-back runs, remote lines wait: the read-back rewrites
    // the panel they would start from, and their sets must not interleave with its lines.
    server_.HoldLinesWhile(
        [this] { return window_.OwnTransferPending() || sets_.HandOffPending(); });
    connect(&window_, &LinkController::TransferFinished, this, &ScpiBridge::OnTransferFinished);
    connect(&window_, &LinkController::ReadBackSettled, this, &ScpiBridge::OnReadBackSettled);
    // A held close waits for the set on the wire only, not for everything queued behind it.
    connect(&window_, &LinkController::CloseDeferred, &sets_, &PacedSetLink::Shutdown);
}

bool ScpiBridge::Listen(const ListenAddress& where, std::string& error) {
    return server_.Listen(where, error);
}

void ScpiBridge::BeforeLine(const QString& line) {
    line_ = line;
    logged_ = false;
    engine_.Adopt(plan_.ReadInputs());
}

void ScpiBridge::Mirror(const scpi::InstrumentSettings& settings) {
    using enum ControlId;
    if (!logged_) {
        panel_.AppendText(Text1, "SCPI " + line_.toStdString() + "\r\n");
        logged_ = true;
    }
    // Written as the operator would: each write raises the control's own handler.
    const PlanInputs now = plan_.ReadInputs();
    const PlanInputs& wanted = settings.panel;
    if (NumberOfText(now.frText) != NumberOfText(wanted.frText)) {
        panel_.SetText(FrText, wanted.frText);
    }
    if (now.outDivExponent != wanted.outDivExponent) {
        panel_.SetValue(OutDivCont, wanted.outDivExponent);
    }
    if (now.foutText != wanted.foutText) {
        panel_.SetText(FoutText, wanted.foutText);
    }
    if (now.power != wanted.power) {
        panel_.SetValue(OPpwr, wanted.power);
    }
    if (now.outputA != wanted.outputA) {
        panel_.SetValue(Aon, wanted.outputA ? 1 : 0);
    }
}

void ScpiBridge::Hold(bool held) {
    window_.HoldForInstrument(held);
}

bool ScpiBridge::TakeOver(bool store, QString& why) {
    const bool started = window_.ClickForInstrument(store ? ControlId::WriteAll : ControlId::Init);
    // The command cleared the log as the operator's click does; the remote line heads it.
    panel_.SetText(ControlId::Text1,
                   "SCPI " + line_.toStdString() + "\r\n" + panel_.Text(ControlId::Text1));
    logged_ = true;
    if (!started) {
        why = store ? QStringLiteral("\"Write EE\" sent nothing; the link log says why")
                    : QStringLiteral("\"INIT from EE\" sent nothing; the link log says why");
        return false;
    }
    handedOff_ = store ? HandedOff::Store : HandedOff::Recall;
    return true;
}

// Whoever sent it, the board now holds what the window wrote, not what the instrument last sent.
void ScpiBridge::OnTransferFinished(bool completed) {
    sets_.PortUsedElsewhere();
    if (handedOff_ == HandedOff::Store) {
        handedOff_ = HandedOff::Nothing;
        sets_.HandedOffDone(completed, QStringLiteral("\"Write EE\" stopped before its last line"));
    }
    server_.Resume();
}

void ScpiBridge::OnReadBackSettled(bool restored, const QString& why) {
    sets_.PortUsedElsewhere();
    if (restored) {
        engine_.Adopt(plan_.ReadInputs()); // a line waiting after *RCL goes on from the read-back
    }
    if (handedOff_ == HandedOff::Recall) {
        handedOff_ = HandedOff::Nothing;
        sets_.HandedOffDone(restored, why);
    }
    server_.Resume();
}

} // namespace max2870
