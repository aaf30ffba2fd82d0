#include "scpi/scpi_session.h"

#include <string>

namespace max2870::scpi {

const char* ErrorText(int code) {
    switch (code) {
    case kNoError:
        return "No error";
    case kDataTypeError:
        return "Data type error";
    case kParameterNotAllowed:
        return "Parameter not allowed";
    case kMissingParameter:
        return "Missing parameter";
    case kUndefinedHeader:
        return "Undefined header";
    case kInvalidCharacterInNumber:
        return "Invalid character in number";
    case kExponentTooLarge:
        return "Exponent too large";
    case kInvalidSuffix:
        return "Invalid suffix";
    case kSuffixNotAllowed:
        return "Suffix not allowed";
    case kInvalidCharacterData:
        return "Invalid character data";
    case kSettingsConflict:
        return "Settings conflict";
    case kDataOutOfRange:
        return "Data out of range";
    case kTooMuchData:
        return "Too much data";
    case kIllegalParameterValue:
        return "Illegal parameter value";
    case kHardwareError:
        return "Hardware error";
    case kHardwareMissing:
        return "Hardware missing";
    case kQueueOverflow:
        return "Queue overflow";
    case kInputBufferOverrun:
        return "Input buffer overrun";
    default:
        return "Error";
    }
}

namespace {

// IEEE 488.2 event status bits by error class: command, execution, device-dependent, query.
int EventBitOf(int code) {
    if (code <= -100 && code > -200) {
        return 1 << 5;
    }
    if (code <= -200 && code > -300) {
        return 1 << 4;
    }
    if (code <= -300 && code > -400) {
        return 1 << 3;
    }
    return code <= -400 && code > -500 ? 1 << 2 : 0;
}

std::string Entry(int code, const std::string& detail) {
    // A detail is free text from a plan or a port: its quotes are doubled as in a SCPI string.
    std::string text = std::string(ErrorText(code)) + (detail.empty() ? "" : ";" + detail);
    std::string quoted;
    for (const char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return std::to_string(code) + ",\"" + quoted + "\"";
}

} // namespace

void Session::Push(int code, const std::string& detail) {
    esr_ |= EventBitOf(code);
    if (queue_.size() < kQueueSize) {
        queue_.push_back(Entry(code, detail));
    } else {
        queue_.back() = Entry(kQueueOverflow, {});
    }
}

std::string Session::Pop() {
    if (queue_.empty()) {
        return Entry(kNoError, {});
    }
    std::string oldest = std::move(queue_.front());
    queue_.pop_front();
    return oldest;
}

void Session::Clear() {
    queue_.clear();
    esr_ = 0;
    opcAfter.reset();
}

int Session::TakeEventStatus() {
    const int esr = esr_;
    esr_ = 0;
    return esr;
}

} // namespace max2870::scpi
