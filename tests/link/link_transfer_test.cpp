// The link over pseudo-terminals with the real serial layer: line settings, bytes at the far end,
// ports that will not open, the real 0.1 s waits, replies and a port that goes away.

#include "link/link_texts.h"
#include "link/port_order.h"
#include "link/qt_serial_link.h"
#include "link_rig.h"

#include <QProcess>

#include <regex>

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace max2870;
using enum ControlId;

namespace {

struct Pty {                     // the far end, standing in for the translator
    int master = -1, slave = -1; // the slave held open: the program's reopen hangs nothing up
    std::string path;
    std::string received;
    Pty() {
        termios line{};
        line.c_cflag = CS7 | PARENB; // the program must set its own line
        if (openpty(&master, &slave, nullptr, &line, nullptr) == 0) {
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
    void Vanish() { // as when the adapter is pulled out
        ::close(std::exchange(master, -1));
        ::close(std::exchange(slave, -1));
    }
};

struct TimedSerial : QtSerialLink { // notes when the program hands each line over
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
    void closeDuringWriteEeLetsTheSetFinish();
};

// A close asked for 0.9 s into "Write EE" is held until the simulator has had all 12 lines.
void LinkTransferTest::closeDuringWriteEeLetsTheSetFinish() {
    QProcess sim;
    sim.start(MAX2870_SIM_PATH);
    QVERIFY(sim.waitForReadyRead(5000));
    QtSerialLink serial;
    LinkRig rig({"MAX2870 Control", 100ms, 5s}, &serial);
    rig.Connect(sim.readLine().trimmed().toStdString());
    bool held = false, ready = false;
    QObject::connect(&rig.controller, &LinkController::CloseReady, [&] { ready = true; });
    QTimer::singleShot(900ms, [&] { held = !rig.controller.RequestClose(); });
    rig.Click(WriteAll);
    QTRY_VERIFY2_WITH_TIMEOUT(ready, "the held close never goes ahead", 5000);
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
    QVERIFY2(held && rig.finishedAt - rig.clickedAt >= 2.4, "the close did not wait for the set");
    QCOMPARE(sim.readAll(), "12 lines received\n");
}

void LinkTransferTest::pacedCommandsAtFullTiming() {
    const auto found = SystemPortDirectory().Candidates();
    QVERIFY2(SystemPortDirectory().Naming() == PortNaming::Paths, "ports named by device path");
    QVERIFY2(std::ranges::is_sorted(found, NaturalLess, &PortCandidate::name), "natural order");
    Pty pty, held;
    QtSerialLink holder; // another program has this one open
    holder.SetPortName(held.path);
    QVERIFY(holder.Open().Ok());
    TimedSerial serial;
    LinkRig rig({"MAX2870 Control", 100ms, 5s}, &serial);
    rig.link.names = {pty.path, "/dev/max2870-test-no-such-port", held.path};
    rig.controller.Form_Load();
    QVERIFY2(rig.panel.Record(CPort).list == std::vector{pty.path}, "the ports that open");
    QVERIFY2(!serial.IsOpen(), "probe leaves the port closed");
    chmod(pty.path.c_str(), 0); // a device the user may not open (root may open anything)
    const std::pair<std::string, PortFault> failures[]{
        {"/dev/max2870-test-no-such-port", PortFault::NotFound},
        {held.path, PortFault::Busy},
        {pty.path, geteuid() == 0 ? PortFault::None : PortFault::Permission}};
    for (const auto& [port, fault] : failures) {
        rig.Connect(port);
        const std::string message = "MAX2870 Control|" + OpenFailureMessage(port, {fault, ""});
        QVERIFY2(fault == PortFault::None || rig.panel.Messages().back() == message,
                 rig.panel.Messages().back().c_str());
        QVERIFY2(serial.IsOpen() == (fault == PortFault::None), "no port left half open");
    }
    chmod(pty.path.c_str(), 0600);
    rig.Connect(pty.path);
    termios line{};
    QVERIFY(serial.IsOpen() && tcgetattr(pty.master, &line) == 0);
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
    QVERIFY(::write(pty.master, "Udata {5A5A0001}\r\nReg3 0x0000000B\r\n", 35) == 35);
    QTRY_VERIFY2(rig.Log().ends_with("EE\r\nReg 3 - 0000000B\r\n"), "reply filed and logged");
    QVERIFY2(rig.panel.Text(Udata) == "5A5A0001", "user data shown");
    pty.Vanish();
    QTRY_VERIFY2(rig.panel.Visible(SetCP), "port choice back once the port went away");
    QVERIFY2(rig.Log().find("\nPort " + pty.path + " went away") != std::string::npos,
             rig.Log().c_str());
    QVERIFY2(!serial.IsOpen() && !rig.panel.Visible(SendAll), "link commands gone");
}

QTEST_GUILESS_MAIN(LinkTransferTest)
#include "link_transfer_test.moc"
