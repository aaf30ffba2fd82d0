#include "common/numbers.h"
#include "model/hex_format.h"
#include "model/plan_controller.h"

#include <cmath>
#include <cstdint>

namespace max2870 {

using enum ControlId;

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kChooseOther = "Choose alternative values";

std::int16_t MuxCodeOf(ControlId id) {
    switch (id) {
    case MuxR:
        return 3;
    case MuxN:
        return 4;
    case MuxL:
        return 6;
    default:
        return 0;
    }
}

std::int32_t NoiseCodeOf(ControlId id) {
    switch (id) {
    case NM2:
        return 2;
    case NM3:
        return 3;
    default:
        return 0;
    }
}

std::uint32_t Field(double value, int lowestBit) {
    return static_cast<std::uint32_t>(value) << lowestBit;
}

} // namespace

void PlanController::WriteBack(ControlId id, const std::string& text) {
    muted_ = id;
    panel_.SetText(id, text);
    muted_ = ControlId::None;
}

void PlanController::Recalculate() {
    if (decoding_ || (s_.InitFlag && panel_.Visible(Init))) {
        return;
    }
    s_.N = 0;
    panel_.SetVisible(EEdata, false);
    panel_.SetEnabled(TrackDivider, true);

    s_.Fr = NumberIn(FrText);
    if (Ticked(RefDbl)) {
        s_.Fr = s_.Fr * 2;
    }
    if (Ticked(Refdiv2)) {
        s_.Fr = s_.Fr / 2;
    }
    const double typedDivider = NumberIn(Rdivider);
    if (typedDivider > 0) {
        s_.Fcomp = s_.Fr / typedDivider;
    }
    if (!(s_.Fcomp > 0)) {
        outcome_ = RunOutcome::NoFcomp;
        return;
    }
    s_.R = Floor(s_.Fr / s_.Fcomp + 0.5);
    if (s_.R > 0) {
        s_.Fcomp = s_.Fr / s_.R;
    }
    WriteBack(Rdivider, BlankLedText(s_.R).substr(1));
    panel_.SetCaption(Label6, "Fcomp " + PatternFormat(s_.Fcomp, "#0.0#####") + "MHz");

    s_.OutDiv = std::ldexp(1.0, panel_.Value(OutDivCont));
    if (panel_.Value(TrackDivider) != 0) {
        s_.Fout = s_.VCO / s_.OutDiv;
        WriteBack(FoutText, BlankLedText(s_.Fout));
    } else {
        s_.Fout = NumberIn(FoutText);
        s_.VCO = s_.OutDiv * s_.Fout;
    }
    std::string vcoCaption = "VCO " + BlankLedText(s_.VCO) + "MHz";
    if (s_.VCO < 3000 || s_.VCO > 6000) {
        vcoCaption += kCrLf;
        vcoCaption += "External VCO Only";
        panel_.SetCaption(Fvco, vcoCaption);
        panel_.SetForeColour(Fvco, colour::Red);
        panel_.SetBackColour(FoutText, colour::Red);
    } else {
        panel_.SetCaption(Fvco, vcoCaption);
        panel_.SetForeColour(Fvco, colour::Black);
        panel_.SetBold(Fvco, false);
        panel_.SetBackColour(FoutText, colour::White);
    }

    const bool integerN = Ticked(FractN);
    s_.Resolution = NumberIn(ResolutionText);
    if (integerN) {
        s_.Resolution = s_.Fcomp * 1000000 / s_.OutDiv;
    }
    WriteBack(ResolutionText, BlankLedText(s_.Resolution));
    if (!ComputeDividerPlan(integerN)) {
        return;
    }
    if (s_.Denom > 4095 && !integerN) {
        panel_.SetText(ValuesText,
                       std::string("More than 12 bits needed for fractional registers") + kCrLf +
                           kChooseOther);
        outcome_ = RunOutcome::TwelveBit;
        return;
    }

    phaseValue_ = ToInteger(NumberIn(OPPhasetext) / 360 * s_.Denom);
    for (ControlId option : {MuxNone, MuxR, MuxN, MuxL}) {
        if (Ticked(option)) {
            s_.MuxVal = MuxCodeOf(option);
        }
    }
    for (ControlId option : {NM0, NM2, NM3}) {
        if (Ticked(option)) {
            s_.NoiseMode = NoiseCodeOf(option);
        }
    }
    bandSelect_ = ToInteger(s_.Fcomp * 1000000 / 50000);
    if (bandSelect_ > 1023) {
        bandSelect_ = 1023;
    }

    const std::string spill = FieldSpillMessage();
    if (!spill.empty()) {
        panel_.SetText(ValuesText, spill + kCrLf + kChooseOther);
        outcome_ = RunOutcome::Rejected;
        return;
    }
    PackWords(integerN);
    panel_.SetText(ValuesText, ResultsText());
    panel_.SetForeColour(ValuesText, std::fabs(s_.ErrorHz) > 1.0 ? colour::Red : colour::Black);
    outcome_ = RunOutcome::Complete;
}

// N, F, D and the error for the mode. False when the fractional plan has no usable modulus: a
// zero or undefined D would divide by zero in the error and leave F meaningless.
bool PlanController::ComputeDividerPlan(bool integerN) {
    if (integerN) {
        s_.N = Floor(s_.Fout / s_.Fcomp * s_.OutDiv + 0.5);
        s_.Fract = 0;
        s_.Denom = 0;
        s_.ErrorHz = (s_.Fcomp * s_.N / s_.OutDiv - s_.Fout) * 1000000;
        return true;
    }
    const double x = s_.Fout / s_.Fcomp * s_.OutDiv;
    s_.N = Floor(x);
    if (s_.Resolution > 0 && s_.OutDiv > 0) {
        s_.Denom = Floor(s_.Fcomp * 1000000 / s_.Resolution / s_.OutDiv + 0.5);
    }
    if (s_.Denom == 0 || !std::isfinite(s_.Denom)) {
        panel_.SetText(ValuesText, std::string("Fractional modulus D is zero or undefined: "
                                               "choose a finer resolution") +
                                       kCrLf + kChooseOther);
        outcome_ = RunOutcome::Rejected;
        return false;
    }
    s_.Fract = Floor((x - Floor(x)) * s_.Denom + 0.5);
    s_.ErrorHz = (s_.Fcomp * (s_.N + s_.Fract / s_.Denom) / s_.OutDiv - s_.Fout) * 1000000;
    if (s_.Fract == s_.Denom) {
        // The chip needs F below D: carry the whole step into N (same frequency, same error).
        s_.N = s_.N + 1;
        s_.Fract = 0;
    }
    return true;
}

// A field beyond its width would spill into its neighbour; such a word is never packed.
std::string PlanController::FieldSpillMessage() const {
    if (!(s_.R >= 1 && s_.R <= 1023)) {
        return "R = " + PlainText(s_.R) + " is outside its range 1 to 1023";
    }
    if (!(s_.N >= 0 && s_.N <= 65535)) {
        return "N = " + PlainText(s_.N) + " is outside its range 0 to 65535";
    }
    if (!(phaseValue_ >= 0 && phaseValue_ <= 4095)) {
        return "Phase value P = " + PlainText(phaseValue_) + " is outside its range 0 to 4095";
    }
    if (!(s_.Fract >= 0)) {
        return "F = " + PlainText(s_.Fract) + " is outside its range 0 to 4095";
    }
    return {};
}

void PlanController::PackWords(bool integerN) {
    const std::uint32_t intBit = integerN ? 1U : 0U;
    const std::uint32_t reg0 = (intBit << 31) | Field(s_.N, 15) | Field(s_.Fract, 3);
    const std::uint32_t reg1 =
        ((1U - intBit) << 29) | Field(phaseValue_, 15) | Field(s_.Denom, 3) | 1U;
    std::uint32_t reg2 = (static_cast<std::uint32_t>(s_.NoiseMode) << 29) |
                         (static_cast<std::uint32_t>(s_.MuxVal) << 26) |
                         (static_cast<std::uint32_t>(panel_.Value(RefDbl)) << 25) |
                         (static_cast<std::uint32_t>(panel_.Value(Refdiv2)) << 24) |
                         Field(s_.R, 14) |
                         (static_cast<std::uint32_t>(panel_.Value(ChrgPump)) << 9) | (intBit << 8) |
                         ((1U - static_cast<std::uint32_t>(panel_.Value(PDpol))) << 6) |
                         ((1U - static_cast<std::uint32_t>(panel_.Value(Enable))) << 5) | 2U;
    if (s_.Fcomp > 32) {
        reg2 |= 1U << 31;
    }
    const auto bandSelect = static_cast<std::uint32_t>(bandSelect_);
    const auto power = static_cast<std::uint32_t>(panel_.Value(OPpwr));
    const std::uint32_t reg4 = 0x60800004U | ((bandSelect / 256) << 24) |
                               (static_cast<std::uint32_t>(panel_.Value(OutDivCont)) << 20) |
                               ((bandSelect % 256) << 12) |
                               (static_cast<std::uint32_t>(panel_.Value(Bon)) << 8) | (power << 6) |
                               (static_cast<std::uint32_t>(panel_.Value(Aon)) << 5) | (power << 3);
    s_.Reg0 = static_cast<std::int32_t>(reg0);
    s_.Reg1 = static_cast<std::int32_t>(reg1);
    s_.Reg2 = static_cast<std::int32_t>(reg2);
    s_.Reg3 = 11;
    s_.Reg4 = static_cast<std::int32_t>(reg4);
    s_.Reg5 = (1 << 22) + 5;
}

std::string PlanController::ResultsText() const {
    struct Line {
        const char* label;
        double value;
        const char* pattern;
        const char* tail;
    };
    const Line lines[] = {
        {"Fcomp  ", s_.Fcomp, "#0.00####MHz", ""},
        {"R  ", s_.R, "###0", ""},
        {"N  ", s_.N, "####0", ""},
        {"F  ", s_.Fract, "###0", ""},
        {"D  ", s_.Denom, "###0", "     "},
        {"Error =  ", s_.ErrorHz, "###0.0#Hz", ""},
    };
    std::string text;
    text.reserve(256); // one allocation: the whole text is about 180 characters
    for (const Line& line : lines) {
        text.append(line.label).append(PatternFormat(line.value, line.pattern));
        text.append(line.tail).append(kCrLf);
    }
    text += kCrLf;
    const std::int32_t words[] = {s_.Reg0, s_.Reg1, s_.Reg2, s_.Reg3, s_.Reg4, s_.Reg5};
    for (int i = 0; i < 6; ++i) {
        text.append("Reg ").append(1, static_cast<char>('0' + i)).append("   0x ");
        text.append(HexFormat(words[i])).append(kCrLf);
    }
    return text;
}

} // namespace max2870
