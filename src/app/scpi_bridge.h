#pragma once

#include "panel/panel.h"
#include "panel/plan_controller.h"
#include "scpi/scpi_engine.h"
#include "scpi_server/listen_address.h"
#include "scpi_server/paced_set_link.h"
#include "scpi_server/scpi_server.h"

#include <QObject>

#include <string>

namespace max2870 {

class SerialLink;

// The instrument inside the window: each remote line starts from the panel as the operator left
// it, and each setting it makes is written into the panel's controls, so the window's own
// handlers recompute and show it. Sets go out on the window's port.
class ScpiBridge : public QObject {
    Q_OBJECT
public:
    ScpiBridge(PlanController& plan, Panel& panel, SerialLink& serial, QObject* parent = nullptr);

    bool Listen(const ListenAddress& where, std::string& error);
    std::string Address() const { return server_.Address(); }

private:
    void BeforeLine(const QString& line);
    void Mirror(const scpi::InstrumentSettings& settings);

    PlanController& plan_;
    Panel& panel_;
    PacedSetLink link_;
    scpi::Engine engine_;
    ScpiServer server_;
    QString line_;        // the remote line being applied
    bool logged_ = false; // the line has its entry in the link log
};

} // namespace max2870
