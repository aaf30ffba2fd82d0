#include "chip_analysis.h"

#include <cstdio>

namespace max2870sim {

namespace {

std::uint32_t Field(std::uint32_t word, int highBit, int lowBit) {
    const int width = highBit - lowBit + 1;
    return (word >> lowBit) & ((1U << width) - 1U);
}

std::string Format(const char* pattern, double a, double b = 0, double c = 0) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

void DecodeFields(const RegisterSet& r, ChipAnalysis& a) {
    a.integerN = Field(r[0], 31, 31) != 0;
    a.n = Field(r[0], 30, 15);
    a.fraction = Field(r[0], 14, 3);
    a.modulus = Field(r[1], 14, 3);
    a.referenceDivider = Field(r[2], 23, 14);
    a.bandSelect = Field(r[4], 25, 24) << 8 | Field(r[4], 19, 12);
    a.outputDividerExponent = Field(r[4], 22, 20);
}

// fPFD = fREF x (1 + DBR) / (R x (1 + RDIV2)); fVCO = fPFD x (N + F/M), or x N in integer-N
// mode; fOUT = fVCO / 2^DIVA.
void ComputeFrequencies(const RegisterSet& r, double referenceMHz, ChipAnalysis& a) {
    const double doubler = 1.0 + Field(r[2], 25, 25);
    const double halver = 1.0 + Field(r[2], 24, 24);
    a.pfdMHz = referenceMHz * doubler / (a.referenceDivider * halver);
    double division = a.n;
    if (!a.integerN && a.modulus != 0) {
        division += static_cast<double>(a.fraction) / a.modulus;
    }
    a.vcoMHz = a.pfdMHz * division;
    a.outputMHz = a.vcoMHz / static_cast<double>(1U << a.outputDividerExponent);
}

void CheckDividers(ChipAnalysis& a) {
    if (!a.integerN) {
        if (a.modulus < 2 || a.modulus > 4095) {
            a.warnings.push_back(Format("modulus M %.0f outside 2..4095", a.modulus));
        }
        if (a.fraction >= a.modulus) {
            a.warnings.push_back(
                Format("fraction F %.0f outside 0..M-1 (M %.0f)", a.fraction, a.modulus));
        }
        if (a.n < 19 || a.n > 4091) {
            a.warnings.push_back(Format("N %.0f outside 19..4091 (fractional mode)", a.n));
        }
    } else if (a.n < 16 || a.n > 65535) {
        a.warnings.push_back(Format("N %.0f outside 16..65535 (integer-N mode)", a.n));
    }
    if (a.referenceDivider < 1 || a.referenceDivider > 1023) {
        a.warnings.push_back(
            Format("reference divider R %.0f outside 1..1023", a.referenceDivider));
    }
}

void CheckFrequencies(ChipAnalysis& a) {
    const double pfdLimit = a.integerN ? 105.0 : 50.0;
    if (!(a.pfdMHz <= pfdLimit)) {
        a.warnings.push_back(
            Format("comparison frequency %.6g MHz above %.0f MHz", a.pfdMHz, pfdLimit) +
            (a.integerN ? " (integer-N mode)" : " (fractional mode)"));
    }
    if (!(a.vcoMHz >= 3000.0 && a.vcoMHz <= 6000.0)) {
        a.warnings.push_back(Format("VCO %.9g MHz outside 3000..6000 MHz", a.vcoMHz));
    }
    if (a.bandSelect == 0) {
        a.warnings.emplace_back("band select divider is 0");
    } else if (!(a.pfdMHz * 1000.0 / a.bandSelect <= 50.0)) {
        a.warnings.push_back(Format("band select clock %.6g kHz above 50 kHz (BS %.0f)",
                                    a.pfdMHz * 1000.0 / a.bandSelect, a.bandSelect));
    }
}

} // namespace

ChipAnalysis AnalyseRegisters(const RegisterSet& registers, double referenceMHz) {
    ChipAnalysis analysis;
    DecodeFields(registers, analysis);
    ComputeFrequencies(registers, referenceMHz, analysis);
    CheckDividers(analysis);
    CheckFrequencies(analysis);
    return analysis;
}

std::string DescribeAnalysis(const ChipAnalysis& a) {
    char text[240];
    if (a.integerN) {
        std::snprintf(text, sizeof text,
                      "integer-N: fPFD %.9g MHz, N %u, fVCO %.9g MHz, divider %u, fOUT %.9g MHz",
                      a.pfdMHz, a.n, a.vcoMHz, 1U << a.outputDividerExponent, a.outputMHz);
    } else {
        std::snprintf(text, sizeof text,
                      "fractional: fPFD %.9g MHz, N %u + %u/%u, fVCO %.9g MHz, divider %u, "
                      "fOUT %.9g MHz",
                      a.pfdMHz, a.n, a.fraction, a.modulus, a.vcoMHz, 1U << a.outputDividerExponent,
                      a.outputMHz);
    }
    return text;
}

} // namespace max2870sim
