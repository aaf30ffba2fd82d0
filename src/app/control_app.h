#pragma once

#include "app/close_guard.h"
#include "core/synth_state.h"
#include "link/link_controller.h"
#include "link/port_directory.h"
#include "link/qt_serial_link.h"
#include "panel/event_router.h"
#include "panel/listing_command.h"
#include "panel/plan_controller.h"
#include "window/qt_panel.h"

#include <memory>

namespace max2870 {

// The whole program behind the window: the record, the panel, the plan, the listing button and
// the serial link. Each control's event goes straight to the one handler that owns it, as the
// plan's, the listing's and the link's routing tables say. Needs a QApplication.
class ControlApp {
public:
    ControlApp();
    ~ControlApp();
    ControlApp(const ControlApp&) = delete;
    ControlApp& operator=(const ControlApp&) = delete;

    // Fills the port box and shows the main window; nothing is recomputed until the operator acts.
    void Start();

    QtPanel& Panel() { return panel_; }
    PlanController& Plan() { return plan_; }
    SerialLink& Serial() { return serial_; }
    LinkController& Link() { return link_; }

private:
    SynthState state_;
    QtPanel panel_;
    PlanController plan_{state_, panel_};
    ListingCommand listing_{plan_, panel_};
    QtSerialLink serial_;
    SystemPortDirectory ports_;
    LinkController link_{panel_, plan_, serial_, ports_};
    EventRouter router_;
    std::unique_ptr<CloseGuard> closeGuard_; // from the first show on
};

// Application name, style and icon, the same for the program and its start-up benchmark.
void SetUpApplication();

} // namespace max2870
