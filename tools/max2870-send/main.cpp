// max2870-send: programs the board, stores the set in the translator's EEPROM or reads it back,
// from a script; and steps through a sweep or a list of frequencies. The same model and link
// code as the window.

#include "core/numbers.h"
#include "core/plan.h"
#include "link/qt_serial_link.h"
#include "output_check.h"
#include "plan_report.h"
#include "send_session.h"
#include "serve_mode.h"
#include "step_source.h"
#include "tool_options.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <clocale>
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

int signalPipe[2] = {-1, -1};

// A stop signal only leaves a mark for the event loop: the session stops between lines, never
// in one.
void OnStopSignal(int signal) {
    const auto mark = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &mark, 1);
}

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}

int BadCommandLine(const std::string& error) {
    std::cerr << "max2870-send: " << error << " (see --help)\n";
    return kBadValue;
}

// The port is the one operand; none or several is a bad command line.
std::string PortOf(const ParsedOptions& parsed, std::string& error) {
    if (parsed.operands.size() == 1) {
        return parsed.operands.front();
    }
    error = parsed.operands.empty()
                ? "the first argument must be the port, e.g. /dev/ttyUSB0"
                : "unexpected argument '" + parsed.operands[1] + "' (one port only)";
    return "";
}

// Without --odiv a single set takes the divider "> > >" picks, as every sweep step does: a
// wanted frequency below the VCO's range must not program a VCO that cannot lock.
ToolOptions WithDivider(ToolOptions options) {
    if (!options.odiv && !options.Stepped() && options.command != SendCommand::Read) {
        options.odiv = DividerExponentFor(NumberOfText(options.fout));
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParsedOptions parsed = ParseToolOptions(arguments, ToolProgram::Send);
    if (!parsed.error.empty()) {
        return BadCommandLine(parsed.error);
    }
    if (parsed.options.help || parsed.options.version) {
        const bool written = WriteOut(parsed.options.help ? std::string(SendUsage())
                                                          : "max2870-send " MAX2870_VERSION "\n");
        return written && FlushOut() ? 0 : OutputFailed("max2870-send");
    }
    std::string error;
    const std::string port = PortOf(parsed, error);
    if (port.empty()) {
        return BadCommandLine(error);
    }
    if (parsed.options.serve) {
        return ServeInstrument(port, parsed.options, argc, argv);
    }
    const ToolOptions options = WithDivider(parsed.options);

    QCoreApplication app(argc, argv);
    // The toolkit takes the user's locale; numbers in messages and progress keep their '.'.
    std::setlocale(LC_NUMERIC, "C");
    std::unique_ptr<StepSource> steps;
    if (options.Stepped()) {
        steps = MakeStepSource(options, error);
        if (!steps) {
            return BadCommandLine(error);
        }
    }
    QtSerialLink link;
    link.SetPortName(port);
    SendSession session(link, options, std::move(steps));
    if (pipe(signalPipe) != 0) {
        std::perror("max2870-send: pipe");
        return 1;
    }
    QSocketNotifier stopped(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopped, &QSocketNotifier::activated, &session, [&session] {
        char signal = 0;
        if (read(signalPipe[0], &signal, 1) == 1) {
            session.Interrupt(signal);
        }
    });
    InstallStopHandlers();
    QObject::connect(&session, &SendSession::Finished, &app,
                     [](int status) { QCoreApplication::exit(status); });
    QMetaObject::invokeMethod(&session, &SendSession::Start, Qt::QueuedConnection);
    return QCoreApplication::exec();
}
