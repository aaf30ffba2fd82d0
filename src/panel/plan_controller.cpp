#include "panel/plan_controller.h"

#include "core/numbers.h"

#include <cmath>

namespace max2870 {

using enum ControlId;

PlanController::PlanController(SynthState& state, Panel& panel) : s_(state), panel_(panel) {}

namespace {

using enum ControlEvent;
using Route = EventRoute<PlanController>;

// The handlers of the panel's events; most only recompute.
constexpr Route kPlanRoutes[] = {
    {Aon, Click, &PlanController::Recalculate},
    {Bon, Click, &PlanController::Recalculate},
    {PDpol, Click, &PlanController::Recalculate},
    {RefDbl, Click, &PlanController::Recalculate},
    {Refdiv2, Click, &PlanController::Recalculate},
    {Enable, Click, &PlanController::Recalculate},
    {MuxNone, Click, &PlanController::Recalculate},
    {MuxR, Click, &PlanController::Recalculate},
    {MuxN, Click, &PlanController::Recalculate},
    {MuxL, Click, &PlanController::Recalculate},
    {NM0, Click, &PlanController::Recalculate},
    {NM2, Click, &PlanController::Recalculate},
    {NM3, Click, &PlanController::Recalculate},
    {FoutText, Change, &PlanController::Recalculate},
    {FoutText, Click, &PlanController::FoutText_Click},
    {OPPhasetext, Change, &PlanController::Recalculate},
    {Rdivider, Change, &PlanController::Recalculate},
    {ResolutionText, Change, &PlanController::Recalculate},
    {FrText, Change, &PlanController::FrText_Change},
    {FrText, LostFocus, &PlanController::FrText_LostFocus},
    {ChrgPump, Change, &PlanController::ChrgPump_Change},
    {OPpwr, Change, &PlanController::OPpwr_Change},
    {OutDivCont, Change, &PlanController::OutDivCont_Change},
    {SetOdiv, Click, &PlanController::SetOdiv_Click},
    {FractN, Click, &PlanController::FractN_Click},
    {NMCalc, Click, &PlanController::NMCalc_Click},
    {ForceD, Change, &PlanController::ForceD_Change},
};

} // namespace

std::span<const EventRoute<PlanController>> PlanController::Routes() {
    return kPlanRoutes;
}

void PlanController::OnControlEvent(ControlId id, ControlEvent event) {
    for (const Route& route : kPlanRoutes) {
        if (route.id == id && route.event == event) {
            (this->*route.handler)();
            return;
        }
    }
}

double PlanController::NumberIn(ControlId id) const {
    return NumberOfText(panel_.Text(id));
}

bool PlanController::Ticked(ControlId id) const {
    return panel_.Value(id) == 1;
}

void PlanController::SetOdiv_Click() {
    s_.Fout = NumberIn(FoutText);
    const int k = DividerExponentFor(s_.Fout);
    s_.VCO = std::ldexp(s_.Fout, k);
    panel_.SetValue(OutDivCont, k);
}

void PlanController::OutDivCont_Change() {
    s_.OutDiv = std::ldexp(1.0, panel_.Value(OutDivCont));
    panel_.SetCaption(OutDivLabel, "O/P Divider " + BlankLedText(s_.OutDiv));
    Recalculate();
}

void PlanController::ChrgPump_Change() {
    panel_.SetCaption(ChrgPumpLabel, "Charge Pump " + PlainText(panel_.Value(ChrgPump)));
    Recalculate();
}

void PlanController::OPpwr_Change() {
    panel_.SetCaption(OPlabel, "Output Power" + BlankLedText(panel_.Value(OPpwr)));
    Recalculate();
}

void PlanController::FrText_Change() {
    panel_.SetBackColour(FrText, colour::White);
    Recalculate();
}

void PlanController::FrText_LostFocus() {
    FrText_Change();
}

void PlanController::FoutText_Click() {
    panel_.SetValue(TrackDivider, 0);
}

void PlanController::FractN_Click() {
    if (Ticked(FractN)) {
        s_.Fract = 0;
        panel_.SetForeColour(ResolutionText, colour::Green);
        panel_.SetCaption(NMCalc, "Find R");
        panel_.SetBackColour(Rdivider, colour::Yellow);
        panel_.SetText(ForceD, "");
    } else {
        panel_.SetForeColour(ResolutionText, colour::Black);
        panel_.SetCaption(NMCalc, "Find Best F/D");
        panel_.SetBackColour(Rdivider, colour::White);
        panel_.SetText(Rdivider, "1");
    }
    // The display follows the mode at once (ticking removes a twelve-bit message).
    Recalculate();
}

} // namespace max2870
