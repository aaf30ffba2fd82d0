#pragma once

#include "core/decode.h"

#include <array>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace max2870 {

// What one completed reply line asks of the window.
struct LineOutcome {
    std::optional<std::string> userData;   // new text of the user-data box
    std::optional<std::string> logEntry;   // "Reg 3 - 1234567B" and CR LF, for the link log
    bool wordDropped = false;              // a word too malformed to hold in 32 bits was discarded
    std::optional<ReadBackWords> handOver; // a full set has come in: its Reg0, Reg1, Reg2, Reg4
};

// Collects the translator's replies into Serin, files each register word into RxReg by its
// address bits and hands over the set once a full one has come in. Every CR-ended line is
// handled, in order; a line without a word stays in Serin and later text joins it.
class ReceivePath {
public:
    static constexpr int kMaxRxCount = 32767;

    // Takes what one read delivered; the lines it completes come out of NextLine, and once
    // NextLine has returned nothing the rest of the read is in Serin.
    void Take(std::string_view received);

    // Handles the next completed line, if there is one. The caller acts on each outcome before
    // asking for the next, since a hand-over must be decoded before later words arrive.
    std::optional<LineOutcome> NextLine();

    int RxCount() const { return rxCount_; }
    // The reply text not yet filed as a word: a word-less line stays here and later text joins.
    const std::string& Serin() const { return serin_; }
    void ClearSerin() { serin_.clear(); }
    const std::array<std::int32_t, 16>& RxReg() const { return rxReg_; }

private:
    LineOutcome HandleLine();
    bool FileWord(std::string_view digits, LineOutcome& outcome); // true: a set is complete

    std::string serin_;
    std::array<std::int32_t, 16> rxReg_{};
    std::string unread_;       // the latest read, from position_ on not yet in Serin
    std::size_t position_ = 0; // Serin never holds a CR, so the lines are cut from here
    int rxCount_ = 0;
};

} // namespace max2870
