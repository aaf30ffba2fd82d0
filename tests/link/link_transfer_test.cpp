// The link over pseudo-terminals with the real serial layer: line settings, bytes at the far end,
// the real 0.1 s waits, replies, open failures and a port that goes away.

#include "link/link_texts.h"
#include "link/port_order.h"
#include "link/qt_serial_link.h"
#include "link_rig.h"

#include <regex>

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace max2870;
using enum ControlId;

namespace {

// The far end, standing in for the translator.
struct Pty {
    int master = -1;
    int slave = -1; // held open, so the program's close and reopen never hang up the far end
    std::string path;
    std::string received;
    Pty() {
        termios raw{};
        cfmakeraw(&raw);
        if (openpty(&master, &slave, nullptr, &raw, nullptr) == 0) {
            path = ttyname(slave);
            fcntl(master, F_SETFL, O_NONBLOCK);
        }
    }
    ~Pty() { Vanish(); }
    const std::string& Received() {
        char buffer[256];
        for (ssize_t n = 0; (n = ::read(master, buffer, sizeof buffer)) > 0;) {
            received.append(buffer, static_cast<std::size_t>(n));
        }
        return received;
    }
    bool Send(std::string_view text) { return ::write(master, text.data(), text.size()) > 0; }
    void Vanish() { // as when the adapter is pulled out
        ::close(std::exchange(master, -1));
        ::close(std::exchange(slave, -1));
    }
};

// The real serial layer, noting when the program hands it each line.
struct TimedSerial : QtSerialLink {
    std::vector<double> times;
    void Write(std::string_view text) override {
        times.push_back(Seconds());
        QtSerialLink::Write(text);
    }
};

} // namespace

class LinkTransferTest : public QObject {
    Q_OBJECT
private slots:
    void pacedCommandsAtFullTiming();
    void portsOverPseudoTerminals();
};

void LinkTransferTest::pacedCommandsAtFullTiming() {
    Pty pty;
    TimedSerial serial;
    LinkRig rig({"MAX2870 Control", 100ms, 5s}, &serial);
    rig.Connect(pty.path);
    termios line{};
    QVERIFY(tcgetattr(pty.master, &line) == 0);
    QVERIFY2(cfgetospeed(&line) == B9600 && (line.c_cflag & CSIZE) == CS8, "9600 baud, 8 bits");
    QVERIFY2((line.c_cflag & CSTOPB) != 0 && (line.c_cflag & PARENB) == 0, "2 stop, no parity");
    const std::string sendAll = "R00400005\r\nR609C80FC\r\nR0000000B\r\nR18005E42\r\nR20000FA1"
                                "\r\nR00E80190\r\n";
    const std::tuple<ControlId, const char*, std::string> commands[]{
        {SendAll, "Set all Registers", sendAll},
        {WriteAll, "Write EE", std::regex_replace(sendAll, std::regex("\r\n"), "\r\nW\r\n")},
        {Init, "INIT from EE", "INIT\r\n"}};
    for (const auto& [button, name, wire] : commands) {
        serial.times.clear();
        pty.received.clear();
        QVERIFY2(rig.Run(button), name);
        QTRY_VERIFY2(pty.Received() == wire, name); // exactly these bytes reach the far end
        for (std::size_t i = 1; i < serial.times.size(); ++i) {
            QVERIFY2(serial.times[i] - serial.times[i - 1] >= 0.2, "lines at least 0.2 s apart");
        }
        const double floor = 0.2 * static_cast<double>(serial.times.size());
        QVERIFY2(rig.finishedAt - rig.clickedAt >= floor, "0.1 s before and after each line");
        qInfo("%s: %.4f s from the click (floor %.1f s)", name, rig.finishedAt - rig.clickedAt,
              floor);
    }
}

void LinkTransferTest::portsOverPseudoTerminals() {
    const auto found = SystemPortDirectory().Candidates();
    QVERIFY2(SystemPortDirectory().Naming() == PortNaming::Paths, "ports named by device path");
    QVERIFY2(std::ranges::is_sorted(found, NaturalLess, &PortCandidate::name), "natural order");

    Pty first;
    Pty held;
    QtSerialLink holder; // another program has this one open
    holder.SetPortName(held.path);
    QVERIFY(holder.Open().Ok());
    QtSerialLink serial;
    LinkRig rig({"MAX2870 Control", 10ms, 5s}, &serial);
    rig.link.names = {first.path, "/dev/max2870-test-no-such-port", held.path};
    rig.controller.Form_Load();
    QCOMPARE(rig.panel.Record(CPort).list, std::vector<std::string>{first.path});
    QVERIFY2(!serial.IsOpen(), "probe leaves the port closed");

    const std::vector<std::pair<std::string, PortFault>> failures{
        {"/dev/max2870-test-no-such-port", PortFault::NotFound},
        {held.path, PortFault::Busy},
        {first.path, geteuid() == 0 ? PortFault::None : PortFault::Permission}};
    chmod(first.path.c_str(), 0); // a device the user may not open
    for (const auto& [port, fault] : failures) {
        rig.Connect(port);
        const std::string message = "MAX2870 Control|" + OpenFailureMessage(port, {fault, ""});
        QVERIFY2(fault == PortFault::None || rig.panel.Messages().back() == message,
                 rig.panel.Messages().back().c_str());
    }
    chmod(first.path.c_str(), 0600);
    if (!serial.IsOpen()) {
        rig.Connect(first.path);
    }
    QVERIFY2(serial.IsOpen() && rig.panel.Visible(SendAll), "connected to the free port");

    QVERIFY(first.Send("Udata {5A5A0001}\r\nReg3 0x0000000B\r\n"));
    QTRY_VERIFY2(rig.Log() == "Reg 3 - 0000000B\r\n", "reply filed and logged");
    QCOMPARE(rig.panel.Text(Udata), std::string("5A5A0001"));

    first.Vanish();
    QTRY_VERIFY2(rig.panel.Visible(SetCP), "port choice back once the port went away");
    QVERIFY2(rig.Log().starts_with("Reg 3 - 0000000B\r\nPort " + first.path + " went away"),
             rig.Log().c_str());
    QVERIFY2(!serial.IsOpen() && !rig.panel.Visible(SendAll), "link commands gone");
}

QTEST_GUILESS_MAIN(LinkTransferTest)
#include "link_transfer_test.moc"
