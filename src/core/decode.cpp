#include "core/decode.h"

#include "core/numbers.h"
#include "core/plan.h"

#include <cmath>

namespace max2870 {

std::variant<DecodedSettings, DecodeRefusal> DecodeWords(const ReadBackWords& stored) {
    using enum FieldId;
    const RegisterWords words{stored[0], stored[1], stored[2], 0, stored[3], 0};
    const auto field = [&words](FieldId id) { return UnpackField(words, id); };
    const auto whole = [&field](FieldId id) { return static_cast<double>(field(id)); };
    // An erased or foreign EEPROM can hold such a set; restoring it would divide by zero.
    if (field(R) == 0) {
        return DecodeRefusal{"the reference divider R is 0"};
    }
    if (field(Denom) == 0 && field(IntegerN) == 0) {
        return DecodeRefusal{"the modulus D is 0 in fractional mode"};
    }
    DecodedSettings s;
    s.integerN = field(IntegerN) != 0;
    s.N = whole(N);
    s.Fract = whole(Fract);
    s.Denom = whole(Denom);
    s.R = whole(R);
    s.outDivExponent = static_cast<int>(field(OutDivider));
    s.noiseCode = static_cast<std::int32_t>(field(NoiseMode));
    s.muxCode = static_cast<std::int32_t>(field(Mux));
    s.refDoubler = field(RefDoubler) != 0;
    s.refDivide2 = field(RefDivide2) != 0;
    s.chargePump = static_cast<int>(field(ChargePump));
    s.pdNegative = field(PdPositive) == 0;
    s.outputA = field(OutputA) != 0;
    s.outputB = field(OutputB) != 0;
    s.power = static_cast<int>(field(PowerLow));
    return s;
}

RestoredPlan RestorePlan(const DecodedSettings& s, double typedReference) {
    RestoredPlan p;
    p.Fr = EffectiveReference(typedReference, s.refDoubler, s.refDivide2);
    p.rdividerText = BlankLedText(s.R);
    p.Fcomp = p.Fr / s.R;
    p.OutDiv = std::ldexp(1.0, s.outDivExponent);
    if (!s.integerN) {
        p.Resolution = p.Fcomp * 1000000 / s.Denom / p.OutDiv;
        p.VCO = p.Fcomp * (s.N + s.Fract / s.Denom);
    } else {
        p.Resolution = p.Fcomp * 1000000 / p.OutDiv;
        p.VCO = p.Fcomp * s.N;
    }
    p.fvcoCaption = "VCO " + BlankLedText(p.VCO) + "MHz";
    p.Fout = p.VCO / p.OutDiv;
    p.label6Caption = "Fcomp " + PlainText(p.Fcomp);
    p.resolutionText = BlankLedText(p.Resolution);
    p.foutText = BlankLedText(p.Fout);
    return p;
}

} // namespace max2870
