#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace max2870 {

// The plan values a recompute works out: frequencies in MHz, Resolution and ErrorHz in Hz.
struct PlanValues {
    double Fr = 0;
    double R = 0;
    double Fcomp = 0;
    double OutDiv = 0;
    double Fout = 0;
    double VCO = 0;
    double Resolution = 0;
    double N = 0;
    double Fract = 0;
    double Denom = 0;
    double ErrorHz = 0;
    std::int16_t MuxVal = 0;
    std::int32_t NoiseMode = 0;
};

// The settings record: the plan of the panel, the six register words and the read-back state.
// A register word is held in the signed 32-bit range, so a word with bit 31 set is a negative
// number.
struct SynthState : PlanValues {
    std::int32_t Reg0 = 0;
    std::int32_t Reg1 = 0;
    std::int32_t Reg2 = 0;
    std::int32_t Reg3 = 0;
    std::int32_t Reg4 = 0;
    std::int32_t Reg5 = 0;
    bool InitFlag = false;
    double CP = 0;
    std::string Serin{};
    std::array<std::int32_t, 16> RxReg{};
};

// The words in register order, Reg0 first, as the results text shows them.
inline std::array<std::int32_t, 6> WordsReg0First(const SynthState& s) {
    return {s.Reg0, s.Reg1, s.Reg2, s.Reg3, s.Reg4, s.Reg5};
}

// The words in the order the link sends them and the listing prints them: Reg5 first.
inline std::array<std::int32_t, 6> WordsReg5First(const SynthState& s) {
    return {s.Reg5, s.Reg4, s.Reg3, s.Reg2, s.Reg1, s.Reg0};
}

} // namespace max2870
