#pragma once

#include "core/register_map.h"

#include <array>
#include <cstdint>
#include <string>
#include <variant>

namespace max2870 {

// The four words a read-back set is restored from: Reg0, Reg1, Reg2 and Reg4.
using ReadBackWords = std::array<std::int32_t, 4>;

// The panel settings and plan values stored in a read-back set (Reg0, Reg1, Reg2 and Reg4).
struct DecodedSettings {
    bool integerN = false;
    double N = 0;
    double Fract = 0;
    double Denom = 0;
    double R = 0;
    int outDivExponent = 0;
    std::int32_t noiseCode = 0; // may be a code no button stands for
    std::int32_t muxCode = 0;
    bool refDoubler = false;
    bool refDivide2 = false;
    int chargePump = 0;
    bool pdNegative = false; // the word's polarity bit clear
    bool outputA = false;
    bool outputB = false;
    int power = 0;
};

// The frequencies worked back from a decoded set and the reference typed on the panel, and the
// texts the decoder writes before its recomputes.
struct RestoredPlan {
    double Fr = 0;
    double Fcomp = 0;
    double OutDiv = 0;
    double Resolution = 0;
    double VCO = 0;
    double Fout = 0;
    std::string rdividerText;   // blank-led R
    std::string fvcoCaption;    // "VCO " + blank-led VCO + "MHz"
    std::string label6Caption;  // "Fcomp " + plain Fcomp
    std::string resolutionText; // blank-led resolution
    std::string foutText;       // blank-led Fout
};

struct DecodeRefusal {
    std::string reason; // "the reference divider R is 0", for the link log
};

// Reads the settings out of the four words (Reg0, Reg1, Reg2, Reg4), or refuses a set whose R is
// 0, or whose D is 0 in fractional mode: restoring it would divide by zero.
std::variant<DecodedSettings, DecodeRefusal> DecodeWords(const ReadBackWords& words);

// The plan values of a decoded set with the reference typed on the panel.
RestoredPlan RestorePlan(const DecodedSettings& settings, double typedReference);

} // namespace max2870
