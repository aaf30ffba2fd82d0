// Start-up and port choice: the probe, "Set COM Port" and its failures.

#include "link/link_texts.h"
#include "link_rig.h"
#include "pty_peer.h"

#include <QtTest>

using namespace max2870;
using enum ControlId;

class LinkPortTest : public QObject {
    Q_OBJECT
private slots:
    void probeListsThePortsThatOpen();
    void probeTriesNumberedPortsOnceInOrder();
    void setComPortOpensAndShowsTheCommands();
    void setComPortOnANumberedPort();
    void setComPortWithoutANumberIsADeadEnd();
    void setComPortWithoutAnyPortIsADeadEnd();
    void failedOpenOffersTheChoiceAgain();
    void busyPortIsReported();
    void permissionFailureNamesTheDialoutGroup();
    void portBoxAndClearButton();
};

void LinkPortTest::probeListsThePortsThatOpen() {
    PtyPeer first;
    PtyPeer second;
    QtSerialLink link;
    const std::string missing = "/dev/max2870-test-no-such-port";
    ListedPorts ports(PortNaming::Paths,
                      {first.Path().toStdString(), missing, second.Path().toStdString()});
    LinkRig rig(link, ports, FastOptions());
    rig.controller.Form_Load();
    QCOMPARE(rig.panel.Record(CPort).list,
             (std::vector<std::string>{first.Path().toStdString(), second.Path().toStdString()}));
    QCOMPARE(rig.panel.Text(CPort), first.Path().toStdString());
    QVERIFY(!link.IsOpen());
    QCOMPARE(rig.state.CP, 0.0);
    QVERIFY(!rig.state.InitFlag);
    QVERIFY(rig.panel.Messages().empty());
}

void LinkPortTest::probeTriesNumberedPortsOnceInOrder() {
    ScriptedLink link;
    std::vector<std::string> names;
    for (int n = 1; n <= 32; ++n) {
        names.push_back("COM" + std::to_string(n));
        if (n != 3 && n != 12) {
            link.faults[names.back()] = PortFault::NotFound;
        }
    }
    ListedPorts ports(PortNaming::Numbered, names);
    LinkRig rig(link, ports, FastOptions());
    rig.controller.Form_Load();
    QCOMPARE(link.openAttempts, names);
    QCOMPARE(rig.panel.Record(CPort).list, (std::vector<std::string>{"COM3", "COM12"}));
    QCOMPARE(rig.panel.Text(CPort), std::string("COM3"));
    QVERIFY(!link.IsOpen());
}

void LinkPortTest::setComPortOpensAndShowsTheCommands() {
    PtyPeer peer;
    QtSerialLink link;
    const std::string path = peer.Path().toStdString();
    ListedPorts ports(PortNaming::Paths, {path});
    LinkRig rig(link, ports, FastOptions());
    rig.controller.Form_Load();
    const std::string caption = rig.panel.Caption(MAX2870);
    rig.Click(SetCP);
    QCOMPARE(rig.panel.Messages(),
             std::vector<std::string>{"MAX2870 Control|" + path +
                                      " Open\r\nRS232 Parameters  9600 Baud, N,8,2\r\nUse with "
                                      "PIC Firmware  'MAX2870' to translate ASCII / Hex to SPI "
                                      "\r\n"});
    QCOMPARE(rig.panel.Caption(MAX2870), caption + "   " + path);
    QVERIFY(link.IsOpen());
    QVERIFY(rig.state.CP != 0);
    for (ControlId shown : {SendAll, Init, WriteAll}) {
        QVERIFY(rig.panel.Visible(shown));
    }
    QVERIFY(!rig.panel.Visible(CPort));
    QVERIFY(!rig.panel.Visible(SetCP));
    QVERIFY(rig.panel.Record(CPort).back == colour::White);
}

void LinkPortTest::setComPortOnANumberedPort() {
    ScriptedLink link;
    ListedPorts ports(PortNaming::Numbered, {"COM12"});
    LinkRig rig(link, ports, FastOptions());
    rig.controller.Form_Load();
    const std::string caption = rig.panel.Caption(MAX2870);
    rig.Click(SetCP);
    QCOMPARE(rig.state.CP, 12.0);
    QCOMPARE(link.openAttempts.back(), std::string("COM12"));
    QCOMPARE(rig.panel.Caption(MAX2870), caption + "   COM 12");
    QVERIFY(rig.panel.Visible(SendAll));
}

void LinkPortTest::setComPortWithoutANumberIsADeadEnd() {
    ScriptedLink link;
    ListedPorts ports(PortNaming::Numbered, {"COM3"});
    LinkRig rig(link, ports, FastOptions());
    rig.controller.Form_Load();
    const std::size_t attempts = link.openAttempts.size();
    rig.panel.SetText(CPort, "COM Port");
    rig.Click(SetCP);
    QVERIFY(rig.panel.Messages().empty());
    QCOMPARE(link.openAttempts.size(), attempts);
    for (ControlId hidden : {CPort, SetCP, SendAll, Init, WriteAll}) {
        QVERIFY(!rig.panel.Visible(hidden));
    }
    QCOMPARE(rig.state.CP, 0.0);
}

void LinkPortTest::setComPortWithoutAnyPortIsADeadEnd() {
    QtSerialLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    rig.controller.Form_Load();
    QCOMPARE(rig.panel.Text(CPort), std::string());
    rig.Click(SetCP);
    QVERIFY(rig.panel.Messages().empty());
    QVERIFY(!rig.panel.Visible(CPort));
    QVERIFY(!rig.panel.Visible(SendAll));
}

void LinkPortTest::failedOpenOffersTheChoiceAgain() {
    QtSerialLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    rig.controller.Form_Load();
    const std::string caption = rig.panel.Caption(MAX2870);
    const std::string missing = "/dev/max2870-test-no-such-port";
    rig.panel.SetText(CPort, missing);
    rig.Click(SetCP);
    QCOMPARE(rig.panel.Messages().size(), std::size_t{2});
    QCOMPARE(rig.panel.Messages()[1],
             "MAX2870 Control|Cannot open " + missing +
                 ": no such port.\r\nChoose another port and press Set COM Port again.\r\n");
    QVERIFY(rig.panel.Visible(CPort));
    QVERIFY(rig.panel.Visible(SetCP));
    for (ControlId hidden : {SendAll, Init, WriteAll}) {
        QVERIFY(!rig.panel.Visible(hidden));
    }
    QCOMPARE(rig.panel.Caption(MAX2870), caption);
    QVERIFY(!link.IsOpen());
    QCOMPARE(rig.state.CP, 0.0);

    PtyPeer peer; // a second try on a port that exists succeeds
    rig.panel.SetText(CPort, peer.Path().toStdString());
    rig.Click(SetCP);
    QVERIFY(link.IsOpen());
    QVERIFY(rig.panel.Visible(SendAll));
}

// Another program holds the port: the real serial layer says so, and nothing stays open.
void LinkPortTest::busyPortIsReported() {
    PtyPeer peer;
    QtSerialLink holder;
    holder.SetPortName(peer.Path().toStdString());
    QVERIFY(holder.Open().Ok());
    QtSerialLink link;
    ListedPorts ports(PortNaming::Paths, {peer.Path().toStdString()});
    LinkRig rig(link, ports, FastOptions());
    rig.controller.Form_Load();
    QCOMPARE(rig.panel.ListCount(CPort), 0); // the probe passes over it
    rig.panel.SetText(CPort, peer.Path().toStdString());
    rig.Click(SetCP);
    QCOMPARE(rig.panel.Messages().size(), std::size_t{2});
    QCOMPARE(rig.panel.Messages()[1], "MAX2870 Control|Cannot open " + peer.Path().toStdString() +
                                          ": it is in use by another program.\r\nChoose another "
                                          "port and press Set COM Port again.\r\n");
    QVERIFY(!link.IsOpen());
    QVERIFY(rig.panel.Visible(SetCP));
    QVERIFY(!rig.panel.Visible(SendAll));

    holder.Close(); // once the other program lets go, the same choice works
    rig.Click(SetCP);
    QVERIFY(link.IsOpen());
    QVERIFY(rig.panel.Visible(SendAll));
}

void LinkPortTest::permissionFailureNamesTheDialoutGroup() {
    ScriptedLink link;
    link.faults["/dev/ttyUSB0"] = PortFault::Permission;
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    rig.controller.Form_Load();
    rig.panel.SetText(CPort, "/dev/ttyUSB0");
    rig.Click(SetCP);
    QCOMPARE(rig.panel.Messages().size(), std::size_t{2});
    QVERIFY(rig.panel.Messages()[1].find("permission denied") != std::string::npos);
    QVERIFY(rig.panel.Messages()[1].find("dialout") != std::string::npos);
    QVERIFY(rig.panel.Visible(SetCP));
}

void LinkPortTest::portBoxAndClearButton() {
    ScriptedLink link;
    ListedPorts ports(PortNaming::Numbered, {"COM1"});
    LinkRig rig(link, ports, FastOptions());
    rig.controller.Form_Load();
    QVERIFY(rig.panel.Record(CPort).back == colour::Red);
    rig.Click(CPort);
    QVERIFY(rig.panel.Record(CPort).back == colour::White);
    rig.panel.SetText(Text1, "old traffic\r\n");
    rig.Click(ClrText);
    QCOMPARE(rig.Log(), std::string());
}

QTEST_GUILESS_MAIN(LinkPortTest)
#include "link_port_test.moc"
