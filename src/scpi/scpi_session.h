#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace max2870::scpi {

// The error codes the instrument queues; the texts are SCPI-1999's.
enum ErrorCode : int {
    kNoError = 0,
    kDataTypeError = -104,
    kParameterNotAllowed = -108,
    kMissingParameter = -109,
    kUndefinedHeader = -113,
    kInvalidCharacterInNumber = -121,
    kExponentTooLarge = -123,
    kInvalidSuffix = -131,
    kSuffixNotAllowed = -138,
    kInvalidCharacterData = -141,
    kSettingsConflict = -221,
    kDataOutOfRange = -222,
    kTooMuchData = -223,
    kIllegalParameterValue = -224,
    kHardwareError = -240,
    kHardwareMissing = -241,
    kQueueOverflow = -350,
    kInputBufferOverrun = -363,
};

const char* ErrorText(int code);

// A count of link operations: an operation is done once the link has finished that many.
using Ticket = std::uint64_t;

// What one connection owns: its error queue, its IEEE 488.2 status bytes and the SCPI path its
// last command left.
class Session {
public:
    static constexpr std::size_t kQueueSize = 16;
    static constexpr int kOperationComplete = 1;

    // Queues the error and sets its class's bit in the event status register.
    void Push(int code, const std::string& detail = {});
    // `0,"No error"` or the oldest entry, which leaves the queue.
    std::string Pop();
    int Count() const { return static_cast<int>(queue_.size()); }
    void Clear(); // *CLS: the queue and the event status register

    int TakeEventStatus(); // *ESR? reads and clears
    int EventStatus() const { return esr_; }
    void SetEventStatusBits(int bits) { esr_ |= bits; }
    int enableMask = 0;             // *ESE
    std::optional<Ticket> opcAfter; // *OPC: set the OPC bit once the link has done this much
    std::vector<std::string> path;  // nodes a relative header continues

private:
    std::deque<std::string> queue_;
    int esr_ = 0;
};

} // namespace max2870::scpi
