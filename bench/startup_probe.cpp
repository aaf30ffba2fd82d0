// Opens the control panel exactly as max2870-control does and reports once it is on screen.

#include "app/control_app.h"
#include "startup_report.h"

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    max2870::SetUpApplication();
    const double applicationMs = MillisecondsSince(sinceMain);
    max2870::ControlApp control;
    const double builtMs = MillisecondsSince(sinceMain);
    control.Start();
    std::printf("phases_ms application %.1f panel_built %.1f ports_probed_and_shown %.1f\n",
                applicationMs, builtMs, MillisecondsSince(sinceMain));
    if (!QTest::qWaitForWindowExposed(control.Panel().MainWindow(), 5000)) {
        std::fprintf(stderr, "max2870_startup: the window was not shown within 5 s\n");
        return 1;
    }
    ReportShown(sinceMain);
    return 0;
}
