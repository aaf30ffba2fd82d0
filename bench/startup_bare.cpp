// The yardstick for the panel's start-up: an empty Qt window of the panel's size that probes
// the serial ports as the panel's start-up does, reported the same way.

#include "link/port_directory.h"
#include "link/qt_serial_link.h"
#include "startup_report.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

int main(int argc, char* argv[]) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(424, 502); // the panel's client area: 6360 x 7530 twips
    const double applicationMs = MillisecondsSince(sinceMain);
    max2870::SystemPortDirectory ports;
    max2870::QtSerialLink link;
    for (const max2870::PortCandidate& candidate : ports.Candidates()) {
        link.SetPortName(candidate.name);
        (void)link.Open();
        link.Close();
    }
    window.show();
    std::printf("phases_ms application %.1f ports_probed_and_shown %.1f\n", applicationMs,
                MillisecondsSince(sinceMain));
    if (!QTest::qWaitForWindowExposed(&window, 5000)) {
        std::fprintf(stderr, "max2870_startup_bare: the window was not shown within 5 s\n");
        return 1;
    }
    ReportShown(sinceMain);
    return 0;
}
