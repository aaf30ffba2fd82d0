// Random panels and random actions on the in-memory panel, with the controller wired as the
// window and the planner wire it.
//
// Input, read from the front (a missing byte reads as 0):
//   six texts: FrText, Rdivider, FoutText, ResolutionText, OPPhasetext, ForceD
//   one byte of check boxes: RefDbl, Refdiv2, FractN, TrackDivider, Enable, PDpol, Aon, Bon
//   one byte of options (MUX in bits 1..0, noise mode in bits 3..2), then ChrgPump, OPpwr and
//   OutDivCont
//   then actions, one byte each with their own arguments (see RunAction).
// A text is one length byte: below 40 that many characters from a pool of digits, '.', 'e',
// signs, blanks and letters; 40 to 127 that many less 40 raw bytes (up to 19); 128 and above
// one of a list of useful texts.
//
// Checked:
//   - whenever a recompute writes its results, the six words carry their addresses in bits
//     2..0, and N, F, D, R, the phase value and the band select read back from the words equal
//     the record (no field spills into its neighbour); F < D in fractional mode;
//   - after an action whose last recompute was complete and fractional, decoding the words on a
//     copy of the panel and recomputing gives the same words again (preconditions at
//     CheckRoundTrip);
//   - a refused decode changes neither the record nor the panel, and it is refused exactly when
//     R is 0 or, in fractional mode, D is 0.

#include "common/numbers.h"
#include "model/hex_format.h"
#include "model/memory_panel.h"
#include "model/plan_controller.h"
#include "model/synth_state.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using namespace max2870;
using enum ControlId;

[[noreturn]] void Fail(const char* rule, const SynthState& s) {
    std::fprintf(stderr,
                 "plan: %s\n  Fr %.17g R %.17g Fcomp %.17g OutDiv %.17g Fout %.17g VCO %.17g\n"
                 "  Resolution %.17g N %.17g F %.17g D %.17g\n"
                 "  words %08X %08X %08X %08X %08X %08X\n",
                 rule, s.Fr, s.R, s.Fcomp, s.OutDiv, s.Fout, s.VCO, s.Resolution, s.N, s.Fract,
                 s.Denom, static_cast<unsigned>(s.Reg0), static_cast<unsigned>(s.Reg1),
                 static_cast<unsigned>(s.Reg2), static_cast<unsigned>(s.Reg3),
                 static_cast<unsigned>(s.Reg4), static_cast<unsigned>(s.Reg5));
    std::abort();
}

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return at_ >= size_; }
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::int32_t Word() {
        std::uint32_t word = 0;
        for (int i = 0; i < 4; ++i) {
            word = (word << 8) | Byte();
        }
        return static_cast<std::int32_t>(word);
    }

    std::string Text() {
        static constexpr std::string_view kPool = "0123456789.eE+- \t\nxZ,";
        static constexpr const char* kUseful[] = {
            "10",     "2.6",    "2320.5", "10000",   "0",     "1",   "3",       "50",
            "4641",   "-1",     "2.5",    "1000",    "90",    "45",  "5000000", "1E+300",
            "1e-310", "INF",    "",       " 1",      "4000",  "0.5", "100",     "6000",
            "3000",   "1E+15",  "1e308",  "-2320.5", "0.001", "400", "1e-5",    "65535",
            "4095",   "4094.5", "360",    "1023",    "1024",  "1e6", "  .5",    "7",
        };
        const std::uint8_t length = Byte();
        std::string text;
        if (length >= 128) {
            return kUseful[(length - 128) % std::size(kUseful)];
        }
        if (length >= 40) {
            for (int i = 0; i < (length - 40) % 20; ++i) {
                text += static_cast<char>(Byte());
            }
            return text;
        }
        for (int i = 0; i < length; ++i) {
            text += kPool[Byte() % kPool.size()];
        }
        return text;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

std::uint32_t Bits(std::int32_t word, int high, int low) {
    return (static_cast<std::uint32_t>(word) >> low) & ((1U << (high - low + 1)) - 1U);
}

// Checks the words a recompute has just packed against the record it packed them from.
void CheckPackedWords(const PlanController& plan, const Panel& panel) {
    const SynthState& s = plan.State();
    const std::int32_t words[] = {s.Reg0, s.Reg1, s.Reg2, s.Reg3, s.Reg4, s.Reg5};
    for (int k = 0; k < 6; ++k) {
        if (Bits(words[k], 2, 0) != static_cast<std::uint32_t>(k)) {
            Fail("a word does not carry its address in bits 2..0", s);
        }
    }
    const bool integerN = Bits(s.Reg0, 31, 31) == 1;
    if (integerN != (panel.Value(FractN) == 1)) {
        Fail("the integer-N bit does not match the mode", s);
    }
    if (Bits(s.Reg0, 30, 15) != s.N || Bits(s.Reg0, 14, 3) != s.Fract) {
        Fail("N or F spilled in Reg0", s);
    }
    if (Bits(s.Reg1, 14, 3) != s.Denom || Bits(s.Reg1, 26, 15) != plan.LastPhaseValue()) {
        Fail("D or the phase value spilled in Reg1", s);
    }
    if (Bits(s.Reg2, 23, 14) != s.R) {
        Fail("R spilled in Reg2", s);
    }
    if ((Bits(s.Reg2, 31, 31) == 1) != (s.Fcomp > 32)) {
        Fail("Reg2 bit 31 does not say whether Fcomp is above 32 MHz", s);
    }
    if (Bits(s.Reg4, 25, 24) * 256 + Bits(s.Reg4, 19, 12) != plan.LastBandSelect() ||
        Bits(s.Reg4, 22, 20) != static_cast<std::uint32_t>(panel.Value(OutDivCont))) {
        Fail("the band select or the divider spilled in Reg4", s);
    }
    if (s.Reg3 != 0x0000000B || s.Reg5 != 0x00400005) {
        Fail("Reg3 or Reg5 is not fixed", s);
    }
    if (integerN ? s.Fract != 0 : !(s.Fract < s.Denom)) {
        Fail("F is not below D in fractional mode, or not 0 in integer-N mode", s);
    }
}

// Sees every event before the controller does. The results text is written right after the
// words are packed and before anything else can change the record, so the words are checked
// there. (A results text equal to the one shown raises no event, but then the words and N, F,
// D and R in it are unchanged as well.)
class PackingProbe : public PanelEvents {
public:
    PackingProbe(PlanController& plan, Panel& panel) : plan_(plan), panel_(panel) {}
    void OnControlEvent(ControlId id, ControlEvent event) override {
        if (id == ValuesText && event == ControlEvent::Change &&
            panel_.Text(ValuesText).starts_with("Fcomp  ")) {
            CheckPackedWords(plan_, panel_);
        }
        plan_.OnControlEvent(id, event);
    }

private:
    PlanController& plan_;
    Panel& panel_;
};

// The settings record and the panel, wired together, copyable as a whole.
struct Rig {
    SynthState state;
    MemoryPanel panel;
    PlanController plan{state, panel};
    PackingProbe probe{plan, panel};

    Rig() { panel.SetEventSink(&probe); }
    Rig(const Rig& other) : state(other.state), panel(other.panel) { panel.SetEventSink(&probe); }
    Rig& operator=(const Rig&) = delete;
};

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameRecord(const SynthState& a, const SynthState& b) {
    const double da[] = {a.Fr,         a.R, a.Fcomp, a.OutDiv, a.Fout,    a.VCO,
                         a.Resolution, a.N, a.Fract, a.Denom,  a.ErrorHz, a.CP};
    const double db[] = {b.Fr,         b.R, b.Fcomp, b.OutDiv, b.Fout,    b.VCO,
                         b.Resolution, b.N, b.Fract, b.Denom,  b.ErrorHz, b.CP};
    for (std::size_t i = 0; i < std::size(da); ++i) {
        if (!SameBits(da[i], db[i])) {
            return false;
        }
    }
    return a.MuxVal == b.MuxVal && a.NoiseMode == b.NoiseMode && a.Reg0 == b.Reg0 &&
           a.Reg1 == b.Reg1 && a.Reg2 == b.Reg2 && a.Reg3 == b.Reg3 && a.Reg4 == b.Reg4 &&
           a.Reg5 == b.Reg5 && a.InitFlag == b.InitFlag && a.Serin == b.Serin && a.RxReg == b.RxReg;
}

bool SamePanel(const MemoryPanel& a, const MemoryPanel& b) {
    for (std::size_t i = 0; i < ControlCount; ++i) {
        const auto& x = a.Record(static_cast<ControlId>(i));
        const auto& y = b.Record(static_cast<ControlId>(i));
        if (x.text != y.text || x.value != y.value || x.fore != y.fore || x.back != y.back ||
            x.bold != y.bold || x.visible != y.visible || x.enabled != y.enabled ||
            x.list != y.list) {
            return false;
        }
    }
    return a.Messages() == b.Messages();
}

// "INIT from EE" sets the guard before the set comes in; the link clears it after a refusal.
DecodeResult Decode(Rig& rig, const std::array<std::int32_t, 6>& words) {
    for (std::size_t k = 0; k < words.size(); ++k) {
        rig.state.RxReg[k] = words[k];
    }
    rig.state.InitFlag = true;
    const SynthState recordBefore = rig.state;
    const MemoryPanel panelBefore = rig.panel;
    const DecodeResult result = rig.plan.DecodeRegisters();
    const bool refusable =
        Bits(words[2], 23, 14) == 0 || (Bits(words[1], 14, 3) == 0 && Bits(words[0], 31, 31) == 0);
    if (result.accepted == refusable) {
        Fail(refusable ? "a set with R = 0 or a fractional D = 0 was decoded"
                       : "a decodable set was refused",
             rig.state);
    }
    if (!result.accepted) {
        if (!SameRecord(rig.state, recordBefore) || !SamePanel(rig.panel, panelBefore)) {
            Fail("a refused decode changed the record or the panel", rig.state);
        }
        rig.state.InitFlag = false;
    } else if (rig.state.InitFlag) {
        Fail("the guard is still set after a decode", rig.state);
    }
    return result;
}

bool Moderate(double value) {
    return std::isfinite(value) && std::fabs(value) > 1e-290 && std::fabs(value) < 1e290;
}

// Decoding the words of a complete fractional-mode recompute and recomputing gives the same
// words again. The decoder takes R, D, N, F, the divider and every option from the words, and
// the reference, the phase text and "Chip Enable" stay on the panel, so the recompute sees the
// same Fcomp (Fr / R in the same order), the same phase value for the same D and the same
// option bits. Only two values pass through 15-digit texts: the resolution (D comes back from
// it as D times (1 +- 1e-14), far from a rounding edge for D <= 4095), and the output frequency,
// which moves N + F/D by at most about 1e-9 in a ratio below 65536, so (x - N) * D stays within
// 1e-5 of the whole F (and a ratio just under N with F = 0 comes back through the F = D carry).
// That needs every decoded value to be an ordinary double: neither overflow nor subnormal
// precision loss, hence the range of Moderate.
void CheckRoundTrip(const Rig& rig) {
    const SynthState& s = rig.state;
    if (rig.plan.LastOutcome() != RunOutcome::Complete || rig.panel.Value(FractN) != 0) {
        return;
    }
    const double resolution = s.Fcomp * 1000000 / s.Denom / s.OutDiv;
    const double vco = s.Fcomp * (s.N + s.Fract / s.Denom);
    if (!Moderate(s.Fcomp) || !Moderate(resolution) || !Moderate(vco) ||
        !Moderate(vco / s.OutDiv)) {
        return;
    }
    Rig copy(rig);
    const std::array<std::int32_t, 6> words = {s.Reg0, s.Reg1, s.Reg2, s.Reg3, s.Reg4, s.Reg5};
    if (!Decode(copy, words).accepted) {
        Fail("the words of a complete recompute were refused", s);
    }
    const SynthState& t = copy.state;
    const std::array<std::int32_t, 6> again = {t.Reg0, t.Reg1, t.Reg2, t.Reg3, t.Reg4, t.Reg5};
    if (copy.plan.LastOutcome() != RunOutcome::Complete || again != words) {
        std::fprintf(stderr, "after the decode: N %.17g F %.17g D %.17g R %.17g, outcome %s\n", t.N,
                     t.Fract, t.Denom, t.R, OutcomeName(copy.plan.LastOutcome()));
        Fail("decoding the words and recomputing did not give the same words", s);
    }
}

void PresetPanel(Reader& in, MemoryPanel& panel) {
    for (const ControlId box : {FrText, Rdivider, FoutText, ResolutionText, OPPhasetext, ForceD}) {
        panel.Preset(box, in.Text());
    }
    const std::uint8_t checks = in.Byte();
    const ControlId boxes[] = {RefDbl, Refdiv2, FractN, TrackDivider, Enable, PDpol, Aon, Bon};
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        panel.PresetValue(boxes[i], (checks >> i) & 1);
    }
    static constexpr ControlId kMux[] = {MuxNone, MuxR, MuxN, MuxL};
    static constexpr ControlId kNoise[] = {NM0, NM2, NM3, NM0};
    const std::uint8_t options = in.Byte();
    panel.PresetValue(kMux[options & 3], 1);
    panel.PresetValue(kNoise[(options >> 2) & 3], 1);
    panel.PresetValue(ChrgPump, in.Byte() % 16);
    panel.PresetValue(OPpwr, in.Byte() % 4);
    panel.PresetValue(OutDivCont, in.Byte() % 8);
}

void RunAction(Reader& in, Rig& rig) {
    static constexpr ControlId kTextBoxes[] = {FrText,         Rdivider,    FoutText,
                                               ResolutionText, OPPhasetext, ForceD};
    static constexpr ControlId kCheckBoxes[] = {RefDbl, Refdiv2, FractN, TrackDivider,
                                                Enable, PDpol,   Aon,    Bon};
    static constexpr ControlId kOptions[] = {MuxNone, MuxR, MuxN, MuxL, NM0, NM2, NM3};
    static constexpr ControlId kSpinners[] = {ChrgPump, OPpwr, OutDivCont};
    switch (in.Byte() % 10) {
    case 0:
        rig.plan.Recalculate();
        break;
    case 1:
        rig.plan.NMCalc_Click();
        break;
    case 2: // an operator's edit: the box's own handler runs
    case 3: {
        const ControlId box = kTextBoxes[in.Byte() % std::size(kTextBoxes)];
        rig.panel.SetText(box, in.Text());
        break;
    }
    case 4: {
        const ControlId box = kCheckBoxes[in.Byte() % std::size(kCheckBoxes)];
        rig.panel.SetValue(box, 1 - rig.panel.Value(box));
        break;
    }
    case 5:
        rig.panel.SetValue(kOptions[in.Byte() % std::size(kOptions)], 1);
        break;
    case 6: {
        const ControlId spinner = kSpinners[in.Byte() % std::size(kSpinners)];
        rig.panel.SetValue(spinner, in.Byte() % 20 - 2); // the panel holds it in range
        break;
    }
    case 7: {
        std::array<std::int32_t, 6> words{};
        for (std::int32_t& word : words) {
            word = in.Word();
        }
        Decode(rig, words);
        break;
    }
    case 8: {
        const SynthState& s = rig.state;
        Decode(rig, {s.Reg0, s.Reg1, s.Reg2, s.Reg3, s.Reg4, s.Reg5});
        break;
    }
    default: {
        const std::uint8_t which = in.Byte() % 3;
        if (which == 0) {
            rig.plan.SetOdiv_Click();
        } else if (which == 1) {
            rig.plan.FoutText_Click();
        } else {
            rig.plan.FrText_LostFocus();
        }
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    Rig rig;
    PresetPanel(in, rig.panel);
    for (int step = 0; step < 64 && !in.Empty(); ++step) {
        RunAction(in, rig);
        if (rig.plan.LastOutcome() == RunOutcome::Complete) {
            CheckPackedWords(rig.plan, rig.panel);
        }
        if (rig.plan.LastOutcome() == RunOutcome::TwelveBit &&
            !(rig.state.Denom > 4095 && rig.panel.Value(FractN) == 0)) {
            Fail("a twelve-bit stop without a modulus above 4095 in fractional mode", rig.state);
        }
        CheckRoundTrip(rig);
    }
    return 0;
}
