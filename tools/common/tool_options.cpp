#include "tool_options.h"

#include "panel/option_codes.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
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
bool ParseBoundedInt(const std::string& text, long long low, long long high, long long& out) {
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
    out = value;
    return true;
}

bool ParseInt(const std::string& text, int low, int high, int& out) {
    long long value = 0;
    return ParseBoundedInt(text, low, high, value) && (out = static_cast<int>(value), true);
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

// The whole text is one finite decimal number: [+-]?(digits[.digits]|.digits)([eE][+-]?digits)?
std::optional<double> ParseDecimal(const std::string& text) {
    std::size_t i = 0;
    const auto digitsFrom = [&](std::size_t from) {
        std::size_t end = from;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) != 0) {
            ++end;
        }
        return end;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t end = digitsFrom(i);
    bool any = end > i;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fraction = digitsFrom(end + 1);
        any = any || fraction > end + 1;
        end = fraction;
    }
    if (!any) {
        return std::nullopt;
    }
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        const std::size_t exponentEnd = digitsFrom(exponent);
        end = exponentEnd > exponent ? exponentEnd : text.size() + 1;
    }
    if (end != text.size()) {
        return std::nullopt;
    }
    const double value = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return value == 0 ? 0.0 : value;
}

bool SetDecimal(const std::string& text, double& out) {
    const std::optional<double> value = ParseDecimal(text);
    return value && (out = *value, true);
}

bool NamedCode(std::span<const OptionCode> group, const std::string& text, std::string& out) {
    return OptionForName(group, text) != nullptr && (out = text, true);
}

using Flag = std::function<void(ToolOptions&)>;
using Valued = std::function<bool(ToolOptions&, const std::string&)>;

struct FlagEntry {
    Flag apply;
    bool send = true; // the sender takes it too
};

struct ValuedEntry {
    Valued apply;
    bool send = true;
    bool plan = true;
};

const std::map<std::string, FlagEntry>& Flags() {
    static const std::map<std::string, FlagEntry> flags{
        {"--doubler", {[](ToolOptions& o) { o.doubler = true; }}},
        {"--div2", {[](ToolOptions& o) { o.divideBy2 = true; }}},
        {"--integer-n", {[](ToolOptions& o) { o.integerN = true; }}},
        {"--chip-disable", {[](ToolOptions& o) { o.chipEnable = false; }}},
        {"--pd-negative", {[](ToolOptions& o) { o.pdNegative = true; }}},
        {"--a-off", {[](ToolOptions& o) { o.outputA = false; }}},
        {"--b-on", {[](ToolOptions& o) { o.outputB = true; }}},
        {"--find-best", {[](ToolOptions& o) { o.findBest = true; }}},
        {"--listing", {[](ToolOptions& o) { o.listing = true; }, false}},
        {"--json", {[](ToolOptions& o) { o.json = true; }}},
        {"--help", {[](ToolOptions& o) { o.help = true; }}},
        {"--version", {[](ToolOptions& o) { o.version = true; }}},
        {"--store", {[](ToolOptions& o) { o.command = SendCommand::Store; }}},
        {"--read", {[](ToolOptions& o) { o.command = SendCommand::Read; }}},
        {"--quiet", {[](ToolOptions& o) { o.quiet = true; }}},
    };
    return flags;
}

bool IsSendOnlyFlag(const std::string& name) {
    return name == "--store" || name == "--read" || name == "--quiet";
}

const std::map<std::string, ValuedEntry>& ValuedOptions() {
    using O = ToolOptions;
    using S = const std::string&;
    static const std::map<std::string, ValuedEntry> options{
        {"--ref", {[](O& o, S v) { return o.ref = v, true; }}},
        {"--r", {[](O& o, S v) { return o.r = v, true; }}},
        {"--fout", {[](O& o, S v) { return o.fout = v, true; }}},
        {"--resolution", {[](O& o, S v) { return o.resolution = v, true; }}},
        {"--phase", {[](O& o, S v) { return o.phase = v, true; }}},
        {"--force-d", {[](O& o, S v) { return o.forceD = v, true; }}},
        {"--odiv", {[](O& o, S v) { return ParseInt(v, 0, 7, o.odiv.emplace()); }}},
        {"--cp", {[](O& o, S v) { return ParseInt(v, 0, 15, o.chargePump); }}},
        {"--power", {[](O& o, S v) { return ParseInt(v, 0, 3, o.power); }}},
        {"--mux", {[](O& o, S v) { return NamedCode(kMuxCodes, v, o.mux); }}},
        {"--noise", {[](O& o, S v) { return NamedCode(kNoiseCodes, v, o.noise); }}},
        {"--list", {[](O& o, S v) { return o.listFile = v, true; }}},
        {"--warn-spur", {[](O& o, S v) { return SetDecimal(v, o.warnSpurHz.emplace()); }}},
        {"--gap",
         {[](O& o, S v) {
              return SetDecimal(v, o.gapSeconds) && o.gapSeconds >= kMinimumGapSeconds;
          },
          true, false}},
        {"--dwell",
         {[](O& o, S v) { return SetDecimal(v, o.dwellSeconds) && o.dwellSeconds >= 0; }, true,
          false}},
        {"--timeout",
         {[](O& o, S v) { return SetDecimal(v, o.timeoutSeconds) && o.timeoutSeconds > 0; }, true,
          false}},
        {"--serve", {[](O& o, S v) { return o.serve = v, true; }, true, false}},
        {"--repeat",
         {[](O& o, S v) {
              return !v.starts_with('-') && !v.starts_with('+') &&
                     ParseBoundedInt(v, 0, 1LL << 53, o.repeat);
          },
          true, false}},
    };
    return options;
}

// Options that cannot go together, checked once the whole line is read.
std::string Conflict(const ToolOptions& o) {
    if (o.sweep && o.listFile) {
        return "--sweep and --list cannot go together";
    }
    if (o.Stepped() && o.decode) {
        return std::string(o.sweep ? "--sweep" : "--list") + " and --decode cannot go together";
    }
    if (o.Stepped() && o.listing) {
        return std::string(o.sweep ? "--sweep" : "--list") + " and --listing cannot go together";
    }
    if (o.serve && (o.Stepped() || o.command != SendCommand::Program || o.NeedsPanel())) {
        return "--serve takes the panel's values only: no --sweep, --list, --store, --read or "
               "actions";
    }
    if (o.Stepped() && o.command != SendCommand::Program) {
        return std::string(o.command == SendCommand::Store ? "--store" : "--read") +
               " sends one set: it cannot go with " + (o.sweep ? "--sweep" : "--list");
    }
    return "";
}

} // namespace

ParsedOptions ParseToolOptions(const std::vector<std::string>& arguments, ToolProgram program) {
    ParsedOptions parsed;
    ToolOptions& o = parsed.options;
    const bool send = program == ToolProgram::Send;
    bool store = false;
    bool read = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (const auto flag = Flags().find(name);
            flag != Flags().end() && (send ? flag->second.send : !IsSendOnlyFlag(name))) {
            flag->second.apply(o);
            store = store || name == "--store";
            read = read || name == "--read";
            continue;
        }
        if (name == "--decode" || name == "--sweep") {
            const std::size_t count = name == "--decode" ? 4 : 3;
            if (i + count >= arguments.size()) {
                return {o, name == "--decode"
                               ? "--decode needs four register words (Reg0 Reg1 Reg2 Reg4)"
                               : "--sweep needs START STOP STEP in MHz"};
            }
            if (name == "--decode") {
                std::array<std::int32_t, 4> words{};
                for (std::size_t w = 0; w < 4; ++w) {
                    if (!ParseWord(arguments[i + 1 + w], words[w])) {
                        return {o, "--decode: '" + arguments[i + 1 + w] +
                                       "' is not a register word of 1 to 8 hexadecimal digits"};
                    }
                }
                o.decode = words;
            } else {
                std::array<double, 3> values{};
                for (std::size_t w = 0; w < 3; ++w) {
                    if (!SetDecimal(arguments[i + 1 + w], values[w])) {
                        return {o, "--sweep: '" + arguments[i + 1 + w] +
                                       "' is not a finite decimal number of MHz"};
                    }
                }
                o.sweep = SweepRange{values[0], values[1], values[2]};
            }
            i += count;
            continue;
        }
        const auto valued = ValuedOptions().find(name);
        if (valued == ValuedOptions().end() ||
            !(send ? valued->second.send : valued->second.plan)) {
            return {o, name.starts_with("-") ? "unknown option '" + name + "'"
                                             : "unexpected argument '" + name + "'"};
        }
        if (i + 1 >= arguments.size()) {
            return {o, name + " needs a value"};
        }
        const std::string& value = arguments[++i];
        if (!valued->second.apply(o, value)) {
            return {o, name + ": bad value '" + value + "'"};
        }
    }
    if (store && read) {
        return {o, "--store and --read cannot go together"};
    }
    if (const std::string conflict = Conflict(o); !conflict.empty()) {
        return {o, conflict};
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
           "Steps:   --sweep START STOP STEP  --list FILE|-  (one CSV line per step)\n"
           "Output:  --listing  --json  --warn-spur HZ  (default: the results text)\n"
           "         --help  --version\n";
}

const char* SendUsage() {
    return "usage: max2870-send PORT [options]\n"
           "Panel and actions as max2870-plan (see max2870-plan --help).\n"
           "Command: (default) program the six registers  --store  (each followed by W)\n"
           "         --read  (INIT, decode the reply; --timeout S, default 5)\n"
           "Steps:   --sweep START STOP STEP  --list FILE|-  --gap S (default 0.2, at least "
           "0.0126)\n"
           "         --dwell S  --repeat N (0: until Ctrl-C)\n"
           "Serve:   --serve [ADDRESS:]TCPPORT  (SCPI instrument; the panel options are *RST's "
           "state)\n"
           "Output:  --json  --warn-spur HZ  --quiet  --help  --version\n";
}

} // namespace max2870
