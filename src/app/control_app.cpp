#include "app/control_app.h"

#include "window/panel_window.h"

#include <QApplication>

#include <thread>

namespace max2870 {

ControlApp::ControlApp() {
    router_.Add(PlanController::Routes(), plan_);
    router_.Add(ListingCommand::Routes(), listing_);
    router_.Add(LinkController::Routes(), link_);
    panel_.SetEventSink(&router_);
}

ControlApp::~ControlApp() {
    // The widgets go after the handlers: no event may reach a handler that is already gone.
    panel_.SetEventSink(nullptr);
}

void ControlApp::Start() {
    // The system's fonts load while the ports are probed: the two are the longest steps of the
    // start-up, and neither needs the other.
    std::thread fonts(&PanelFonts::LoadDatabase);
    link_.Form_Load();
    fonts.join();
    panel_.ShowMainWindow();
    closeGuard_ = std::make_unique<CloseGuard>(*panel_.MainWindow(), link_);
}

void SetUpApplication() {
    QApplication::setApplicationName(QStringLiteral("max2870-control"));
    QApplication::setApplicationVersion(QStringLiteral(MAX2870_VERSION));
    // Fusion draws the colours the panel sets on buttons and boxes on every platform.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setWindowIcon(PanelIcon());
}

} // namespace max2870
