#include "panel/plan_controller.h"

#include "core/numbers.h"

#include <cmath>

namespace max2870 {

using enum ControlId;

PlanController::PlanController(SynthState& state, Panel& panel) : s_(state), panel_(panel) {}

void PlanController::OnControlEvent(ControlId id, ControlEvent event) {
    if (id == muted_) {
        return; // the recompute's own write-back: one pass on the panel as given
    }
    const bool change = event == ControlEvent::Change;
    const bool click = event == ControlEvent::Click;
    switch (id) {
    case Aon:
    case Bon:
    case PDpol:
    case RefDbl:
    case Refdiv2:
    case Enable:
    case MuxNone:
    case MuxR:
    case MuxN:
    case MuxL:
    case NM0:
    case NM2:
    case NM3:
        if (click) {
            Recalculate();
        }
        return;
    case FoutText:
        if (change) {
            Recalculate();
        } else if (click) {
            FoutText_Click();
        }
        return;
    case OPPhasetext:
    case Rdivider:
    case ResolutionText:
        if (change) {
            Recalculate();
        }
        return;
    case FrText:
        if (change) {
            FrText_Change();
        } else if (event == ControlEvent::LostFocus) {
            FrText_LostFocus();
        }
        return;
    case ChrgPump:
        if (change) {
            ChrgPump_Change();
        }
        return;
    case OPpwr:
        if (change) {
            OPpwr_Change();
        }
        return;
    case OutDivCont:
        if (change) {
            OutDivCont_Change();
        }
        return;
    case SetOdiv:
        if (click) {
            SetOdiv_Click();
        }
        return;
    case FractN:
        if (click) {
            FractN_Click();
        }
        return;
    case NMCalc:
        if (click) {
            NMCalc_Click();
        }
        return;
    case ForceD:
        if (change) {
            ForceD_Change();
        }
        return;
    case TrackDivider:
    case ValuesText:
        return;
    default:
        break;
    }
    if (next_ != nullptr) {
        next_->OnControlEvent(id, event);
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
