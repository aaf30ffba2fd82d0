#pragma once

#include "panel/event_router.h"
#include "panel/panel.h"
#include "panel/plan_controller.h"

namespace max2870 {

// The "PIC EE Data" button: recompute, then show the listing window a third of the way into the
// main window with the register set as EEPROM directives.
class ListingCommand {
public:
    ListingCommand(PlanController& plan, Panel& panel) : plan_(plan), panel_(panel) {}

    static std::span<const EventRoute<ListingCommand>> Routes();

    void PicEEdata_Click();

private:
    PlanController& plan_;
    Panel& panel_;
};

} // namespace max2870
