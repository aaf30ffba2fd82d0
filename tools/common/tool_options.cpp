#include "tool_options.h"

#include "core/numbers.h"
#include "core/option_codes.h"
#include "strict_number.h"

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

bool SetDecimal(const std::string& text, double& out) {
    const std::optional<double> value = StrictNumber(text);
    return value && (out = *value, true);
}

bool NamedCode(std::span<const OptionCode> group, const std::string& text, std::string& out) {
    return OptionForName(group, text) != nullptr && (out = text, true);
}

using Flag = std::function<void(ToolOptions&)>;
// Takes the value; returns why it is refused, empty when it is taken.
using Valued = std::function<std::string(ToolOptions&, const std::string&)>;

struct FlagEntry {
    Flag apply;
    bool send = true; // the sender takes it
    bool plan = true; // the planner takes it
};

struct ValuedEntry {
    Valued apply;
    bool send = true;
    bool plan = true;
};

std::string BadValue(const std::string& value) {
    return "bad value '" + value + "'";
}

// A spinner or a named choice: the check says whether the value was taken.
Valued Checked(const std::function<bool(ToolOptions&, const std::string&)>& take) {
    return [take](ToolOptions& o, const std::string& v) { return take(o, v) ? "" : BadValue(v); };
}

Valued Text(std::string ToolOptions::*box) {
    return [box](ToolOptions& o, const std::string& v) { return o.*box = v, std::string(); };
}

Valued Decimal(std::optional<double> ToolOptions::*field) {
    return [field](ToolOptions& o, const std::string& v) -> std::string {
        const std::optional<double> value = StrictNumber(v);
        return value ? (o.*field = value, "") : "'" + v + "' is not a finite decimal number";
    };
}

// A time in seconds from `least` (or above 0 when `least` is 0 and `zeroAllowed` is false)
// up to one day: a longer wait is a typing error, and the timers could not hold it.
Valued Duration(double ToolOptions::*field, double least, bool zeroAllowed) {
    return [=](ToolOptions& o, const std::string& v) -> std::string {
        const std::optional<double> seconds = StrictNumber(v);
        if (!seconds) {
            return "'" + v + "' is not a finite decimal number";
        }
        if (*seconds < least || (!zeroAllowed && *seconds <= 0)) {
            return zeroAllowed || least > 0
                       ? "'" + v + "' is below the minimum, " + PlainText(least) + " s"
                       : "'" + v + "' is not above 0 s";
        }
        if (*seconds > kLongestDurationSeconds) {
            return "'" + v + "' is above the maximum, one day (86400 s)";
        }
        o.*field = *seconds;
        return "";
    };
}

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
        {"--strict", {[](ToolOptions& o) { o.strict = true; }, false}},
        {"--json", {[](ToolOptions& o) { o.json = true; }}},
        {"--help", {[](ToolOptions& o) { o.help = true; }}},
        {"-h", {[](ToolOptions& o) { o.help = true; }}},
        {"--version", {[](ToolOptions& o) { o.version = true; }}},
        {"--store", {[](ToolOptions& o) { o.command = SendCommand::Store; }, true, false}},
        {"--read", {[](ToolOptions& o) { o.command = SendCommand::Read; }, true, false}},
        {"--quiet", {[](ToolOptions& o) { o.quiet = true; }, true, false}},
        {"--external-vco", {[](ToolOptions& o) { o.externalVco = true; }, true, false}},
        {"--allow-rule-breaks", {[](ToolOptions& o) { o.allowRuleBreaks = true; }, true, false}},
    };
    return flags;
}

const std::map<std::string, ValuedEntry>& ValuedOptions() {
    using O = ToolOptions;
    using S = const std::string&;
    static const std::map<std::string, ValuedEntry> options{
        {"--ref", {Text(&O::ref)}},
        {"--r", {Text(&O::r)}},
        {"--fout", {Text(&O::fout)}},
        {"--resolution", {Text(&O::resolution)}},
        {"--phase", {Text(&O::phase)}},
        {"--force-d", {[](O& o, S v) { return o.forceD = v, std::string(); }}},
        {"--odiv", {Checked([](O& o, S v) { return ParseInt(v, 0, 7, o.odiv.emplace()); })}},
        {"--cp", {Checked([](O& o, S v) { return ParseInt(v, 0, 15, o.chargePump); })}},
        {"--power", {Checked([](O& o, S v) { return ParseInt(v, 0, 3, o.power); })}},
        {"--mux", {Checked([](O& o, S v) { return NamedCode(kMuxCodes, v, o.mux); })}},
        {"--noise", {Checked([](O& o, S v) { return NamedCode(kNoiseCodes, v, o.noise); })}},
        {"--list", {[](O& o, S v) { return o.listFile = v, std::string(); }}},
        {"--warn-spur", {Decimal(&O::warnSpurHz)}},
        {"--gap", {Duration(&O::gapSeconds, kMinimumGapSeconds, false), true, false}},
        {"--dwell", {Duration(&O::dwellSeconds, 0, true), true, false}},
        {"--timeout", {Duration(&O::timeoutSeconds, 0, false), true, false}},
        {"--serve", {[](O& o, S v) { return o.serve = v, std::string(); }, true, false}},
        {"--repeat",
         {Checked([](O& o, S v) {
              return !v.starts_with('-') && !v.starts_with('+') &&
                     ParseBoundedInt(v, 0, 1LL << 53, o.repeat);
          }),
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
    if (o.serve && (o.Stepped() || o.command != SendCommand::Program || o.HasActions())) {
        return "--serve takes the panel's values only: no --sweep, --list, --store, --read or "
               "actions";
    }
    if (o.Stepped() && o.command != SendCommand::Program) {
        return std::string(o.command == SendCommand::Store ? "--store" : "--read") +
               " sends one set: it cannot go with " + (o.sweep ? "--sweep" : "--list");
    }
    if (o.listFile == "-" && o.repeat != 1) {
        return "--repeat needs a list file: the standard input is read once, as it comes";
    }
    return "";
}

// Reads the arguments of one command line, an option at a time.
class CommandLineReader {
public:
    CommandLineReader(const std::vector<std::string>& arguments, ToolProgram program)
        : arguments_(arguments), send_(program == ToolProgram::Send) {}

    ParsedOptions Read() {
        for (; at_ < arguments_.size() && parsed_.error.empty(); ++at_) {
            const std::string& argument = arguments_[at_];
            if (optionsEnded_ || argument == "-" || !argument.starts_with('-')) {
                parsed_.operands.push_back(argument);
            } else if (argument == "--") {
                optionsEnded_ = true;
            } else {
                Option(argument);
            }
        }
        if (parsed_.error.empty()) {
            parsed_.error = Conflict(parsed_.options);
        }
        if (parsed_.error.empty() && store_ && read_) {
            parsed_.error = "--store and --read cannot go together";
        }
        return parsed_;
    }

private:
    // "--name=value" gives its value inline; "-h" and "--name" do not.
    void Option(const std::string& argument) {
        const auto equals = argument.starts_with("--") ? argument.find('=') : std::string::npos;
        const std::string name = argument.substr(0, equals);
        std::optional<std::string> inline_;
        if (equals != std::string::npos) {
            inline_ = argument.substr(equals + 1);
        }
        if (const auto flag = Flags().find(name);
            flag != Flags().end() && (send_ ? flag->second.send : flag->second.plan)) {
            if (inline_) {
                parsed_.error = name + " takes no value";
                return;
            }
            flag->second.apply(parsed_.options);
            store_ = store_ || name == "--store";
            read_ = read_ || name == "--read";
        } else if (name == "--decode" || name == "--sweep") {
            Several(name, inline_);
        } else if (const auto valued = ValuedOptions().find(name);
                   valued != ValuedOptions().end() &&
                   (send_ ? valued->second.send : valued->second.plan)) {
            const std::optional<std::string> value = inline_ ? inline_ : NextValue();
            if (!value) {
                parsed_.error = name + " needs a value";
            } else if (const std::string refusal = valued->second.apply(parsed_.options, *value);
                       !refusal.empty()) {
                parsed_.error = name + ": " + refusal;
            }
        } else {
            parsed_.error = "unknown option '" + name + "'";
        }
    }

    // The next argument as a value: never another option, which would mean the value is
    // missing ("--fout --store" must not program a frequency of "--store").
    std::optional<std::string> NextValue() {
        if (at_ + 1 >= arguments_.size() || arguments_[at_ + 1].starts_with("--")) {
            return std::nullopt;
        }
        return arguments_[++at_];
    }

    void Several(const std::string& name, const std::optional<std::string>& inline_) {
        const bool decode = name == "--decode";
        std::vector<std::string> values;
        if (inline_) {
            values.push_back(*inline_);
        }
        while (values.size() < (decode ? 4U : 3U)) {
            const std::optional<std::string> value = NextValue();
            if (!value) {
                parsed_.error = decode ? "--decode needs four register words (Reg0 Reg1 Reg2 Reg4)"
                                       : "--sweep needs START STOP STEP in MHz";
                return;
            }
            values.push_back(*value);
        }
        decode ? Decode(values) : Sweep(values);
    }

    void Decode(const std::vector<std::string>& values) {
        std::array<std::int32_t, 4> words{};
        for (std::size_t w = 0; w < 4; ++w) {
            if (!ParseWord(values[w], words[w])) {
                parsed_.error = "--decode: '" + values[w] +
                                "' is not a register word of 1 to 8 hexadecimal digits";
                return;
            }
        }
        parsed_.options.decode = words;
    }

    void Sweep(const std::vector<std::string>& values) {
        std::array<double, 3> mhz{};
        for (std::size_t w = 0; w < 3; ++w) {
            if (!SetDecimal(values[w], mhz[w])) {
                parsed_.error = NotANumber("--sweep", values[w]) + " of MHz";
                return;
            }
        }
        parsed_.options.sweep = SweepRange{mhz[0], mhz[1], mhz[2]};
    }

    const std::vector<std::string>& arguments_;
    bool send_;
    std::size_t at_ = 0;
    bool optionsEnded_ = false;
    bool store_ = false;
    bool read_ = false;
    ParsedOptions parsed_;
};

// The boxes a command line fills, by option name.
std::vector<std::pair<std::string, const std::string*>> TypedBoxes(const ToolOptions& o) {
    std::vector<std::pair<std::string, const std::string*>> boxes{{"--ref", &o.ref},
                                                                  {"--r", &o.r},
                                                                  {"--fout", &o.fout},
                                                                  {"--resolution", &o.resolution},
                                                                  {"--phase", &o.phase}};
    if (o.forceD) {
        boxes.emplace_back("--force-d", &*o.forceD);
    }
    return boxes;
}

} // namespace

ParsedOptions ParseToolOptions(const std::vector<std::string>& arguments, ToolProgram program) {
    ParsedOptions parsed = CommandLineReader(arguments, program).Read();
    if (!parsed.error.empty()) {
        return parsed;
    }
    if (program == ToolProgram::Plan && !parsed.operands.empty()) {
        parsed.error = "unexpected argument '" + parsed.operands.front() + "'";
    } else if (program == ToolProgram::Send && parsed.options.strict) {
        parsed.error = "unknown option '--strict'";
    }
    if (parsed.error.empty() && (program == ToolProgram::Send || parsed.options.strict)) {
        const std::vector<LooseValue> loose = LooseValues(parsed.options);
        if (!loose.empty()) {
            parsed.error = NotANumber(loose.front().option, loose.front().text);
        }
    }
    return parsed;
}

std::vector<LooseValue> LooseValues(const ToolOptions& options) {
    std::vector<LooseValue> loose;
    for (const auto& [option, text] : TypedBoxes(options)) {
        if (!StrictNumber(*text)) {
            loose.push_back({option, *text});
        }
    }
    return loose;
}

const char* PlanUsage() {
    return "usage: max2870-plan [options]\n"
           "Settings: --ref TEXT  --doubler  --div2  --r TEXT  --odiv 0..7  --fout TEXT\n"
           "         --resolution TEXT  --integer-n  --phase TEXT  --mux none|rdiv|ndiv|lock\n"
           "         --noise low-noise|low-spur-1|low-spur-2  --chip-disable  --cp 0..15\n"
           "         --pd-negative  --a-off  --b-on  --power 0..3\n"
           "Actions: --find-best  --force-d TEXT  --decode W0 W1 W2 W4\n"
           "Steps:   --sweep START STOP STEP  --list FILE|-  (one CSV line per step)\n"
           "Output:  --listing  --json  --warn-spur HZ  (default: the results text)\n"
           "         --strict (values must be numbers, as for max2870-send)  -h, --help"
           "  --version\n"
           "Values as --name VALUE or --name=VALUE; -- ends the options.\n";
}

const char* SendUsage() {
    return "usage: max2870-send PORT [options]\n"
           "Settings and actions as max2870-plan (see max2870-plan --help); every value must be a\n"
           "finite decimal number; without --odiv the divider is the one \"> > >\" picks.\n"
           "Command: (default) program the six registers  --store  (each followed by W)\n"
           "         --read  (INIT, decode the reply; --timeout S, default 5)\n"
           "Rules:   --external-vco (the VCO range does not apply)  --allow-rule-breaks\n"
           "Steps:   --sweep START STOP STEP  --list FILE|-  --gap S (default 0.2, at least "
           "0.0126)\n"
           "         --dwell S  --repeat N (0: until Ctrl-C); durations at most 86400 s\n"
           "Serve:   --serve [ADDRESS:]TCPPORT  (SCPI instrument; the settings are *RST's state)\n"
           "Output:  --json  --warn-spur HZ  --quiet  -h, --help  --version\n"
           "Values as --name VALUE or --name=VALUE; -- ends the options.\n";
}

} // namespace max2870
