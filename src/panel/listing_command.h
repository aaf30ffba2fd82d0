#pragma once

#include "panel/panel.h"
#include "panel/plan_controller.h"

namespace max2870 {

// The "PIC EE Data" button: recompute, then show the listing window a third of the way into the
// main window with the register set as EEPROM directives.
class ListingCommand : public PanelEvents {
public:
    explicit ListingCommand(PlanController& plan) : plan_(plan) {}

    void SetNextSink(PanelEvents* next) { next_ = next; }
    void OnControlEvent(ControlId id, ControlEvent event) override;

    void PicEEdata_Click();

private:
    PlanController& plan_;
    PanelEvents* next_ = nullptr;
};

} // namespace max2870
