#pragma once
// What the fuzz targets check on any input and the property test on a fixed sample. Each check
// returns the fault a user would see, or "" when all holds.

#include "core/numbers.h"
#include "link/hex_value.h"
#include "link/receive_path.h"
#include "panel/memory_panel.h"
#include "panel/plan_controller.h"
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace max2870::props {

using Bytes = std::string_view;
using enum ControlId;

// A typed text reads as the C library reads its prefix once blanks, tabs and line feeds are gone
// (cut at the first character no number has), and its value is shown with 15 digits.
inline std::string CheckNumberText(Bytes typed) {
    std::string cleaned(typed);
    std::erase_if(cleaned, [](char c) { return c == ' ' || c == '\t' || c == '\n'; });
    cleaned.resize(std::min(cleaned.size(), cleaned.find_first_not_of("0123456789+-.eE")));
    const double wanted = std::strtod(cleaned.c_str(), nullptr) + 0.0, got = NumberOfText(typed);
    char printed[40];
    std::snprintf(printed, sizeof printed, "%.15G", got);
    const std::string plain = PlainText(got), led = BlankLedText(got);
    if (std::bit_cast<std::uint64_t>(got) != std::bit_cast<std::uint64_t>(wanted))
        return "typed \"" + std::string(typed) + "\" reads as " + PlainText(got) + ", not " +
               PlainText(wanted);
    if (plain != (got == 0 ? "0" : printed) || led[0] != (got < 0 ? '-' : ' ') ||
        NumberOfText(led) != NumberOfText(plain))
        return PlainText(got) + " is shown as \"" + plain + "\" and \"" + led + "\", not " +
               printed;
    return "";
}

// Each pattern in use ("0" places before the point, least and most decimals, unit) writes a value
// in its shape, within half a unit of its last place of the value rounded to 15 digits.
inline std::string CheckPatterns(double value) {
    // clang-format off
    static constexpr struct { const char* pattern; std::size_t zeros, least, most; const char* unit;
        } kPatterns[] = {{"#0.0#####", 1, 1, 6, ""}, {"#0.00####MHz", 1, 2, 6, "MHz"},
        {"###0", 1, 0, 0, ""}, {"####0", 1, 0, 0, ""}, {"###0.0#Hz", 1, 1, 2, "Hz"},
        {"0000", 4, 0, 0, ""}, {"##", 0, 0, 0, ""}, {"###0.0######", 1, 1, 7, ""}};
    // clang-format on
    for (const auto& p : kPatterns) {
        const std::string text = PatternFormat(value, p.pattern);
        const std::string body = text.substr(0, text.size() - std::string_view(p.unit).size());
        const std::size_t point = body.find('.'), minus = body.starts_with('-');
        const std::string whole = body.substr(minus, point - minus);
        const std::string decimals = point == body.npos ? "" : body.substr(point + 1);
        const std::string special = value != value ? "NAN" : value < 0 ? "-INF" : "INF";
        const long double gap = std::fabs(std::strtold(body.c_str(), nullptr) - value);
        const long double half = 0.5L * std::pow(10.0L, -1.0L * p.most) * (1 + 1e-12L);
        const auto fault = [&](const char* what) {
            return "\"" + text + "\" through " + p.pattern + " for " + PlainText(value) + what;
        };
        if (!std::isfinite(value) ? text != special + p.unit : !text.ends_with(p.unit))
            return fault(" is not INF, -INF, NAN or a number with its unit; ");
        if (std::isfinite(value) &&
            ((minus == 1) != (value < 0) || whole.size() < p.zeros ||
             (whole.size() > p.zeros && whole[0] == '0') || decimals.size() < p.least ||
             decimals.size() > p.most || (point != body.npos && decimals.empty()) ||
             (decimals.size() > p.least && decimals.back() == '0') ||
             (whole + decimals).find_first_not_of("0123456789") != body.npos))
            return fault(" has a wrong sign, digit, zero or decimal place; ");
        if (std::isfinite(value) && !(gap <= half + std::fabs(value) * 1e-14L))
            return fault(" is more than half a unit of its last place away; ");
    }
    return "";
}

// Input: 8 bytes of a double's bits, then a decimal text for a second value and its negation.
inline std::string CheckPatternFormat(Bytes input) {
    std::uint64_t bits = 0;
    const std::string typed(input.substr(input.copy(reinterpret_cast<char*>(&bits), 8)));
    const double value = std::strtod(typed.c_str(), nullptr);
    return CheckPatterns(std::bit_cast<double>(bits)) + CheckPatterns(value) +
           CheckPatterns(-value);
}

// Replies cut into reads (`cuts` 0: one read, 1: a byte each, else a seed) and read alongside: an
// LF after a CR in the same read is dropped; the first "0x" since the last word starts a word,
// filed by its address bits and counted to 32767; after six, a Reg0 word (or none) hands over.
inline std::string CheckReplyFeed(Bytes stream, std::uint32_t cuts) {
    ReceivePath path;
    std::string serin;
    std::array<std::int32_t, 16> filed{};
    for (std::size_t at = 0, count = 0; at < stream.size();) {
        cuts = cuts > 1 ? cuts * 1103515245U + 12345U : cuts;
        const Bytes read = stream.substr(at, cuts > 1 ? cuts >> 16 & 15 : cuts ? 1 : stream.size());
        at += read.size();
        path.Take(read);
        for (std::size_t k = 0; k < read.size(); ++k) {
            if (read[k] != '\r') {
                serin += read[k] == '\n' && k > 0 && read[k - 1] == '\r' ? "" : read.substr(k, 1);
                continue;
            }
            const auto outcome = path.NextLine();
            const std::size_t marker = std::min(serin.find("0x"), serin.find("0X"));
            const std::string digits = marker == serin.npos ? "" : serin.substr(marker + 2, 8);
            const std::optional<std::int32_t> word =
                digits.size() == 8 &&
                        digits.find_first_not_of("0123456789abcdefABCDEF") == digits.npos
                    ? static_cast<std::int32_t>(std::stoul(digits, nullptr, 16))
                    : HexValue(digits); // only a stray character can drop a word
            const bool filing = marker != serin.npos && word;
            char entry[24] = "";
            if (filing) {
                filed[*word & 7] = *word;
                count = std::min<std::size_t>(count + 1, 32767);
                std::snprintf(entry, 24, "Reg %d - %08X\r\n", *word & 7, std::uint32_t(*word));
            }
            const bool handOver =
                (marker == serin.npos || (filing && *word % 8 == 0)) && count >= 6;
            count = handOver ? 0 : count;
            const ReadBackWords set{filed[0], filed[1], filed[2], filed[4]};
            if (!outcome || outcome->logEntry.value_or("") != entry || path.RxReg() != filed ||
                outcome->handOver.has_value() != handOver ||
                (handOver && *outcome->handOver != set) ||
                path.RxCount() != static_cast<int>(count))
                return "reply line \"" + serin + "\": wanted log \"" + entry + "\", hand-over " +
                       std::to_string(handOver) + ", RxCount " + std::to_string(count) + "; ";
            serin = marker == serin.npos ? serin : "";
        }
        if (path.NextLine() || path.Serin() != serin || serin.find('\r') != serin.npos)
            return "after a read Serin holds \"" + path.Serin() + "\", not \"" + serin + "\"; ";
    }
    return "";
}

// Input: byte 0 seeds the random cuts, the rest is the stream. Once: 40000 words, past 32767.
inline std::string CheckReceivePath(Bytes input) {
    static const std::string ceiling = [stream = std::string()]() mutable {
        for (int i = 0; i < 20000; ++i)
            stream += "0x00000001\r\nReg 2 0X0000000A\r";
        return CheckReplyFeed(stream, 7);
    }();
    const Bytes stream = input.substr(!input.empty());
    return ceiling + CheckReplyFeed(stream, 0) + CheckReplyFeed(stream, 1) +
           CheckReplyFeed(stream, 2 + std::uint8_t(input.empty() ? 0 : input[0]));
}

struct PlanRig {
    SynthState state;
    MemoryPanel panel;
    PlanController plan{state, panel};
    PlanRig() { panel.SetEventSink(&plan); }
};

// The words of a complete recompute: each carries its address, every field reads back as the
// plan's value (none spilled into its neighbour), and F < D in fractional mode.
inline std::string CheckPackedWords(const Plan& p) {
    const auto field = [&](FieldId id) { return UnpackField(p.words, id); };
    // clang-format off
    const std::pair<const char*, double> misread[] = {{"N", p.N - field(FieldId::N)},
        {"F", p.Fract - field(FieldId::Fract)}, {"D", p.Denom - field(FieldId::Denom)},
        {"R", p.R - field(FieldId::R)}, {"phase value P", p.P - field(FieldId::Phase)},
        {"band select", p.BandSelect - field(FieldId::BandSelectHigh) * 256.0 -
            field(FieldId::BandSelectLow)}};
    // clang-format on
    for (std::size_t k = 0; k < 6; ++k)
        if ((p.words[k] & 7) != static_cast<std::int32_t>(k))
            return "Reg" + std::to_string(k) + " word does not carry its address bits; ";
    for (const auto& [name, difference] : misread)
        if (difference != 0)
            return std::string(name) + " spilled: it does not read back from the words; ";
    if (field(FieldId::IntegerN) == 0 && !(p.Fract < p.Denom))
        return "F " + PlainText(p.Fract) + " is not below D " + PlainText(p.Denom) + "; ";
    return "";
}

// "INIT from EE": a set is restored unless R, or D in fractional mode, is 0; then recomputes run.
inline std::string ReadBack(PlanRig& rig, const RegisterWords& words) {
    const auto field = [&](FieldId id) { return UnpackField(words, id); };
    rig.plan.AwaitReadBack(true);
    const ReadBackWords set{words[0], words[1], words[2], words[4]};
    const bool restored = rig.plan.DecodeRegisters(set).accepted, held = rig.plan.ReadBackAwaited();
    const bool refusable =
        !field(FieldId::R) || (!field(FieldId::Denom) && !field(FieldId::IntegerN));
    rig.plan.AwaitReadBack(false); // the link lets go of a refused set itself
    if (restored == refusable || (restored && held))
        return std::string(restored ? "restored" : "refused") + (held ? " and held" : "") +
               ": a read-back set with R " + std::to_string(field(FieldId::R)) + "; ";
    return "";
}

// Restoring the words of a complete fractional plan packs the same words: only the resolution and
// the output pass through 15-digit texts, far from a rounding edge of D or F for ordinary doubles.
inline std::string CheckRestoredSet(const PlanRig& rig) {
    const Plan& p = rig.plan.LastPlan(); // integer-N plans have D = 0 and are not checked
    const double vco = p.Fcomp * (p.N + p.Fract / p.Denom);
    for (const double v : {p.Fcomp, p.Fcomp * 1e6 / p.Denom / p.OutDiv, vco, vco / p.OutDiv})
        if (!(std::fabs(v) > 1e-290 && std::fabs(v) < 1e290))
            return "";
    PlanRig copy;
    copy.state = rig.state, copy.panel = rig.panel;
    copy.panel.SetEventSink(&copy.plan); // the copied panel reports to the copy's controller
    std::string fault = ReadBack(copy, p.words);
    if (fault.empty() && copy.plan.LastPlan().words != p.words)
        return "the words read back and restored are packed differently; ";
    return fault;
}

// Input: actions of two bytes, a control and a choice. A text box takes choice % 16 raw bytes
// (choice below 64), a typed text (below 128), or a click or lost focus; a button a click; others
// the value choice / 32. One action more reads back six words (choice odd) or the plan's own.
inline std::string CheckPlan(Bytes input) {
    // clang-format off
    static constexpr ControlId kControls[] = {FrText, Rdivider, FoutText, ResolutionText,
        OPPhasetext, ForceD, RefDbl, Refdiv2, FractN, TrackDivider, Enable, PDpol, Aon, Bon,
        MuxNone, MuxR, MuxN, MuxL, NM0, NM2, NM3, ChrgPump, OPpwr, OutDivCont, NMCalc, SetOdiv};
    static constexpr const char* kTyped[] = {"10", "2.6", "2320.5", "10000", "0", "1", "3", "50",
        "-1", "90", "5e6", "1E+300", "1e-310", "INF", "0.5", "6000", "65535", "4094.5", " .5"};
    // clang-format on
    std::size_t at = 0;
    const auto byte = [&] { return std::uint8_t(at < input.size() ? input[at++] : 0); };
    PlanRig rig;
    std::string fault;
    for (int step = 0; step < 64 && fault.empty() && at < input.size(); ++step) {
        const std::size_t action = byte() % (std::size(kControls) + 1);
        const std::uint8_t choice = byte();
        const bool readBack = action == std::size(kControls);
        const ControlId id = kControls[action % std::size(kControls)];
        const ControlKind kind = readBack ? ControlKind::Window : EntryOf(id).kind;
        std::string text = choice < 64 ? "" : kTyped[choice % std::size(kTyped)];
        while (choice < 64 && kind == ControlKind::TextBox && text.size() < choice % 16u)
            text += static_cast<char>(byte());
        RegisterWords words = rig.plan.LastPlan().words;
        for (std::size_t k = 0; k < 24 && choice % 2 && readBack; ++k)
            words[k / 4] = static_cast<std::int32_t>(std::uint32_t(words[k / 4]) << 8 | byte());
        if (readBack)
            fault = ReadBack(rig, words);
        else if (kind == ControlKind::TextBox && choice < 128)
            rig.panel.SetText(id, text);
        else if (kind == ControlKind::TextBox || kind == ControlKind::CommandButton)
            rig.plan.OnControlEvent(id, choice % 2 ? ControlEvent::Click : ControlEvent::LostFocus);
        else
            rig.panel.SetValue(id, choice / 32);
        if (fault.empty() && rig.plan.LastOutcome() == RunOutcome::Complete)
            fault = CheckPackedWords(rig.plan.LastPlan()) + CheckRestoredSet(rig);
    }
    return fault;
}

} // namespace max2870::props
