#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace max2870 {

// A value from a script, read strictly: the whole text, blanks and tabs around it aside, is one
// finite decimal number ([+-], digits with an optional point, an optional exponent). A script
// has no box to look at, so "abc", "", "0x10", "2320,5" or "NaN" are typing errors, never 0.
// The same in every locale.
std::optional<double> StrictNumber(std::string_view text);

// "WHERE: 'TEXT' is not a finite decimal number", the one line a refused value gets.
std::string NotANumber(std::string_view where, std::string_view text);

} // namespace max2870
