// max2870-control: the MAX2870 control panel.

#include "link/link_controller.h"
#include "link/port_directory.h"
#include "link/qt_serial_link.h"
#include "listing/listing_command.h"
#include "model/plan_controller.h"
#include "model/synth_state.h"
#include "panel/panel_window.h"
#include "panel/qt_panel.h"

#include <QApplication>
#include <QStyle>

int main(int argc, char* argv[]) {
    using namespace max2870;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("max2870-control"));
    // Fusion draws the colours the panel sets on buttons and boxes on every platform.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setWindowIcon(PanelIcon());

    SynthState state;
    QtPanel panel;
    PlanController plan(state, panel);
    ListingCommand listing(plan);
    QtSerialLink serial;
    SystemPortDirectory ports;
    LinkController link(state, panel, plan, serial, ports);

    // Events go to the plan first; what it does not handle goes on to the listing button,
    // then to the serial link.
    panel.SetEventSink(&plan);
    plan.SetNextSink(&listing);
    listing.SetNextSink(&link);

    link.Form_Load(); // fills the port box; nothing is recomputed until the operator acts
    panel.ShowMainWindow();
    const int status = QApplication::exec();
    panel.SetEventSink(nullptr);
    return status;
}
