#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The number conversions every part of the program uses. Operator texts are read and plan values
// written exactly the same way in the window, the planner and the tests.
namespace max2870 {

// The number a text begins with. Blanks, tabs and line feeds anywhere are ignored; a sign, a
// decimal point and an exponent are accepted; a text that does not begin with a number gives 0.
double NumberOfText(std::string_view text);

// The length of the decimal number [+-]?(d+.?d*|.d+)([eE][+-]?d+)? at the start of a text, as
// scripts and the instrument take it: 0 when there is none or its exponent mark has no digits.
std::size_t DecimalLength(std::string_view text);

// The largest integer not above the value.
double Floor(double value);

// The nearest integer, halves going to the even neighbour (2.5 gives 2, 3.5 gives 4).
double ToInteger(double value);

// Decimal form with at most 15 significant digits, no trailing zeros, no leading blank.
std::string PlainText(double value);

// The shortest text that reads back as the same finite double, as std::to_chars gives it
// ("3000.001", "3e+06"), written at `first`; `last - first` must be at least 32.
char* WriteShortest(char* first, char* last, double value);

// The plain text led by one blank (value 0 or more) or a minus sign, "0." shortened to ".".
std::string BlankLedText(double value);

// A pattern such as "#0.0#####" read once: whole-number places always shown, least and most
// decimals, and the literal text after it ("MHz").
struct NumberPattern {
    std::size_t integerZeros = 0;
    std::size_t minDecimals = 0;
    std::size_t maxDecimals = 0;
    std::string_view suffix;

    constexpr explicit NumberPattern(std::string_view pattern) {
        std::size_t i = 0;
        for (; i < pattern.size() && (pattern[i] == '#' || pattern[i] == '0'); ++i) {
            integerZeros += pattern[i] == '0' ? 1 : 0;
        }
        if (i < pattern.size() && pattern[i] == '.') {
            for (++i; i < pattern.size() && (pattern[i] == '#' || pattern[i] == '0'); ++i) {
                ++maxDecimals;
                // A "0" place after a "#" place is still shown: the "0" places are the minimum.
                if (pattern[i] == '0') {
                    minDecimals = maxDecimals;
                }
            }
        }
        suffix = pattern.substr(i);
    }
};

// A number written by a pattern such as "#0.0#####", "###0", "0000" or "###0.0#Hz".
std::string PatternFormat(double value, std::string_view pattern);
// The same, appended to a text (the results text is built in one piece).
void AppendPattern(std::string& text, double value, const NumberPattern& pattern);

} // namespace max2870
