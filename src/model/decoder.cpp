#include "common/numbers.h"
#include "model/plan_controller.h"

#include <cmath>
#include <cstdint>

namespace max2870 {

using enum ControlId;

namespace {

double FieldOf(std::int32_t word, std::uint32_t mask, int lowestBit) {
    return static_cast<double>((static_cast<std::uint32_t>(word) & mask) >> lowestBit);
}

bool BitOf(std::int32_t word, int bit) {
    return ((static_cast<std::uint32_t>(word) >> bit) & 1U) != 0;
}

ControlId MuxOptionOf(double code) {
    if (code == 0) {
        return MuxNone;
    }
    if (code == 3) {
        return MuxR;
    }
    if (code == 4) {
        return MuxN;
    }
    return code == 6 ? MuxL : ControlId::None;
}

ControlId NoiseOptionOf(double code) {
    if (code == 0) {
        return NM0;
    }
    if (code == 2) {
        return NM2;
    }
    return code == 3 ? NM3 : ControlId::None;
}

} // namespace

DecodeResult PlanController::DecodeRegisters() {
    const std::int32_t reg0 = s_.RxReg[0];
    const std::int32_t reg1 = s_.RxReg[1];
    const std::int32_t reg2 = s_.RxReg[2];
    const std::int32_t reg4 = s_.RxReg[4];
    // An erased or foreign EEPROM can hold such a set; restoring it would divide by zero.
    if (FieldOf(reg2, 0x00FFC000U, 14) == 0) {
        outcome_ = RunOutcome::Rejected;
        return {false, "the reference divider R is 0"};
    }
    if (FieldOf(reg1, 0x00007FF8U, 3) == 0 && !BitOf(reg0, 31)) {
        outcome_ = RunOutcome::Rejected;
        return {false, "the modulus D is 0 in fractional mode"};
    }

    decoding_ = true;
    panel_.SetValue(TrackDivider, 1);
    s_.N = FieldOf(reg0, 0x7FFF8000U, 15);
    s_.Fract = FieldOf(reg0, 0x00007FF8U, 3);
    s_.Denom = FieldOf(reg1, 0x00007FF8U, 3);
    s_.R = FieldOf(reg2, 0x00FFC000U, 14);
    s_.OutDiv = std::ldexp(1.0, static_cast<int>(FieldOf(reg4, 0x00700000U, 20)));
    panel_.SetValue(Bon, BitOf(reg4, 8) ? 1 : 0);
    panel_.SetValue(Aon, BitOf(reg4, 5) ? 1 : 0);
    panel_.SetValue(FractN, BitOf(reg0, 31) ? 1 : 0);
    panel_.SetValue(RefDbl, BitOf(reg2, 25) ? 1 : 0);
    panel_.SetValue(Refdiv2, BitOf(reg2, 24) ? 1 : 0);
    const double mux = FieldOf(reg2, 0x1C000000U, 26);
    s_.MuxVal = static_cast<std::int16_t>(mux);
    if (const ControlId option = MuxOptionOf(mux); option != ControlId::None) {
        panel_.SetValue(option, 1);
    }
    const double noise = FieldOf(reg2, 0x60000000U, 29);
    s_.NoiseMode = static_cast<std::int32_t>(noise);
    if (const ControlId option = NoiseOptionOf(noise); option != ControlId::None) {
        panel_.SetValue(option, 1);
    }
    panel_.SetValue(PDpol, BitOf(reg2, 6) ? 0 : 1);
    panel_.SetValue(ChrgPump, static_cast<int>(FieldOf(reg2, 0x00001E00U, 9)));
    panel_.SetValue(OPpwr, static_cast<int>(FieldOf(reg4, 0x00000018U, 3)));

    s_.Fr = NumberIn(FrText);
    if (Ticked(RefDbl)) {
        s_.Fr = s_.Fr * 2;
    }
    if (Ticked(Refdiv2)) {
        s_.Fr = s_.Fr / 2;
    }
    panel_.SetText(Rdivider, BlankLedText(s_.R));
    s_.Fcomp = s_.Fr / s_.R;
    if (panel_.Value(FractN) == 0) {
        s_.Resolution = s_.Fcomp * 1000000 / s_.Denom / s_.OutDiv;
        s_.VCO = s_.Fcomp * (s_.N + s_.Fract / s_.Denom);
    } else {
        s_.Resolution = s_.Fcomp * 1000000 / s_.OutDiv;
        s_.VCO = s_.Fcomp * s_.N;
    }
    panel_.SetCaption(Fvco, "VCO " + BlankLedText(s_.VCO) + "MHz");
    s_.Fout = s_.VCO / s_.OutDiv;
    panel_.SetValue(OutDivCont, static_cast<int>(ToInteger(std::log(s_.OutDiv) / std::log(2.0))));
    panel_.SetCaption(Label6, "Fcomp " + PlainText(s_.Fcomp));
    panel_.SetText(ResolutionText, BlankLedText(s_.Resolution));
    panel_.SetText(FoutText, BlankLedText(s_.Fout));
    s_.Fcomp = s_.Fr / s_.R;
    s_.InitFlag = false;
    decoding_ = false;

    // First with tracking on, so the decoded VCO stays as decoded, then as the operator sees it.
    Recalculate();
    panel_.SetValue(TrackDivider, 0);
    Recalculate();
    return {true, {}};
}

} // namespace max2870
