// The three commands over a pseudo-terminal: bytes, order, pacing, log, and the faults mended.

#include "link/link_texts.h"
#include "link_rig.h"
#include "pty_peer.h"

#include <QSignalSpy>
#include <QtTest>

#include <sys/resource.h>

using namespace max2870;
using enum ControlId;

namespace {

// The words of the worked example: 10 MHz reference, 2320.5 MHz out of a 4641 MHz VCO.
const std::vector<QByteArray> kExampleLines{"R00400005\r\n", "R609C80FC\r\n", "R0000000B\r\n",
                                            "R18005E42\r\n", "R20000FA1\r\n", "R00E80190\r\n"};

// A pseudo-terminal hands each line on to its far end a little after it was written, and on a
// busy machine that can take a while, so a gap seen there may come out short of the gap at which
// the lines were sent. Lines sent in one go would arrive together, far inside this.
constexpr double kArrivalSlack = 0.1;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

std::vector<QByteArray> TextsOf(const std::vector<PtyPeer::Line>& lines) {
    std::vector<QByteArray> texts;
    for (const auto& line : lines) {
        texts.push_back(line.text);
    }
    return texts;
}

template <typename Line> double ShortestGap(const std::vector<Line>& lines) {
    double shortest = 1e9;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        shortest = std::min(shortest, lines[i].seconds - lines[i - 1].seconds);
    }
    return shortest;
}

// One command clicked on a connected rig. The transfer is the paced part: from the click, or
// from reopening the port where the command does that, to the end of the sequence.
struct Timed {
    double clickedAt; // on the link's clock
    double startedAt;
    double finishedAt;
    double cpuSeconds;
    double Seconds() const { return finishedAt - startedAt; }
};

Timed RunCommand(LinkRig& rig, WatchedLink& link, ControlId button) {
    QSignalSpy finished(&rig.controller, &LinkController::TransferFinished);
    const double cpuBefore = CpuSeconds();
    Timed timed{link.Now(), 0, 0, 0};
    rig.Click(button);
    timed.startedAt = std::max(timed.clickedAt, link.OpenedAt());
    [&] { QVERIFY(finished.wait(10000)); }();
    timed.finishedAt = link.Now();
    timed.cpuSeconds = CpuSeconds() - cpuBefore;
    return timed;
}

// Load on the machine can only make a transfer longer, never shorter. A transfer that overran
// its bound is timed again, so that only an overrun that repeats (one of the program's own)
// fails the test, not a moment when the machine was busy elsewhere.
double BestSeconds(LinkRig& rig, WatchedLink& link, ControlId button, double first, double bound) {
    double best = first;
    for (int retry = 0; retry < 2 && best > bound; ++retry) {
        const double again = RunCommand(rig, link, button).Seconds();
        qInfo("timed again: %.4f s", again);
        best = std::min(best, again);
    }
    return best;
}

// Exactly the lines, each sent at least 0.2 s after the one before, the first at least 0.1 s
// after the click and the end at least 0.1 s after the last line.
void CheckPacing(const WatchedLink& link, const PtyPeer& peer, const Timed& timed) {
    const auto& sent = link.Writes();
    QVERIFY(!sent.empty());
    QVERIFY2(ShortestGap(sent) >= 0.2, qPrintable(QString::number(ShortestGap(sent))));
    QVERIFY(sent.front().seconds - timed.clickedAt >= 0.1);
    QVERIFY(timed.finishedAt - sent.back().seconds >= 0.1);
    QTRY_COMPARE(peer.Lines().size(), sent.size());
    QVERIFY2(ShortestGap(peer.Lines()) >= 0.2 - kArrivalSlack,
             qPrintable(QString::number(ShortestGap(peer.Lines()))));
}

void Connect(LinkRig& rig, const PtyPeer& peer) {
    rig.panel.SetText(CPort, peer.Path().toStdString());
    rig.Click(SetCP);
}

} // namespace

class LinkTransferTest : public QObject {
    Q_OBJECT
private slots:
    void pacedCommandsAtFullTiming();
    void serinGoesIntoTheLog();
    void wordsWithBit31GoOutAsTwosComplement();
    void clicksDuringASequenceStartNothing();
    void repliesOverThePort();
    void unrequestedSetIsLoggedOnly();
    void refusedSetClearsTheGuard();
    void noReplyClearsTheGuard();
    void lostPortStopsTheTransfer();
    void lostPortWhileIdle();
    void failedReopenSendsNothing();
};

// The one slow test: the real 0.1 s waits, each command once.
void LinkTransferTest::pacedCommandsAtFullTiming() {
    PtyPeer peer;
    WatchedLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkOptions options = FastOptions();
    options.lineWait = std::chrono::milliseconds(100);
    LinkRig rig(link, ports, options);
    rig.controller.Form_Load();
    Connect(rig, peer);
    rig.panel.SetText(Text1, "earlier\r\n");

    // While a sequence runs the three send buttons stay disabled.
    int enabledAtAWrite = 0;
    link.onWrite = [&] {
        for (ControlId button : {SendAll, WriteAll, Init}) {
            enabledAtAWrite += rig.panel.Record(button).enabled ? 1 : 0;
        }
    };

    const Timed sendAll = RunCommand(rig, link, SendAll);
    qInfo("Set all Registers: %.4f s (floor 1.2 s), %.4f s from the click, CPU %.4f s",
          sendAll.Seconds(), sendAll.finishedAt - sendAll.clickedAt, sendAll.cpuSeconds);
    CheckPacing(link, peer, sendAll);
    QCOMPARE(TextsOf(peer.Lines()), kExampleLines);
    QCOMPARE(peer.Received().size(), 66);
    QVERIFY(sendAll.Seconds() >= 1.2);
    QCOMPARE(enabledAtAWrite, 0);
    QVERIFY(rig.panel.Record(SendAll).enabled);
    QCOMPARE(rig.Log(), std::string("earlier\r\nSend registers\r\n"));
    QVERIFY(rig.panel.Record(Text1).fore == colour::Black);
    QVERIFY(BestSeconds(rig, link, SendAll, sendAll.Seconds(), 1.2 * 1.02) <= 1.2 * 1.02);

    peer.Forget();
    link.Forget();
    const Timed writeAll = RunCommand(rig, link, WriteAll);
    qInfo("Write EE: %.4f s (floor 2.4 s), %.4f s from the click, CPU %.4f s", writeAll.Seconds(),
          writeAll.finishedAt - writeAll.clickedAt, writeAll.cpuSeconds);
    CheckPacing(link, peer, writeAll);
    std::vector<QByteArray> alternating;
    for (const QByteArray& line : kExampleLines) {
        alternating.push_back(line);
        alternating.push_back("W\r\n");
    }
    QCOMPARE(TextsOf(peer.Lines()), alternating);
    QCOMPARE(peer.Received().size(), 6 * 11 + 6 * 3);
    QVERIFY(writeAll.Seconds() >= 2.4);
    QVERIFY(writeAll.cpuSeconds < 0.05 * writeAll.Seconds()); // idle while the line settles
    QCOMPARE(enabledAtAWrite, 0);
    QCOMPARE(rig.Log(), std::string("\r\n\r\n\r\n\r\n\r\n\r\n")); // nothing came back
    QVERIFY(rig.panel.Record(Text1).fore == colour::LogPurple);
    QVERIFY(BestSeconds(rig, link, WriteAll, writeAll.Seconds(), 2.4 * 1.02) <= 2.4 * 1.02);

    peer.Forget();
    link.Forget();
    const Timed init = RunCommand(rig, link, Init);
    CheckPacing(link, peer, init);
    QCOMPARE(peer.Received(), QByteArray("INIT\r\n"));
    QVERIFY(init.Seconds() >= 0.2);
    QCOMPARE(enabledAtAWrite, 0);
    QCOMPARE(rig.Log(), std::string("Set From EE\r\n"));
    QVERIFY(rig.panel.Record(Text1).fore == colour::LogGreen);
    QVERIFY(rig.state.InitFlag);
}

// Replies without a word wait in Serin; each command takes them into the log at its own steps.
void LinkTransferTest::serinGoesIntoTheLog() {
    ScriptedLink link;
    link.answer = "OK\r\n";
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    rig.panel.SetText(CPort, "/dev/ttyUSB0");
    rig.Click(SetCP);
    QSignalSpy finished(&rig.controller, &LinkController::TransferFinished);

    rig.Click(SendAll);
    QVERIFY(finished.wait(5000));
    // The six replies hold no word, so they join into one line, inserted once at the end.
    QCOMPARE(rig.Log(), std::string("Send registers\r\nOKOKOKOKOKOK"));
    QCOMPARE(rig.state.Serin, std::string());

    // "Write EE" does not empty Serin between registers, so each entry repeats the earlier ones.
    rig.panel.SetText(Text1, "earlier\r\n");
    rig.Click(WriteAll);
    QVERIFY(finished.wait(5000));
    QCOMPARE(rig.Log(), std::string("OKOK\r\n"
                                    "OKOKOKOK\r\n"
                                    "OKOKOKOKOKOK\r\n"
                                    "OKOKOKOKOKOKOKOK\r\n"
                                    "OKOKOKOKOKOKOKOKOKOK\r\n"
                                    "OKOKOKOKOKOKOKOKOKOKOKOK\r\n"));
    QCOMPARE(rig.state.Serin, std::string());

    rig.Click(Init); // the heading replaces the log; the reply waits in Serin for a later command
    QVERIFY(finished.wait(5000));
    QCOMPARE(rig.Log(), std::string("Set From EE\r\n"));
    QCOMPARE(rig.state.Serin, std::string("OK"));
}

void LinkTransferTest::wordsWithBit31GoOutAsTwosComplement() {
    PtyPeer peer;
    WatchedLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    Connect(rig, peer);
    rig.panel.SetValue(FractN, 1);
    RunCommand(rig, link, SendAll);
    QTRY_COMPARE(peer.Lines().size(), std::size_t{6});
    QCOMPARE(peer.Lines().back().text, QByteArray("R80E80000\r\n"));
    QCOMPARE(peer.Lines()[3].text, QByteArray("R18005F42\r\n"));
    QCOMPARE(peer.Lines()[4].text, QByteArray("R00000001\r\n"));
}

// A click that arrives between the lines of a command (the window stays live) starts nothing.
void LinkTransferTest::clicksDuringASequenceStartNothing() {
    PtyPeer peer;
    WatchedLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    Connect(rig, peer);
    bool clicked = false;
    link.onWrite = [&] {
        if (!clicked) {
            clicked = true;
            QTimer::singleShot(0, [&] {
                rig.Click(WriteAll);
                rig.Click(Init);
                rig.Click(SendAll);
            });
        }
    };
    RunCommand(rig, link, SendAll);
    QVERIFY(clicked);
    QCOMPARE(link.Writes().size(), std::size_t{6});
    QCOMPARE(rig.Log(), std::string("Send registers\r\n"));
    QVERIFY(!rig.state.InitFlag);
}

// The receive edge cases as the port delivers them: several lines in one read, a line split
// over two reads, a name before the word, "0X", lower case, a short word, bit 31, user data.
void LinkTransferTest::repliesOverThePort() {
    PtyPeer peer;
    WatchedLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    Connect(rig, peer);
    const std::string fout = rig.panel.Text(FoutText);

    peer.Send("Udata {5A5A0001} Reg0 0x80A00000\r\nReg1 0X20000fa1\r\nReg2 0x18005E42\r\n");
    QTRY_COMPARE(rig.controller.RxCount(), 3);
    QCOMPARE(rig.panel.Text(Udata), std::string("5A5A0001"));
    peer.Send("Reg3 0x0000");
    QTest::qWait(50);
    QCOMPARE(rig.controller.RxCount(), 3); // no CR yet: the line waits
    peer.Send("000B\r\nno word here\r\nReg4 0x5\r\n");
    QTRY_COMPARE(rig.controller.RxCount(), 5);
    QCOMPARE(rig.state.Serin, std::string());
    peer.Send("0x00400005\r\n");
    QTRY_COMPARE(rig.controller.RxCount(), 6);
    QCOMPARE(rig.Log(), std::string("Reg 0 - 80A00000\r\n"
                                    "Reg 1 - 20000FA1\r\n"
                                    "Reg 2 - 18005E42\r\n"
                                    "Reg 3 - 0000000B\r\n"
                                    "Reg 5 - 00000005\r\n"
                                    "Reg 5 - 00400005\r\n"));
    QCOMPARE(rig.state.RxReg[0], static_cast<std::int32_t>(0x80A00000U));
    QCOMPARE(rig.state.RxReg[5], 0x00400005);

    // Reg0 came first, so the set is complete only at the next line without a word.
    peer.Send("Done\r\n");
    QTRY_COMPARE(rig.controller.RxCount(), 0);
    QVERIFY(rig.Log().ends_with(UnrequestedSetLog()));
    QCOMPARE(rig.panel.Text(FoutText), fout);
}

void LinkTransferTest::unrequestedSetIsLoggedOnly() {
    PtyPeer peer;
    WatchedLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    Connect(rig, peer);
    const std::string fout = rig.panel.Text(FoutText);
    peer.Send("Reg5 0x00400005\r\nReg4 0x638FF1B4\r\nReg3 0x0000000B\r\n"
              "Reg2 0xCE005E02\r\nReg1 0x207D1F41\r\nReg0 0x001D0000\r\n");
    QTRY_VERIFY(rig.Log().find("Reg 0 - 001D0000") != std::string::npos);
    QCOMPARE(rig.Log(), "Reg 5 - 00400005\r\nReg 4 - 638FF1B4\r\nReg 3 - 0000000B\r\n"
                        "Reg 2 - CE005E02\r\nReg 1 - 207D1F41\r\nReg 0 - 001D0000\r\n"
                        "Register set received without INIT from EE; panel left unchanged\r\n");
    QCOMPARE(rig.panel.Text(FoutText), fout);
    QCOMPARE(rig.panel.Value(RefDbl), 0);
    QCOMPARE(rig.panel.Value(MuxR), 0);
    QCOMPARE(rig.state.RxReg[2], static_cast<std::int32_t>(0xCE005E02U));
    QCOMPARE(rig.controller.RxCount(), 0);
}

void LinkTransferTest::refusedSetClearsTheGuard() {
    PtyPeer peer;
    peer.SetResponder([](const QByteArray& line) {
        // An erased-looking set: R is 0.
        return line == "INIT\r\n" ? QByteArray("Reg5 0x00000005\r\nReg4 0x00000004\r\nReg3 "
                                               "0x00000003\r\nReg2 0x00000002\r\nReg1 "
                                               "0x00000001\r\nReg0 0x00000000\r\n")
                                  : QByteArray();
    });
    WatchedLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    Connect(rig, peer);
    const std::string fout = rig.panel.Text(FoutText);
    rig.Click(Init);
    QVERIFY(rig.state.InitFlag);
    QTRY_VERIFY(!rig.state.InitFlag);
    QVERIFY(rig.Log().starts_with("Set From EE\r\nReg 5 - 00000005\r\n"));
    QVERIFY(rig.Log().ends_with("Reg 0 - 00000000\r\nStored register set refused: the reference "
                                "divider R is 0; panel left unchanged\r\n"));
    QCOMPARE(rig.panel.Text(FoutText), fout);
}

void LinkTransferTest::noReplyClearsTheGuard() {
    PtyPeer peer;
    WatchedLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkOptions options = FastOptions();
    options.replyTimeout = std::chrono::milliseconds(300);
    LinkRig rig(link, ports, options);
    Connect(rig, peer);
    rig.Click(Init);
    QVERIFY(rig.state.InitFlag);
    rig.plan.Recalculate(); // frozen while the reply is awaited
    QCOMPARE(rig.state.Reg0, 0);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.state.InitFlag, 5000);
    QCOMPARE(rig.Log(),
             std::string("Set From EE\r\nNo reply to INIT from EE within 0.3 s; panel left "
                         "unchanged\r\n"));
    rig.plan.Recalculate(); // the panel is live again
    QCOMPARE(rig.state.Reg0, 0x00E80190);
}

void LinkTransferTest::lostPortStopsTheTransfer() {
    auto peer = std::make_unique<PtyPeer>();
    WatchedLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkOptions options = FastOptions();
    options.lineWait = std::chrono::milliseconds(100);
    LinkRig rig(link, ports, options);
    Connect(rig, *peer);
    const std::string path = peer->Path().toStdString();
    // The adapter is pulled out just after the first line, long before the second is due.
    link.onWrite = [&] { QTimer::singleShot(0, [&] { peer.reset(); }); };
    QSignalSpy finished(&rig.controller, &LinkController::TransferFinished);
    rig.Click(SendAll);
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.takeFirst().at(0).toBool(), false);
    QCOMPARE(link.Writes().size(), std::size_t{1});
    QVERIFY(rig.Log().starts_with("Send registers\r\nPort " + path + " lost"));
    QVERIFY(rig.Log().ends_with("; transfer stopped\r\n"));
    QVERIFY(!rig.controller.Busy());
    QVERIFY(rig.panel.Record(SendAll).enabled);
    QVERIFY(!link.IsOpen());
    QTest::qWait(300); // the rest of the plan never runs
    QCOMPARE(link.Writes().size(), std::size_t{1});
}

// Pulled out between commands: the log says so at once, and the program does not spin on the
// dead port while it waits for the operator.
void LinkTransferTest::lostPortWhileIdle() {
    auto peer = std::make_unique<PtyPeer>();
    WatchedLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    Connect(rig, *peer);
    const std::string path = peer->Path().toStdString();
    peer.reset();
    QTRY_VERIFY(!link.IsOpen());
    QVERIFY2(rig.Log().starts_with("Port " + path + " lost"), rig.Log().c_str());
    QVERIFY(rig.Log().find("transfer stopped") == std::string::npos);
    const double cpuBefore = CpuSeconds();
    QTest::qWait(300);
    QVERIFY(CpuSeconds() - cpuBefore < 0.05);
    rig.Click(WriteAll);
    QCOMPARE(rig.Log(), "Port " + path + " is not open; nothing sent\r\n");
    QVERIFY(link.Writes().empty());
}

void LinkTransferTest::failedReopenSendsNothing() {
    ScriptedLink link;
    link.opensLeft = 1; // "Set COM Port" opens it, then the adapter is gone
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    rig.panel.SetText(CPort, "/dev/ttyUSB0");
    rig.Click(SetCP);
    QVERIFY(link.IsOpen());
    rig.panel.SetText(Text1, "earlier\r\n");
    rig.Click(SendAll);
    QVERIFY(!rig.controller.Busy());
    QCOMPARE(link.written, std::string());
    QCOMPARE(rig.Log(),
             std::string("earlier\r\nCannot reopen /dev/ttyUSB0: no such port; nothing sent\r\n"));
    QVERIFY(rig.panel.Record(SendAll).enabled);
    rig.Click(WriteAll); // nothing open: says so and sends nothing
    QCOMPARE(link.written, std::string());
    QCOMPARE(rig.Log(), std::string("Port /dev/ttyUSB0 is not open; nothing sent\r\n"));
    rig.Click(Init);
    QCOMPARE(link.written, std::string());
    QVERIFY(!rig.state.InitFlag);
    QCOMPARE(rig.Log(),
             std::string("Set From EE\r\nPort /dev/ttyUSB0 is not open; nothing sent\r\n"));
}

QTEST_GUILESS_MAIN(LinkTransferTest)
#include "link_transfer_test.moc"
