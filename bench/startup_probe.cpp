// Opens the control panel exactly as max2870-control does and reports, once the window is on
// screen, the time since main began, the wall clock (so a script can add the loading before
// main), and the resident memory.

#include "app/control_app.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::string StatusLine(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(key)) {
            return line;
        }
    }
    return key + " unknown";
}

} // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    max2870::SetUpApplication();
    max2870::ControlApp control;
    control.Start();
    if (!QTest::qWaitForWindowExposed(control.Panel().MainWindow(), 5000)) {
        std::fprintf(stderr, "max2870_startup: the window was not shown within 5 s\n");
        return 1;
    }
    const auto shownAt = std::chrono::system_clock::now().time_since_epoch();
    std::printf("main_to_shown_ms %.1f\n", static_cast<double>(sinceMain.nsecsElapsed()) / 1e6);
    std::printf("shown_epoch_ns %lld\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::nanoseconds>(shownAt).count()));
    std::printf("%s\n%s\n", StatusLine("VmRSS").c_str(), StatusLine("VmHWM").c_str());
    return 0;
}
