#include "link/link_texts.h"

#include "core/numbers.h"

namespace max2870 {

namespace {

constexpr const char* kCrLf = "\r\n";

std::string ReasonOf(const OpenResult& result) {
    switch (result.fault) {
    case PortFault::NotFound:
        return "no such port";
    case PortFault::Permission:
        return "permission denied";
    case PortFault::Busy:
        return "it is in use by another program";
    case PortFault::None:
        return "no error";
    case PortFault::Other:
        break;
    }
    return result.detail.empty() ? std::string("unknown error") : result.detail;
}

} // namespace

std::string PortOpenMessage(const std::string& portText) {
    return portText + " Open" + kCrLf + "RS232 Parameters  9600 Baud, N,8,2" + kCrLf +
           "Use with PIC Firmware  'MAX2870' to translate ASCII / Hex to SPI " + kCrLf;
}

std::string OpenFailureMessage(const std::string& port, const OpenResult& result) {
    std::string text = "Cannot open " + port + ": " + ReasonOf(result) + "." + kCrLf;
    if (result.fault == PortFault::Permission) {
        text += std::string("Add your user to the dialout group (sudo usermod -aG dialout "
                            "$USER), log out and in again, then retry.") +
                kCrLf;
    } else {
        text += std::string("Choose another port and press Set COM Port again.") + kCrLf;
    }
    return text;
}

std::string NoPortChosenMessage(bool suggestDialout) {
    std::string text = std::string("No port chosen: type a port number or device path in the port "
                                   "box, or pick one from its list, then press Set COM Port.") +
                       kCrLf;
    if (suggestDialout) {
        text += std::string("No serial port could be opened. If the machine has serial ports, "
                            "your user may need to join the dialout group (sudo usermod -aG "
                            "dialout $USER), then log out and in again.") +
                kCrLf;
    }
    return text;
}

std::string NotSentLog(RunOutcome outcome, const std::string& valuesText) {
    if (outcome == RunOutcome::NoFcomp) {
        return std::string("Not sent: no comparison frequency") + kCrLf;
    }
    return "Not sent: " + valuesText.substr(0, valuesText.find(kCrLf)) + kCrLf;
}

std::string ReopenFailureLog(const std::string& port, const OpenResult& result) {
    std::string text = "Cannot reopen " + port + ": " + ReasonOf(result) + "; nothing sent";
    if (result.fault == PortFault::Permission) {
        text += " (add your user to the dialout group)";
    }
    return text + "; choose a port and press Set COM Port" + kCrLf;
}

std::string PortClosedLog(const std::string& port) {
    return "Port " + port + " is not open; nothing sent" + kCrLf;
}

std::string PortLostLog(const std::string& port, const std::string& reason, bool midTransfer) {
    std::string text = "Port " + port + " went away (adapter unplugged or simulator closed)";
    if (midTransfer) {
        text += "; transfer stopped";
    }
    text += "; choose a port and press Set COM Port";
    if (!reason.empty()) {
        text += " [" + reason + "]"; // the system's own words, for whoever digs deeper
    }
    return text + kCrLf;
}

std::string UnrequestedSetLog() {
    return std::string("Register set received without INIT from EE; panel left unchanged") + kCrLf;
}

std::string RefusedSetLog(const std::string& reason) {
    return "Stored register set refused: " + reason + "; panel left unchanged" + kCrLf;
}

std::string NoReplyLog(double seconds) {
    return "No reply to INIT from EE within " + PlainText(seconds) + " s; panel left unchanged" +
           kCrLf;
}

std::string CloseDeferredLog() {
    return std::string("Closing once the register set on the wire is complete (at most 2.4 s); "
                       "close again to end at once") +
           kCrLf;
}

} // namespace max2870
