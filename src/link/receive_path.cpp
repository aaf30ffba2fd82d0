#include "link/receive_path.h"

#include "core/hex_format.h"
#include "link/hex_value.h"

#include <algorithm>

namespace max2870 {

namespace {

// Where the first "0x" or "0X" stands; only ASCII letters change case here.
std::size_t WordMarker(std::string_view line) {
    for (std::size_t zero = line.find('0'); zero != std::string_view::npos;
         zero = line.find('0', zero + 1)) {
        if (zero + 1 < line.size() && (line[zero + 1] == 'x' || line[zero + 1] == 'X')) {
            return zero;
        }
    }
    return std::string_view::npos;
}

std::string UserDataOf(const std::string& line) {
    const auto brace = line.find('{');
    const auto start = brace == std::string::npos ? 0 : brace + 1;
    return line.substr(start, 8);
}

} // namespace

void ReceivePath::Take(std::string_view received) {
    unread_.append(received);
}

std::optional<LineOutcome> ReceivePath::NextLine() {
    const auto cr = unread_.find('\r', position_);
    if (cr == std::string::npos) {
        serin_.append(unread_, position_);
        unread_.clear();
        position_ = 0;
        return std::nullopt;
    }
    serin_.append(unread_, position_, cr - position_);
    position_ = cr + 1;
    // Every CR is handled within the read that brought it, so the text after it came in the
    // same read; an LF that arrives in a later read starts the next line instead, harmlessly.
    if (position_ < unread_.size() && unread_[position_] == '\n') {
        ++position_;
    }
    return HandleLine();
}

LineOutcome ReceivePath::HandleLine() {
    LineOutcome outcome;
    bool handOver = false;
    const std::string& line = serin_;
    if (line.find("Udata") != std::string::npos) {
        outcome.userData = UserDataOf(line);
    }
    const auto marker = WordMarker(line);
    if (marker == std::string::npos) {
        handOver = rxCount_ >= 6; // a word-less line counts as address 0
    } else {
        handOver = FileWord(std::string_view(line).substr(marker + 2, 8), outcome);
    }
    if (handOver) {
        rxCount_ = 0;
        outcome.handOver = ReadBackWords{rxReg_[0], rxReg_[1], rxReg_[2], rxReg_[4]};
    }
    return outcome;
}

bool ReceivePath::FileWord(std::string_view digits, LineOutcome& outcome) {
    const std::optional<std::int32_t> word = HexValue(digits);
    serin_.clear();
    if (!word) {
        outcome.wordDropped = true;
        return false;
    }
    rxCount_ = std::min(rxCount_ + 1, kMaxRxCount);
    const int index = static_cast<int>(static_cast<std::uint32_t>(*word) & 7U);
    rxReg_[static_cast<std::size_t>(index)] = *word;
    outcome.logEntry = "Reg " + std::to_string(index) + " - " + HexFormat(*word) + "\r\n";
    return index == 0 && rxCount_ >= 6;
}

} // namespace max2870
