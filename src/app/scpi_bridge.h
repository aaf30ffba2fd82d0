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

class LinkController;
class SerialLink;

// The instrument inside the window: each remote line starts from the panel as the operator left
// it, and each setting it makes is written into the panel's controls, so the window's own
// handlers recompute and show it. Sets go out on the window's port, taking turns with the
// operator's transfers; *SAV and *RCL are the window's own "Write EE" and "INIT from EE".
class ScpiBridge : public QObject, private PortPartner {
    Q_OBJECT
public:
    ScpiBridge(PlanController& plan, Panel& panel, SerialLink& serial, LinkController& link,
               QObject* parent = nullptr);

    bool Listen(const ListenAddress& where, std::string& error);
    std::string Address() const { return server_.Address(); }

private:
    enum class HandedOff { Nothing, Store, Recall };

    void BeforeLine(const QString& line);
    void Mirror(const scpi::InstrumentSettings& settings);
    void Hold(bool held) override;
    bool TakeOver(bool store, QString& why) override;
    void OnTransferFinished(bool completed);
    void OnReadBackSettled(bool restored, const QString& why);

    PlanController& plan_;
    Panel& panel_;
    LinkController& window_;
    PacedSetLink sets_;
    scpi::Engine engine_;
    ScpiServer server_;
    QString line_;        // the remote line being applied
    bool logged_ = false; // the line has its entry in the link log
    HandedOff handedOff_ = HandedOff::Nothing;
};

} // namespace max2870
