#pragma once

#include "core/synth_state.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace max2870 {

// What one completed reply line asks of the window.
struct LineOutcome {
    std::optional<std::string> userData; // new text of the user-data box
    std::optional<std::string> logEntry; // "Reg 3 - 1234567B" and CR LF, for the link log
    bool wordDropped = false;            // a word too malformed to hold in 32 bits was discarded
    bool handOver = false;               // a full set is in RxReg: time to decode it
};

// Collects the translator's replies into the record's Serin, files each register word into
// RxReg by its address bits and says when a full set has come in. Every CR-ended line is
// handled, in order; a line without a word stays in Serin and later text joins it.
class ReceivePath {
public:
    static constexpr int kMaxRxCount = 32767;

    explicit ReceivePath(SynthState& state) : s_(state) {}

    // Takes what one read delivered; the lines it completes come out of NextLine, and once
    // NextLine has returned nothing the rest of the read is in Serin.
    void Take(std::string_view received);

    // Handles the next completed line, if there is one. The caller acts on each outcome before
    // asking for the next, since a hand-over must decode RxReg before later words replace it.
    std::optional<LineOutcome> NextLine();

    int RxCount() const { return rxCount_; }

private:
    LineOutcome HandleLine();
    void FileWord(std::string_view digits, LineOutcome& outcome);

    SynthState& s_;
    std::string unread_;       // the latest read, from position_ on not yet in Serin
    std::size_t position_ = 0; // Serin never holds a CR, so the lines are cut from here
    int rxCount_ = 0;
};

} // namespace max2870
