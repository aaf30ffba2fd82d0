// max2870-control: the MAX2870 control panel.

#include "app/control_app.h"
#include "app/scpi_bridge.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <memory>
#include <string_view>

namespace {

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "max2870-control: %s\n", message.c_str());
    return status;
}

void AddOptions(QCommandLineParser& parser) {
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(
        {"scpi", "Serve SCPI on [ADDRESS:]TCPPORT (loopback unless given).", "[ADDRESS:]TCPPORT"});
}

// --help and --version answer without a display, as over ssh or in a package check.
bool AsksForTextOnly(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") {
            return false;
        }
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" ||
            arg == "--version") {
            return true;
        }
    }
    return false;
}

int ShowTextOnly(int argc, char* argv[]) {
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("max2870-control"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MAX2870_VERSION));
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(QCoreApplication::arguments())) {
        return Fail(2, parser.errorText().toStdString() + " (see --help)");
    }
    if (parser.isSet("version") && !parser.isSet("help") && !parser.isSet("help-all")) {
        parser.showVersion(); // exits
    }
    parser.showHelp(); // exits; --help-all shows the same, Qt's own options need a display
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (AsksForTextOnly(argc, argv)) {
        return ShowTextOnly(argc, argv);
    }
    QApplication app(argc, argv);
    max2870::SetUpApplication();
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(QApplication::arguments())) {
        return Fail(2, parser.errorText().toStdString() + " (see --help)");
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
                                                     control.Serial(), control.Link());
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
