// max2870-send: programs the board, stores the set in the translator's EEPROM or reads it back,
// from a script; and steps through a sweep or a list of frequencies. The same model and link
// code as the window.

#include "link/qt_serial_link.h"
#include "send_session.h"
#include "serve_mode.h"
#include "step_list.h"
#include "tool_options.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

#ifndef MAX2870_VERSION
#define MAX2870_VERSION "unknown"
#endif

namespace {

using namespace max2870;

int interruptPipe[2] = {-1, -1};

// Ctrl-C only leaves a mark for the event loop: the session stops between lines, never in one.
void OnInterrupt(int) {
    const char mark = 'i';
    [[maybe_unused]] const ssize_t written = write(interruptPipe[1], &mark, 1);
}

int BadCommandLine(const std::string& error) {
    std::cerr << "max2870-send: " << error << " (see --help)\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string port;
    if (!arguments.empty() && !arguments.front().starts_with("-")) {
        port = arguments.front();
        arguments.erase(arguments.begin());
    }
    const ParsedOptions parsed = ParseToolOptions(arguments, ToolProgram::Send);
    if (!parsed.error.empty()) {
        return BadCommandLine(parsed.error);
    }
    const ToolOptions& options = parsed.options;
    if (options.help) {
        std::cout << SendUsage();
        return 0;
    }
    if (options.version) {
        std::cout << "max2870-send " << MAX2870_VERSION << '\n';
        return 0;
    }
    if (port.empty()) {
        return BadCommandLine("the first argument must be the port, e.g. /dev/ttyUSB0");
    }
    if (options.serve) {
        return ServeInstrument(port, options, argc, argv);
    }
    std::optional<StepList> steps;
    if (options.Stepped()) {
        std::string error;
        steps = options.sweep ? StepList::Sweep(*options.sweep, error)
                              : ReadStepList(*options.listFile, error);
        if (!steps) {
            return BadCommandLine(error);
        }
    }

    QCoreApplication app(argc, argv);
    QtSerialLink link;
    link.SetPortName(port);
    SendSession session(link, options, std::move(steps));
    if (pipe(interruptPipe) != 0) {
        std::perror("max2870-send: pipe");
        return 1;
    }
    QSocketNotifier interrupted(interruptPipe[0], QSocketNotifier::Read);
    QObject::connect(&interrupted, &QSocketNotifier::activated, &session,
                     [&session] { session.Interrupt(); });
    std::signal(SIGINT, OnInterrupt);
    QObject::connect(&session, &SendSession::Finished, &app,
                     [](int status) { QCoreApplication::exit(status); });
    QMetaObject::invokeMethod(&session, &SendSession::Start, Qt::QueuedConnection);
    return QCoreApplication::exec();
}
