// max2870-control: the MAX2870 control panel.

#include "app/control_app.h"
#include "app/scpi_bridge.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <memory>

namespace {

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "max2870-control: %s\n", message.c_str());
    return status;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    max2870::SetUpApplication();
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(
        {"scpi", "Serve SCPI on [ADDRESS:]TCPPORT (loopback unless given).", "[ADDRESS:]TCPPORT"});
    if (!parser.parse(QApplication::arguments())) {
        return Fail(2, parser.errorText().toStdString() + " (see --help)");
    }
    if (parser.isSet("help")) {
        parser.showHelp(); // exits
    }
    if (parser.isSet("version")) {
        parser.showVersion(); // exits
    }
    if (!parser.positionalArguments().isEmpty()) {
        return Fail(2, "unexpected argument '" +
                           parser.positionalArguments().front().toStdString() + "' (see --help)");
    }
    max2870::ControlApp control;
    std::unique_ptr<max2870::ScpiBridge> scpi;
    if (parser.isSet("scpi")) {
        std::string error;
        const auto where = max2870::ParseListenAddress(parser.value("scpi").toStdString(), error);
        if (!where) {
            return Fail(2, "--scpi: " + error + " (see --help)");
        }
        scpi = std::make_unique<max2870::ScpiBridge>(control.Plan(), control.Panel(),
                                                     control.Serial());
        if (!scpi->Listen(*where, error)) {
            return Fail(3, error);
        }
        if (const std::string warning = max2870::ExposureWarning(*where); !warning.empty()) {
            Fail(0, warning);
        }
        Fail(0, "serving SCPI on " + scpi->Address());
    }
    control.Start();
    return QApplication::exec();
}
