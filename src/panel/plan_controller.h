#pragma once

#include "core/decode.h"
#include "core/plan_display.h"
#include "core/synth_state.h"
#include "panel/control_id.h"
#include "panel/event_router.h"
#include "panel/panel.h"

#include <string>

namespace max2870 {

struct DecodeResult {
    bool accepted = false;
    std::string reason; // why a set was refused, for the link log
};

// The logic behind the panel: the recompute, the control handlers, the searches and the
// read-back decoder, written once against the Panel interface.
class PlanController : public PanelEvents {
public:
    PlanController(SynthState& state, Panel& panel);

    // The controls' events this controller owns, and their handlers.
    static std::span<const EventRoute<PlanController>> Routes();
    // Runs the handler that owns the event, if this controller owns it: a panel with no listing
    // or link (the planner, the tests) can report to the plan alone.
    void OnControlEvent(ControlId id, ControlEvent event) override;

    void Recalculate();

    void SetOdiv_Click();
    void OutDivCont_Change();
    void ChrgPump_Change();
    void OPpwr_Change();
    void FrText_Change();
    void FrText_LostFocus();
    void FoutText_Click();
    void FractN_Click();
    void NMCalc_Click();
    void ForceD_Change();

    // Restores the panel from a read-back set, then recomputes twice. A set with R = 0, or D = 0
    // in fractional mode, is refused and changes nothing.
    DecodeResult DecodeRegisters(const ReadBackWords& words);

    // "INIT from EE" awaits a set: while the Init button shows, recomputes are held back.
    void AwaitReadBack(bool awaited) { readBackAwaited_ = awaited; }
    bool ReadBackAwaited() const { return readBackAwaited_; }
    // True while a pending read-back holds every recompute back (the guard).
    bool RecomputeHeld() const;
    // The plan of the latest recompute that ran, and how it (or a refused decode) ended.
    const Plan& LastPlan() const { return plan_; }
    RunOutcome LastOutcome() const { return outcome_; }
    double LastBandSelect() const { return bandSelect_; }
    double LastPhaseValue() const { return phaseValue_; }

    // What the next recompute would read from the panel, as the operator left it.
    PlanInputs ReadInputs() const;

    SynthState& State() { return s_; }
    const SynthState& State() const { return s_; }

private:
    void FractionSearch();
    void ReferenceDividerSearch();
    void Show(const Plan& plan, bool tracking, bool integerN);
    void ShowPlan(const PlanDisplay& shown, bool integerN);
    double NumberIn(ControlId id) const;
    bool Ticked(ControlId id) const;

    SynthState& s_;
    Panel& panel_;
    Plan plan_;
    RunOutcome outcome_ = RunOutcome::None;
    double bandSelect_ = 0;
    double phaseValue_ = 0;
    bool decoding_ = false; // the decoder's own writes start no recompute
    bool readBackAwaited_ = false;
};

} // namespace max2870
