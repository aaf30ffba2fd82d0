#include "app/scpi_bridge.h"

#include "core/numbers.h"
#include "panel/control_id.h"

namespace max2870 {
namespace {

scpi::InstrumentSettings StartOf(const PlanController& plan) {
    scpi::InstrumentSettings start;
    start.panel = plan.ReadInputs();
    return start;
}

} // namespace

ScpiBridge::ScpiBridge(PlanController& plan, Panel& panel, SerialLink& serial, QObject* parent)
    : QObject(parent), plan_(plan), panel_(panel),
      // The window's own paced commands leave 0.2 s between lines; remote sets keep to that.
      link_(serial, std::chrono::milliseconds(200), false),
      engine_(StartOf(plan), link_, "max2870-control,MAX2870,0," MAX2870_VERSION),
      server_(engine_) {
    connect(&link_, &PacedSetLink::Progressed, &server_, &ScpiServer::Resume);
    connect(&link_, &PacedSetLink::Failed, &server_, &ScpiServer::Fail);
    connect(&link_, &PacedSetLink::ReadBack, &server_, &ScpiServer::Restore);
    connect(&server_, &ScpiServer::LineApplied, this,
            [this](int, const QString& line) { BeforeLine(line); });
    engine_.SetObserver(
        [this](const scpi::InstrumentSettings& settings, const std::string&) { Mirror(settings); });
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

} // namespace max2870
