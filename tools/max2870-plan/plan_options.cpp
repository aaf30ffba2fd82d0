#include "plan_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <functional>
#include <map>
#include <string_view>

namespace max2870 {
namespace {

bool AllOf(std::string_view text, int (*isClass)(int)) {
    return std::all_of(text.begin(), text.end(),
                       [isClass](char c) { return isClass(static_cast<unsigned char>(c)) != 0; });
}

// [+-]?[0-9]+ within low..high.
bool ParseBoundedInt(const std::string& text, int low, int high, int& out) {
    std::string_view digits = text;
    const bool negative = digits.starts_with('-');
    if (negative || digits.starts_with('+')) {
        digits.remove_prefix(1);
    }
    if (digits.empty() || !AllOf(digits, isdigit)) {
        return false;
    }
    long long magnitude = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    const long long value = negative ? -magnitude : magnitude;
    if (result.ec != std::errc() || value < low || value > high) {
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

// (0x|0X)? and 1 to 8 hexadecimal digits, read as a 32-bit pattern.
bool ParseWord(const std::string& text, std::int32_t& out) {
    std::string_view digits = text;
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
        digits.remove_prefix(2);
    }
    if (digits.empty() || digits.size() > 8 || !AllOf(digits, isxdigit)) {
        return false;
    }
    std::uint32_t pattern = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), pattern, 16);
    out = static_cast<std::int32_t>(pattern);
    return true;
}

using Flag = std::function<void(PlanOptions&)>;
using Valued = std::function<bool(PlanOptions&, const std::string&)>;

const std::map<std::string, Flag>& Flags() {
    static const std::map<std::string, Flag> flags{
        {"--doubler", [](PlanOptions& o) { o.doubler = true; }},
        {"--div2", [](PlanOptions& o) { o.divideBy2 = true; }},
        {"--integer-n", [](PlanOptions& o) { o.integerN = true; }},
        {"--chip-disable", [](PlanOptions& o) { o.chipEnable = false; }},
        {"--pd-negative", [](PlanOptions& o) { o.pdNegative = true; }},
        {"--a-off", [](PlanOptions& o) { o.outputA = false; }},
        {"--b-on", [](PlanOptions& o) { o.outputB = true; }},
        {"--find-best", [](PlanOptions& o) { o.findBest = true; }},
        {"--listing", [](PlanOptions& o) { o.listing = true; }},
        {"--json", [](PlanOptions& o) { o.json = true; }},
        {"--help", [](PlanOptions& o) { o.help = true; }},
        {"--version", [](PlanOptions& o) { o.version = true; }},
    };
    return flags;
}

bool OneOf(const std::string& value, std::initializer_list<const char*> allowed) {
    for (const char* name : allowed) {
        if (value == name) {
            return true;
        }
    }
    return false;
}

const std::map<std::string, Valued>& ValuedOptions() {
    static const std::map<std::string, Valued> options{
        {"--ref", [](PlanOptions& o, const std::string& v) { return o.ref = v, true; }},
        {"--r", [](PlanOptions& o, const std::string& v) { return o.r = v, true; }},
        {"--fout", [](PlanOptions& o, const std::string& v) { return o.fout = v, true; }},
        {"--resolution",
         [](PlanOptions& o, const std::string& v) { return o.resolution = v, true; }},
        {"--phase", [](PlanOptions& o, const std::string& v) { return o.phase = v, true; }},
        {"--force-d", [](PlanOptions& o, const std::string& v) { return o.forceD = v, true; }},
        {"--odiv",
         [](PlanOptions& o, const std::string& v) { return ParseBoundedInt(v, 0, 7, o.odiv); }},
        {"--cp", [](PlanOptions& o,
                    const std::string& v) { return ParseBoundedInt(v, 0, 15, o.chargePump); }},
        {"--power",
         [](PlanOptions& o, const std::string& v) { return ParseBoundedInt(v, 0, 3, o.power); }},
        {"--mux",
         [](PlanOptions& o, const std::string& v) {
             return OneOf(v, {"none", "rdiv", "ndiv", "lock"}) && (o.mux = v, true);
         }},
        {"--noise",
         [](PlanOptions& o, const std::string& v) {
             return OneOf(v, {"low-noise", "low-spur-1", "low-spur-2"}) && (o.noise = v, true);
         }},
    };
    return options;
}

} // namespace

ParsedOptions ParsePlanOptions(const std::vector<std::string>& arguments) {
    ParsedOptions parsed;
    PlanOptions& o = parsed.options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (const auto flag = Flags().find(name); flag != Flags().end()) {
            flag->second(o);
            continue;
        }
        if (name == "--decode") {
            if (i + 4 >= arguments.size()) {
                return {o, "--decode needs four register words (Reg0 Reg1 Reg2 Reg4)"};
            }
            std::array<std::int32_t, 4> words{};
            for (std::size_t w = 0; w < 4; ++w) {
                if (!ParseWord(arguments[i + 1 + w], words[w])) {
                    return {o, "--decode: '" + arguments[i + 1 + w] +
                                   "' is not a register word of 1 to 8 hexadecimal digits"};
                }
            }
            o.decode = words;
            i += 4;
            continue;
        }
        const auto valued = ValuedOptions().find(name);
        if (valued == ValuedOptions().end()) {
            return {o, name.starts_with("-") ? "unknown option '" + name + "'"
                                             : "unexpected argument '" + name + "'"};
        }
        if (i + 1 >= arguments.size()) {
            return {o, name + " needs a value"};
        }
        const std::string& value = arguments[++i];
        if (!valued->second(o, value)) {
            return {o, name + ": bad value '" + value + "'"};
        }
    }
    return parsed;
}

const char* PlanUsage() {
    return "usage: max2870-plan [options]\n"
           "Panel:   --ref TEXT  --doubler  --div2  --r TEXT  --odiv 0..7  --fout TEXT\n"
           "         --resolution TEXT  --integer-n  --phase TEXT  --mux none|rdiv|ndiv|lock\n"
           "         --noise low-noise|low-spur-1|low-spur-2  --chip-disable  --cp 0..15\n"
           "         --pd-negative  --a-off  --b-on  --power 0..3\n"
           "Actions: --find-best  --force-d TEXT  --decode W0 W1 W2 W4\n"
           "Output:  --listing  --json  (default: the results text)\n"
           "         --help  --version\n";
}

} // namespace max2870
