// The instrument inside the window: remote lines change the panel's controls as the operator
// would (the results recompute, the link log shows the line) and sets go out on the window's
// port, or queue -241 while none is open.
#include "../link/link_rig.h"
#include "app/scpi_bridge.h"
#include "panel/plan_controller.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

namespace max2870 {

class ScpiWindowTest : public QObject {
    Q_OBJECT

    static std::string Ask(QTcpSocket& socket, const std::string& line) {
        socket.write((line + "\n").c_str());
        // The server shares this thread: wait with its events flowing.
        return !QTest::qWaitFor([&socket] { return socket.canReadLine(); }, 5000)
                   ? std::string("<no reply>")
                   : socket.readLine().trimmed().toStdString();
    }

private slots:
    void remoteSettingsActOnThePanel() {
        using enum ControlId;
        SynthState state;
        MemoryPanel panel;
        PlanController plan(state, panel);
        panel.SetEventSink(&plan);
        TestLink port;
        ScpiBridge bridge(plan, panel, port);
        std::string error;
        QVERIFY2(bridge.Listen({QHostAddress::LocalHost, 0}, error), error.c_str());
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost,
                             static_cast<quint16>(std::stoi(bridge.Address().substr(10))));
        QVERIFY(QTest::qWaitFor(
            [&client] { return client.state() == QAbstractSocket::ConnectedState; }));

        client.write("FREQ 1.5GHZ;:SYST:ERR?\n"); // no reply: the error ends the line
        QCOMPARE(Ask(client, "SYST:ERR?"), std::string("-241,\"Hardware missing\""));
        QCOMPARE(panel.Text(FoutText), std::string("1500")); // the box as typed
        QCOMPARE(panel.Value(OutDivCont), 1);                // the divider "> > >" picks
        QVERIFY2(panel.Text(ValuesText).find("N  300") != std::string::npos,
                 "the results did not recompute");
        QVERIFY2(panel.Text(Text1).find("SCPI FREQ 1.5GHZ;:SYST:ERR?\r\n") != std::string::npos,
                 "the link log does not show the remote line");
        QVERIFY2(port.wire.empty(), "a set went out with no port open");

        port.SetPortName("/dev/ttyUSB0");
        port.Open();
        QCOMPARE(Ask(client, "POW -1;*OPC?"), std::string("1"));
        QCOMPARE(panel.Value(OPpwr), 1);
        QCOMPARE(port.wire, std::string("R00400005\r\nR609C806C\r\nR0000000B\r\nR18005E42\r\n"
                                        "R20000FA1\r\nR00960000\r\n"));

        panel.SetText(FoutText, "1500.25"); // the operator types; the remote side sees it
        QCOMPARE(Ask(client, "FREQ?"), std::string("1500250000"));
        QCOMPARE(Ask(client, "OUTP OFF;*OPC?"), std::string("1"));
        QCOMPARE(panel.Value(Aon), 0);
        QVERIFY2(port.wire.ends_with("R609C804C\r\nR009600C8\r\n"),
                 "output A off: only Reg4 changes besides Reg0, with the operator's frequency");
    }
};

} // namespace max2870

QTEST_GUILESS_MAIN(max2870::ScpiWindowTest)
#include "scpi_window_test.moc"
