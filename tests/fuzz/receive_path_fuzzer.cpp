// The receive path fed any bytes, cut into reads at random points. Input: byte 0 seeds the cuts;
// the rest is the stream as the translator might send it, CR and LF anywhere, any byte value.
//
// The same stream is fed three ways: in the random reads, one byte per read and all in one read.
// An LF right after a CR in the same read is dropped; one in a later read starts the next line.
// So each feed is equivalent to its stream with those LFs taken out, which a line-by-line model
// of the reply format then reads in one piece. Every feed must give exactly the model's lines:
// each word line filed and logged once, in order, nothing lost or repeated, user data, dropped
// words, hand-overs with the set they hand over, the counter and what is left in Serin.

#include "link/hex_value.h"
#include "link/receive_path.h"
#include "model/synth_state.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using max2870::HexFormatLong;
using max2870::HexValue;
using max2870::LineOutcome;
using max2870::ReceivePath;
using max2870::SynthState;

// What one completed line did, as the window would see it.
struct Seen {
    std::optional<std::string> userData;
    std::optional<std::string> logEntry;
    bool wordDropped = false;
    bool handOver = false;
    std::array<std::int32_t, 16> handedSet{}; // RxReg at a hand-over
    int rxCount = 0;
    bool operator==(const Seen&) const = default;
};

struct Feed {
    std::vector<Seen> lines;
    std::string serin;
    std::array<std::int32_t, 16> rxReg{};
    int rxCount = 0;
    std::string equivalentStream; // the stream without the LFs this feed's reads dropped
    bool operator==(const Feed& other) const {
        return lines == other.lines && serin == other.serin && rxReg == other.rxReg &&
               rxCount == other.rxCount;
    }
};

[[noreturn]] void Fail(const char* rule, std::size_t line) {
    std::fprintf(stderr, "receive_path: %s (line %zu)\n", rule, line);
    std::abort();
}

// Runs the receive path over the stream cut at the given read lengths (the last read takes
// what is left).
Feed RunReads(const std::string& stream, const std::vector<std::size_t>& readLengths) {
    SynthState state;
    ReceivePath path(state);
    Feed feed;
    std::size_t at = 0;
    auto takeRead = [&](std::size_t length) {
        const std::string_view read(stream.data() + at, length);
        for (std::size_t k = 0; k < read.size(); ++k) {
            const bool droppedLf = read[k] == '\n' && k > 0 && read[k - 1] == '\r';
            if (!droppedLf) {
                feed.equivalentStream += read[k];
            }
        }
        path.Take(read);
        while (const std::optional<LineOutcome> outcome = path.NextLine()) {
            Seen seen{outcome->userData, outcome->logEntry, outcome->wordDropped,
                      outcome->handOver};
            if (outcome->handOver) {
                seen.handedSet = state.RxReg;
            }
            seen.rxCount = path.RxCount();
            if (seen.rxCount < 0 || seen.rxCount > ReceivePath::kMaxRxCount) {
                Fail("RxCount left 0 to 32767", feed.lines.size());
            }
            feed.lines.push_back(std::move(seen));
        }
        at += length;
    };
    for (const std::size_t length : readLengths) {
        takeRead(std::min(length, stream.size() - at));
    }
    if (at < stream.size()) {
        takeRead(stream.size() - at);
    }
    feed.serin = state.Serin;
    feed.rxReg = state.RxReg;
    feed.rxCount = path.RxCount();
    return feed;
}

std::string AsciiUpper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

// The word of up to 8 characters after "0x": 4 bits a character, the first carrying the sign,
// -1 for a character that is not a hexadecimal digit. Worked in 64 bits, where 8 characters
// cannot overflow; once the value has left the 32-bit range each further step only moves it
// further out, so checking the end result is the same as checking every step.
std::optional<std::int32_t> ModelWord(std::string_view digits) {
    std::int64_t value = 0;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const char c = digits[i];
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        }
        value = (i == 0 && digit >= 8) ? digit - 16 : value * 16 + digit;
    }
    if (value < INT32_MIN || value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

// The reply format read line by line from a stream in which every LF stands for itself.
Feed Model(const std::string& stream) {
    Feed feed;
    std::string serin;
    int rxCount = 0;
    std::size_t start = 0;
    for (std::size_t cr = stream.find('\r'); cr != std::string::npos;
         start = cr + 1, cr = stream.find('\r', start)) {
        serin += stream.substr(start, cr - start);
        Seen seen;
        if (serin.find("Udata") != std::string::npos) {
            const std::size_t brace = serin.find('{');
            seen.userData = serin.substr(brace == std::string::npos ? 0 : brace + 1, 8);
        }
        const std::size_t marker = AsciiUpper(serin).find("0X");
        bool addressZero = true;
        if (marker != std::string::npos) {
            const std::optional<std::int32_t> word =
                ModelWord(std::string_view(serin).substr(marker + 2, 8));
            serin.clear();
            if (!word) {
                seen.wordDropped = true;
                addressZero = false;
            } else {
                rxCount = std::min(rxCount + 1, 32767);
                const auto index = static_cast<std::uint32_t>(*word) & 7U;
                feed.rxReg[index] = *word;
                char entry[32];
                std::snprintf(entry, sizeof entry, "Reg %u - %08X\r\n", index,
                              static_cast<std::uint32_t>(*word));
                seen.logEntry = entry;
                addressZero = index == 0;
            }
        }
        if (addressZero && rxCount >= 6) {
            seen.handOver = true;
            seen.handedSet = feed.rxReg;
            rxCount = 0;
        }
        seen.rxCount = rxCount;
        feed.lines.push_back(std::move(seen));
    }
    feed.serin = serin + stream.substr(start);
    feed.rxCount = rxCount;
    return feed;
}

void CheckFeed(const Feed& feed, const char* name) {
    const Feed model = Model(feed.equivalentStream);
    if (feed.lines.size() != model.lines.size()) {
        std::fprintf(stderr, "%s: %zu lines handled, %zu expected\n", name, feed.lines.size(),
                     model.lines.size());
        Fail("a line was lost or handled twice", 0);
    }
    for (std::size_t i = 0; i < feed.lines.size(); ++i) {
        const Seen& got = feed.lines[i];
        const Seen& wanted = model.lines[i];
        if (got.logEntry != wanted.logEntry) {
            std::fprintf(stderr, "%s: log \"%s\", expected \"%s\"\n", name,
                         got.logEntry.value_or("(none)").c_str(),
                         wanted.logEntry.value_or("(none)").c_str());
            Fail("a word was logged wrongly, lost or duplicated", i);
        }
        if (got.userData != wanted.userData) {
            Fail("the user data differs", i);
        }
        if (got.wordDropped != wanted.wordDropped) {
            Fail("a word was dropped or kept wrongly", i);
        }
        if (got.handOver != wanted.handOver || got.handedSet != wanted.handedSet) {
            Fail("the hand-over or the set it hands over differs", i);
        }
        if (got.rxCount != wanted.rxCount) {
            Fail("RxCount differs", i);
        }
    }
    if (feed.serin != model.serin) {
        Fail("what is left in Serin differs", feed.lines.size());
    }
    if (feed.rxReg != model.rxReg || feed.rxCount != model.rxCount) {
        Fail("RxReg or RxCount at the end differs", feed.lines.size());
    }
}

// Eight hexadecimal digits are the word's 32-bit pattern, whatever their case.
void CheckEightDigits(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return;
    }
    std::uint32_t pattern = 0;
    for (int i = 0; i < 4; ++i) {
        pattern = (pattern << 8) | data[i];
    }
    char digits[9];
    std::snprintf(digits, sizeof digits, (data[0] & 1) != 0 ? "%08X" : "%08x", pattern);
    const std::optional<std::int32_t> word = HexValue(digits);
    if (!word || static_cast<std::uint32_t>(*word) != pattern) {
        Fail("eight hexadecimal digits are not their two's-complement pattern", 0);
    }
    if (HexFormatLong(*word) != AsciiUpper(digits)) {
        Fail("HexFormatLong does not give the digits back", 0);
    }
}

void CheckAllFeeds(const std::string& stream, std::uint8_t cutSeed) {
    std::vector<std::size_t> randomReads;
    std::uint32_t seed = 0x9E3779B9u ^ (cutSeed * 0x01000193u);
    for (std::size_t covered = 0; covered < stream.size();) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        const std::size_t length = seed % 12; // 0 is an empty read, which must change nothing
        randomReads.push_back(length);
        covered += length;
    }
    const Feed split = RunReads(stream, randomReads);
    const Feed bytes = RunReads(stream, std::vector<std::size_t>(stream.size(), 1));
    const Feed whole = RunReads(stream, {stream.size()});
    CheckFeed(split, "random reads");
    CheckFeed(bytes, "one byte per read");
    CheckFeed(whole, "one read");

    // The cut must not matter beyond the LFs it drops: the random reads and the bytes of their
    // equivalent stream, one per read, give the same lines.
    const std::string& equivalent = split.equivalentStream;
    const Feed equivalentBytes =
        RunReads(equivalent, std::vector<std::size_t>(equivalent.size(), 1));
    if (!(equivalentBytes == split)) {
        Fail("the result depends on how the stream is cut into reads", 0);
    }
}

} // namespace

// The counter's ceiling needs more word lines than an input can hold, so one stream long enough
// to pass it is checked once when the target starts: 40000 words, none of them at address 0.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string stream;
    for (int i = 0; i < 40000; ++i) {
        stream += i % 2 == 0 ? "0x00000001\r\n" : "Reg 2 0X0000000A\r";
    }
    CheckAllFeeds(stream, 7);
    if (Model(stream).rxCount != ReceivePath::kMaxRxCount) {
        Fail("the ceiling stream did not reach the ceiling", 0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    CheckEightDigits(data + 1, size - 1);
    const std::string stream(reinterpret_cast<const char*>(data) + 1, size - 1);
    CheckAllFeeds(stream, data[0]);
    return 0;
}
