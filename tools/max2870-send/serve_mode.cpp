#include "serve_mode.h"

#include "link/link_texts.h"
#include "link/qt_serial_link.h"
#include "plan_report.h"
#include "scpi/scpi_engine.h"
#include "scpi_server/paced_set_link.h"
#include "scpi_server/scpi_server.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <clocale>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <unistd.h>

#ifndef MAX2870_VERSION
#define MAX2870_VERSION "unknown"
#endif

namespace max2870 {
namespace {

int signalPipe[2] = {-1, -1};

// The signal only leaves its number for the event loop: the set on the wire is finished first.
void OnSignal(int number) {
    const char mark = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &mark, 1);
}

void Say(const std::string& line) {
    std::fprintf(stderr, "max2870-send: %s\n", line.c_str());
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

} // namespace

int ServeInstrument(const std::string& port, const ToolOptions& options, int argc, char** argv) {
    std::string error;
    const std::optional<ListenAddress> where = ParseListenAddress(*options.serve, error);
    if (!where) {
        Say("--serve: " + error + " (see --help)");
        return 2;
    }
    QCoreApplication app(argc, argv);
    // The toolkit takes the user's locale; numbers in messages keep their '.'.
    std::setlocale(LC_NUMERIC, "C");
    QtSerialLink serial;
    serial.SetPortName(port);
    if (const OpenResult opened = serial.Open(); !opened.Ok()) {
        Say(FirstLine(OpenFailureMessage(port, opened)));
        return 3;
    }
    const auto gap = std::chrono::nanoseconds(std::llround(options.gapSeconds * 1e9));
    PacedSetLink link(serial, gap, true,
                      std::chrono::milliseconds(std::llround(options.timeoutSeconds * 1000)));
    scpi::InstrumentSettings start;
    start.panel = InputsOf(options);
    start.gate = {options.externalVco, options.allowRuleBreaks};
    scpi::Engine engine(start, link, "max2870-control,MAX2870,0," MAX2870_VERSION);
    ScpiServer server(engine);
    QObject::connect(&link, &PacedSetLink::Progressed, &server, &ScpiServer::Resume);
    QObject::connect(&link, &PacedSetLink::Failed, &server, &ScpiServer::Fail);
    QObject::connect(&link, &PacedSetLink::ReadBack, &server, &ScpiServer::Restore);
    QObject::connect(&serial, &SerialLink::Lost, [&port](const QString& reason) {
        Say("port " + port + " went away (" + reason.toStdString() +
            "); commands that reach the board now queue -240");
    });
    if (!server.Listen(*where, error)) {
        Say(error);
        serial.Close();
        return 3;
    }
    if (const std::string warning = ExposureWarning(*where); !warning.empty()) {
        Say(warning);
    }
    Say("serving SCPI on " + server.Address());

    if (pipe(signalPipe) != 0) {
        std::perror("max2870-send: pipe");
        return 1;
    }
    int status = 0;
    QSocketNotifier signalled(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalled, &QSocketNotifier::activated, &link, [&status, &link] {
        char number = 0;
        if (read(signalPipe[0], &number, 1) == 1 && status == 0) {
            status = 128 + number;
            link.Shutdown();
        }
    });
    QObject::connect(&link, &PacedSetLink::Drained, &app, [&serial, &status] {
        serial.Close();
        QCoreApplication::exit(status);
    });
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
        std::signal(number, OnSignal);
    }
    return QCoreApplication::exec();
}

} // namespace max2870
