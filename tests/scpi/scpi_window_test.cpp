// The instrument inside the window: remote lines change the panel's controls as the operator
// would (the results recompute, the link log shows the line), sets go out on the window's port
// taking turns with the operator's transfers, or queue -241 while none is open, and *SAV / *RCL
// are the window's own "Write EE" / "INIT from EE".
#include "../link/link_rig.h"
#include "app/scpi_bridge.h"
#include "panel/plan_controller.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

namespace max2870 {

namespace {

using enum ControlId;

// The set for 1500 MHz at -1 dBm out of the 10 MHz reference, Reg5 first.
const std::string kSet1500 = "R00400005\r\nR609C806C\r\nR0000000B\r\nR18005E42\r\nR20000FA1\r\n"
                             "R00960000\r\n";

// The window with its link, the instrument on a free loopback port and one client.
struct Bench {
    explicit Bench(std::chrono::milliseconds replyTimeout = 5s)
        : rig({"MAX2870 Control", 10ms, replyTimeout}),
          bridge(rig.plan, rig.panel, rig.link, rig.controller) {
        std::string error;
        QVERIFY2(bridge.Listen({QHostAddress::LocalHost, 0}, error), error.c_str());
        client.connectToHost(QHostAddress::LocalHost,
                             static_cast<quint16>(std::stoi(bridge.Address().substr(10))));
        QVERIFY(
            QTest::qWaitFor([this] { return client.state() == QAbstractSocket::ConnectedState; }));
    }
    std::string Ask(const std::string& line) {
        client.write((line + "\n").c_str());
        // The server shares this thread: wait with its events flowing.
        return !QTest::qWaitFor([this] { return client.canReadLine(); }, 10000)
                   ? std::string("<no reply>")
                   : client.readLine().trimmed().toStdString();
    }
    // The register address of every line on the wire from `from` on ("W" for a store line).
    std::string Addresses(std::size_t from = 0) const {
        std::string addresses;
        for (std::size_t at = from; at < rig.link.wire.size();) {
            const std::size_t end = rig.link.wire.find("\r\n", at);
            const std::string line = rig.link.wire.substr(at, end - at);
            addresses += line.starts_with('R')
                             ? std::to_string(std::stoul(line.substr(1), nullptr, 16) & 7)
                             : line;
            at = end + 2;
        }
        return addresses;
    }

    LinkRig rig;
    ScpiBridge bridge;
    QTcpSocket client;
};

} // namespace

class ScpiWindowTest : public QObject {
    Q_OBJECT

private slots:
    void remoteSettingsActOnThePanel() {
        Bench b;
        MemoryPanel& panel = b.rig.panel;
        b.client.write("FREQ 1.5GHZ;:SYST:ERR?\n"); // no reply: the error ends the line
        QCOMPARE(b.Ask("SYST:ERR?"), std::string("-241,\"Hardware missing\""));
        QCOMPARE(panel.Text(FoutText), std::string("1500")); // the box as typed
        QCOMPARE(panel.Value(OutDivCont), 1);                // the divider "> > >" picks
        QVERIFY2(panel.Text(ValuesText).find("N  300") != std::string::npos,
                 "the results did not recompute");
        QVERIFY2(panel.Text(Text1).find("SCPI FREQ 1.5GHZ;:SYST:ERR?\r\n") != std::string::npos,
                 "the link log does not show the remote line");
        QVERIFY2(b.rig.link.wire.empty(), "a set went out with no port open");

        b.rig.Connect("/dev/ttyUSB0");
        QCOMPARE(b.Ask("POW -1;*OPC?"), std::string("1"));
        QCOMPARE(panel.Value(OPpwr), 1);
        QCOMPARE(b.rig.link.wire, kSet1500);

        panel.SetText(FoutText, "1500.25"); // the operator types; the remote side sees it
        QCOMPARE(b.Ask("FREQ?"), std::string("1500250000"));
        QCOMPARE(b.Ask("OUTP OFF;*OPC?"), std::string("1"));
        QCOMPARE(panel.Value(Aon), 0);
        QVERIFY2(b.rig.link.wire.ends_with("R609C804C\r\nR009600C8\r\n"),
                 "output A off: only Reg4 changes besides Reg0, with the operator's frequency");
    }

    // *SAV stores the set as "Write EE" does; *RCL reads it back through the window's own
    // read-back, *OPC? answering once it is decoded or has failed.
    void storeAndRecallAreTheWindowsOwn() {
        const struct {
            const char* what;
            std::string reply; // the translator's answer to INIT
            std::string answers, error;
        } rows[]{
            {"restored",
             "Reg5 0x00400005\r\nReg4 0x609C806C\r\nReg3 0x0000000B\r\nReg2 0x18005E42\r\n"
             "Reg1 0x20000FA1\r\nReg0 0x00960000\r\n",
             "1;1500000000;-1;1", "0,\"No error\""},
            {"refused", "0x5\r0x4\r0x3\r0x2\r0x1\r0x0\r", "1;1500250000;5;0",
             "-240,\"Hardware error;the stored set was refused: the reference divider R is 0\""},
            {"no reply", "", "1;1500250000;5;0",
             "-240,\"Hardware error;no reply to INIT within 0.1 s\""},
        };
        for (const auto& row : rows) {
#define CHECK(ok, fault) QVERIFY2(ok, (row.what + std::string(": ") + (fault)).c_str())
            Bench b(100ms);
            b.rig.Connect("/dev/ttyUSB0");
            CHECK(b.Ask("FREQ 1.5GHZ;POW -1;*OPC?") == "1", "no set");
            const std::size_t before = b.rig.link.wire.size();
            CHECK(b.Ask("*SAV 0;*OPC?") == "1", "*SAV did not complete");
            std::string stored;
            for (std::size_t i = 0; i < kSet1500.size(); i += 11) {
                stored += kSet1500.substr(i, 11) + "W\r\n";
            }
            CHECK(b.rig.link.wire.substr(before) == stored, "not stored as Write EE stores");
            CHECK(b.rig.panel.Text(Text1).starts_with("SCPI *SAV 0;*OPC?\r\n"),
                  "the log does not show the remote line");

            b.rig.panel.SetText(FoutText, "1500.25"); // the operator's own changes
            b.rig.panel.SetValue(OPpwr, 3);
            b.rig.panel.SetValue(Aon, 0);
            b.rig.link.answer = row.reply;
            const std::size_t init = b.rig.link.wire.size();
            CHECK(b.Ask("*RCL 0;*OPC?;:FREQ?;:POW?;:OUTP?") == row.answers,
                  "not the read-back's state once *OPC? answers");
            CHECK(b.rig.link.wire.substr(init) == "INIT\r\n", "not asked as INIT from EE asks");
            CHECK(b.Ask("SYST:ERR?") == row.error, "error queue");
            b.rig.link.answer.clear();
            const std::size_t after = b.rig.link.wire.size();
            CHECK(b.Ask("POW 2;*OPC?") == "1", "no set after *RCL");
            CHECK(row.error != "0,\"No error\"" || b.Addresses(after) == "543210",
                  "the set after a restore does not send all six");
#undef CHECK
        }
    }

    // Remote sets and the operator's transfers take turns: their lines never interleave.
    void remoteAndOperatorTakeTurns() {
        Bench b;
        b.rig.Connect("/dev/ttyUSB0");
        b.client.write("FREQ 1.5GHZ\n");
        QVERIFY(QTest::qWaitFor([&b] { return !b.rig.link.wire.empty(); }));
        QVERIFY2(!b.rig.panel.Record(SendAll).enabled, "Set all Registers not greyed");
        b.rig.Click(SendAll); // does nothing while the remote set is on the wire
        QCOMPARE(b.Ask("*OPC?"), std::string("1"));
        QCOMPARE(b.Addresses(), std::string("543210"));
        QVERIFY2(b.rig.panel.Record(SendAll).enabled, "Set all Registers still greyed");

        b.rig.panel.SetText(FoutText, "1500.25");
        b.rig.Click(SendAll);
        QCOMPARE(b.Ask("FREQ 1.5GHZ;*OPC?"), std::string("1")); // waits for the operator's set
        QCOMPARE(b.Addresses(), std::string("543210543210543210"));
        QVERIFY2(b.rig.link.wire.ends_with("R00960000\r\n"), "the remote set did not go last");
    }

    // Closing the window while remote sets wait: the set on the wire ends with its Reg0, the
    // rest is dropped, then the window may close.
    void closeWaitsForTheSetOnTheWireOnly() {
        Bench b;
        b.rig.Connect("/dev/ttyUSB0");
        QSignalSpy ready(&b.rig.controller, &LinkController::CloseReady);
        b.client.write("FREQ 1.5GHZ\nFREQ 2.5GHZ\n");
        QVERIFY(QTest::qWaitFor([&b] { return !b.rig.link.wire.empty(); }));
        QVERIFY2(!b.rig.controller.RequestClose(), "closed with a set on the wire");
        QVERIFY2(ready.wait(5000), "the close was never let go");
        QCOMPARE(b.Addresses(), std::string("543210"));
        QVERIFY2(b.rig.link.wire.ends_with("R00960000\r\n"), "the set on the wire was cut");
        QTest::qWait(500);
        QCOMPARE(b.Addresses(), std::string("543210")); // the queued 2.5 GHz set never goes
    }
};

} // namespace max2870

QTEST_GUILESS_MAIN(max2870::ScpiWindowTest)
#include "scpi_window_test.moc"
