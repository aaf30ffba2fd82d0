// The planner's and sender's shared pieces as tables: options, step lists, the registers a step
// sends, the JSON of worked examples; and the planner program's sweeps against single plans.
#include "chip_gate.h"
#include "list_reader.h"
#include "plan_run.h"
#include "port_access.h"
#include "register_choice.h"
#include "step_list.h"
#include "strict_number.h"
#include "tools_rig.h"

#include <functional>
#include <sstream>

namespace max2870 {
namespace {

using test::Field;
using test::Matches;
using test::Shell;

struct OptionCase {
    std::vector<std::string> args;
    ToolProgram program;
    std::string error; // a part of the one-line message, empty when the line is good
    std::function<bool(const ToolOptions&)> holds = [](const ToolOptions&) { return true; };
};

TEST(ToolOptions, OneParserForBothPrograms) {
    const auto plan = ToolProgram::Plan;
    const auto send = ToolProgram::Send;
    // clang-format off
    const std::vector<OptionCase> cases{
        {{"--ref", "-5", "--r", "2.6", "--fout", "x"}, plan, "",
         [](auto& o) { return o.ref == "-5" && o.r == "2.6" && o.fout == "x"; }},
        {{"--odiv", "7", "--odiv", "+3", "--cp", "0", "--power", "-0"}, send, "",
         [](auto& o) { return o.odiv == 3 && o.chargePump == 0 && o.power == 0; }},
        {{"--mux", "rdiv", "--noise", "low-spur-2", "--b-on", "--a-off"}, plan, "",
         [](auto& o) { return o.mux == "rdiv" && o.noise == "low-spur-2" && o.outputB; }},
        {{"--decode", "0x1", "ffffffff", "0", "00E80190"}, plan, "",
         [](auto& o) { return o.decode && (*o.decode)[1] == -1 && (*o.decode)[3] == 0xE80190; }},
        {{"--sweep", "3020", "3000", "-0.1", "--warn-spur", "1e5"}, send, "",
         [](auto& o) { return o.sweep->step == -0.1 && *o.warnSpurHz == 1e5; }},
        {{"--gap", "0.0126", "--dwell", "0", "--repeat", "0", "--timeout", "0.5"}, send, "",
         [](auto& o) { return o.gapSeconds == 0.0126 && o.repeat == 0 && o.timeoutSeconds == .5; }},
        {{"--store", "--quiet"}, send, "",
         [](auto& o) { return o.command == SendCommand::Store && o.quiet; }},
        {{}, send, "", [](auto& o) { return o.gapSeconds == 0.2 && o.repeat == 1 && !o.odiv; }},
        {{"--odiv", "8"}, plan, "--odiv: bad value '8'"},
        {{"--cp", "16"}, send, "--cp: bad value"},
        {{"--mux", "fast"}, plan, "--mux: bad value"},
        {{"--ref"}, plan, "--ref needs a value"},
        {{"--bogus"}, plan, "unknown option '--bogus'"},
        {{"positional"}, plan, "unexpected argument 'positional'"},
        {{"--decode", "1", "2", "3"}, plan, "four register words"},
        {{"--decode", "1", "2", "3", "123456789"}, plan, "'123456789' is not a register word"},
        {{"--sweep", "3000", "3e3x", "1"}, plan, "'3e3x' is not a finite decimal"},
        {{"--sweep", "1", "2", "1e999"}, plan, "not a finite decimal"},
        {{"--sweep", "1", "2"}, plan, "--sweep needs START STOP STEP"},
        {{"--sweep", "1", "2", "1", "--list", "-"}, plan, "cannot go together"},
        {{"--list", "f", "--decode", "1", "2", "3", "4"}, plan, "--list and --decode"},
        {{"--sweep", "1", "2", "1", "--listing"}, plan, "--sweep and --listing"},
        {{"--warn-spur", "wide"}, plan, "--warn-spur: 'wide' is not a finite decimal number"},
        {{"--store"}, plan, "unknown option '--store'"},
        {{"--gap", "0.2"}, plan, "unknown option '--gap'"},
        {{"--listing"}, send, "unknown option '--listing'"},
        {{"--gap", "0.0125"}, send, "--gap: '0.0125' is below the minimum, 0.0126 s"},
        {{"--gap", "86400.5"}, send, "above the maximum, one day (86400 s)"},
        {{"--timeout", "0"}, send, "--timeout: '0' is not above 0 s"},
        {{"--dwell", "-1"}, send, "--dwell: '-1' is below the minimum, 0 s"},
        {{"--fout", "2320,5"}, send, "--fout: '2320,5' is not a finite decimal number"},
        {{"--force-d", "x"}, send, "--force-d: 'x' is not"},
        {{"--fout", "x", "--strict"}, plan, "--fout: 'x' is not a finite decimal number"},
        {{"--strict"}, send, "unknown option '--strict'"},
        {{"--gap", "0.02", "--fout", "--store"}, send, "--fout needs a value"},
        {{"--sweep", "1", "--odiv", "1"}, plan, "--sweep needs START STOP STEP"},
        {{"--store=1"}, send, "--store takes no value"},
        {{"--fout", "1", "--", "--ref"}, plan, "unexpected argument '--ref'"},
        {{"--list", "-", "--repeat", "2"}, send, "--repeat needs a list file"},
        {{"--fout=-2400.5", "--sweep=1", "2", "1", "-h"}, plan, "",
         [](auto& o) { return o.fout == "-2400.5" && o.sweep->stop == 2 && o.help; }},
        {{"--fout", " 1e3 ", "--", "-port"}, send, "", [](auto& o) { return o.fout == " 1e3 "; }},
        {{"--repeat", "1.5"}, send, "--repeat: bad value"},
        {{"--repeat", "-1"}, send, "--repeat: bad value"},
        {{"--read", "--store"}, send, "--store and --read"},
        {{"--read", "--list", "f"}, send, "--read sends one set"},
    };
    // clang-format on
    for (const OptionCase& c : cases) {
        const ParsedOptions parsed = ParseToolOptions(c.args, c.program);
        const std::string line = ::testing::PrintToString(c.args);
        if (c.error.empty()) {
            EXPECT_EQ(parsed.error, "") << "a good command line is refused: " << line;
            EXPECT_TRUE(c.holds(parsed.options)) << "an option is not taken as typed: " << line;
        } else {
            EXPECT_NE(parsed.error.find(c.error), std::string::npos)
                << "wrong message for " << line << ": '" << parsed.error << "'";
        }
    }
}

TEST(StepList, SweepsAndListsGiveTheStepTextsOfTheBox) {
    const struct {
        SweepRange range;
        long long count;
        std::string first, last;
    } sweeps[] = {{{3000, 3020, 0.1}, 201, "3000", "3020"}, // STOP hit within a millionth
                  {{3020, 3000, -0.1}, 201, "3020", "3000"},
                  {{3000, 3001, 0.3}, 4, "3000", "3000.9"},
                  {{5, 5, 1}, 1, "5", "5"},
                  {{-1, 1, 0.5}, 5, "-1", "1"},
                  {{1, 2, 0.1}, 11, "1", "2"}};
    for (const auto& s : sweeps) {
        std::string error;
        const auto steps = StepList::Sweep(s.range, error);
        ASSERT_TRUE(steps) << error;
        EXPECT_EQ(steps->Count(), s.count) << "number of sweep steps from " << s.first;
        EXPECT_EQ(steps->Text(0), s.first) << "first step's text";
        EXPECT_EQ(steps->Text(s.count - 1), s.last) << "last step's text";
    }
    for (const SweepRange bad :
         {SweepRange{3000, 3000, 0}, SweepRange{3000, 3010, -1}, SweepRange{3000, 2999, 1}}) {
        std::string error;
        EXPECT_FALSE(StepList::Sweep(bad, error)) << "a sweep that never reaches STOP runs";
    }
}

TEST(StrictNumber, WholeFiniteDecimalsOnly) {
    const std::pair<const char*, double> good[] = {
        {"2320.5", 2320.5}, {" \t1e3 ", 1000}, {"+.5", 0.5}, {"5.", 5}, {"-0", 0}, {"1e-400", 0}};
    for (const auto& [text, value] : good) {
        EXPECT_EQ(StrictNumber(text), value) << "'" << text << "' is not read as " << value;
    }
    for (const char* bad : {"", " ", "abc", "NaN", "inf", "0x10", "2320,5", "1e", "1e400", ".", "+",
                            "1 2", "2400.5MHz", "&H10", "1d3", "\xEF\xBB\xBF\x31"}) {
        EXPECT_FALSE(StrictNumber(bad)) << "a script's typo '" << bad << "' is read as a number";
    }
    EXPECT_EQ(NotANumber("--fout", "abc"), "--fout: 'abc' is not a finite decimal number");
}

// A list as it arrives in pieces: every way of cutting the bytes gives the same steps.
TEST(ListLines, SkipsMarksAndLineEndsAcrossPieces) {
    const std::string list = "\xEF\xBB\xBF"
                             "3000\r\n\r\n \t\n  # indented\n\t#\n3001.5\n"
                             "abc\n\xFF"
                             "\n" +
                             std::string(kLongestListLine + 1, '1') + "\n2500";
    const std::vector<std::pair<long long, std::string>> expected{
        {1, "3000"},
        {6, "3001.5"},
        {7, "abc"},
        {8, "\xFF"},
        {9, std::string(kLongestListLine, '1')},
        {10, "2500"}};
    const std::string problems[] = {"",
                                    "",
                                    "f:7: 'abc' is not a finite decimal number of MHz",
                                    "f:8: '\xFF' is not",
                                    "f:9: line longer than 1024",
                                    ""};
    for (const std::size_t piece : {std::size_t{1}, std::size_t{2}, list.size()}) {
        ListLines lines;
        std::vector<ListEntry> got;
        for (std::size_t at = 0; at < list.size(); at += piece) {
            lines.Feed(std::string_view(list).substr(at, piece));
            for (auto entry = lines.Next(); entry; entry = lines.Next()) {
                got.push_back(*entry);
            }
        }
        lines.End();
        for (auto entry = lines.Next(); entry; entry = lines.Next()) {
            got.push_back(*entry);
        }
        ASSERT_EQ(got.size(), expected.size()) << "steps of a list fed " << piece << " at a time";
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(std::make_pair(got[i].line, got[i].text), expected[i])
                << "step " << i << " or its line number, fed " << piece << " at a time";
            EXPECT_TRUE(ListEntryProblem("f", got[i]).starts_with(problems[i]))
                << "message for line " << got[i].line << ": " << ListEntryProblem("f", got[i]);
        }
    }
    std::istringstream stream("# only\n3000\n");
    ListStream steps(stream);
    EXPECT_EQ(steps.Next()->line, 2) << "a stream's step keeps its line number";
    EXPECT_FALSE(steps.Next()) << "a stream gives a step after its end";
}

TEST(ChipGate, RulesThatKeepASetOffTheWire) {
    Plan p;
    p.outcome = RunOutcome::Complete;
    p.Fcomp = 100;
    p.N = 58;
    p.Denom = 1000;
    p.BandSelect = 1023;
    p.VCO = 6001;
    const std::vector<RuleBreak> breaks = RuleBreaks(p, false);
    EXPECT_EQ(RuleBreakList(breaks),
              "fcomp-max: Comparison frequency 100 MHz is above the chip's 50 MHz in fractional "
              "mode; band-select-clock: Band select clock 97.752 kHz (Fcomp / 1023) is above the "
              "chip's 50 kHz; vco-range: VCO 6001 MHz is outside the chip's 3000 to 6000 MHz")
        << "the rules a plan breaks, with its numbers";
    EXPECT_EQ(BlockingBreaks(breaks, true).size(), 2U) << "an external VCO still meets vco-range";
    EXPECT_EQ(BlockingBreaks(breaks, false).size(), 3U) << "a broken rule lets the set go out";
    p.Fcomp = 10;
    p.N = 10;
    p.Denom = 1;
    p.BandSelect = 200;
    p.VCO = 3000;
    EXPECT_EQ(RuleBreakList(RuleBreaks(p, false)),
              "n-range: N = 10 is outside the chip's 19 to 4091 in fractional mode; d-min: D = 1 "
              "is below the chip's least modulus 2");
    p.outcome = RunOutcome::TwelveBit;
    EXPECT_TRUE(RuleBreaks(p, false).empty()) << "an incomplete plan is judged by the rules";
}

TEST(PortAccess, GroupAdviceOnlyWhereJoiningHelps) {
    const struct {
        DeviceAccess access;
        std::string advice;
    } cases[] = {
        {{"root", "dialout", 020660, false, false}, "add your user to the dialout group"},
        {{"root", "uucp", 020660, false, false}, "add your user to the uucp group"},
        {{"root", "root", 020600, true, false}, "belongs to root:root with mode crw-------"},
        {{"root", "root", 020660, true, false}, "belongs to root:root with mode crw-rw----"},
        {{"ann", "dialout", 0100000, false, false}, "belongs to ann:dialout with mode ----------"},
        {{"root", "dialout", 020660, false, true}, "belongs to root:dialout"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(PermissionAdvice(c.access).find(c.advice), std::string::npos)
            << "advice for " << ModeText(c.access.mode) << " " << c.access.group << ": "
            << PermissionAdvice(c.access);
    }
}

TEST(RegisterChoice, LaterStepsSendChangedRegistersThenReg0) {
    const RegisterWords a{0, 1, 2, 3, 4, 5};
    const struct {
        std::optional<RegisterWords> last;
        RegisterWords next;
        std::vector<int> order;
    } cases[] = {{std::nullopt, a, {5, 4, 3, 2, 1, 0}},
                 {a, a, {0}},
                 {a, {9, 1, 2, 3, 4, 5}, {0}},
                 {a, {0, 9, 2, 3, 9, 5}, {4, 1, 0}},
                 {a, {9, 9, 9, 9, 9, 9}, {5, 4, 3, 2, 1, 0}}};
    for (const auto& c : cases) {
        EXPECT_EQ(RegistersToSend(c.last, c.next), c.order) << "registers a step sends, in order";
    }
}

std::string Json(const std::string& arguments) {
    return Shell(std::string(MAX2870_PLAN_PATH) + " --json " + arguments + " 2>/dev/null").out;
}

// Values worked by hand from the chip's relations (Fcomp 10 MHz, N 464 + 50/500, ...), as
// "key=value" pairs split by '|'.
TEST(PlannerJson, WorkedExamples) {
    const std::string spur = std::to_string(10e6 / 3 * 50 / 167 / 2); // Fcomp F / D / OutDiv
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {"--odiv 1", "Fr=10|R=1|Fcomp=10|OutDiv=2|Fout=2320.5|VCO=4641|Resolution=10000|N=464|"
         "Fract=50|Denom=500|ErrorHz=0|BandSelect=200|P=0|MuxVal=6|NoiseMode=0|Reg0=\"00E80190\"|"
         "Reg1=\"20000FA1\"|Reg2=\"18005E42\"|Reg3=\"0000000B\"|Reg4=\"609C80FC\"|"
         "Reg5=\"00400005\"|VcoInRange=true|ErrorRed=false|Outcome=\"complete\"|ChipRules=[]|"
         "BoundarySpurHz=500000|Label6=\"Fcomp 10.0MHz\""},
        {"--r 2.6 --odiv 1", "R=3|Fcomp=3.3333333333333335|N=1392|Denom=167|BandSelect=67|"
         "ErrorHz=-998.0039917536487|ErrorRed=true|Rdivider=\"3\"|BoundarySpurHz=" + spur},
        {"--ref 50 --doubler --fout 5800 --resolution 100000 --phase 90 --mux rdiv --noise "
         "low-spur-1 --pd-negative --b-on --power 2", "Fcomp=100|P=250|BandSelect=1023|"
         "Reg1=\"207D1F41\"|Reg2=\"CE005E02\"|Reg4=\"638FF1B4\"|BoundarySpurHz=0|"
         "ChipRules=[\"fcomp-max\",\"band-select-clock\"]"},
        {"--ref 20 --div2 --odiv 1 --chip-disable --a-off --cp 0 --mux none --noise low-spur-2",
         "Reg2=\"61004062\"|Reg4=\"609C80DC\""},
        {"--integer-n --odiv 1", "Denom=0|Resolution=5000000|ErrorHz=-500000|BoundarySpurHz=0|"
         "Reg0=\"80E80000\""},
        {"", "VcoInRange=false|ChipRules=[\"vco-range\"]|"
         "Fvco=\"VCO  2320.5MHz\\r\\nExternal VCO Only\""},
        {"--ref 0", "Outcome=\"no-fcomp\"|OutDiv=0|Reg0=\"00000000\"|ChipRules=null|"
         "BoundarySpurHz=null|Listing=\";  No comparison frequency: the reference and the "
         "divider must be above 0\\r\\n\""},
        {"--resolution 1000 --odiv 1", "Outcome=\"twelve-bit\"|Denom=5000|Reg4=\"00000000\"|"
         "ChipRules=null|BoundarySpurHz=null|Listing=\";  More than 12 bits needed for "
         "fractional registers\\r\\n;  Choose alternative values\\r\\n\""},
        {"--ref 1e400", "Fr=null|Outcome=\"rejected\""},
        {"--resolution 1e8", "Outcome=\"rejected\"|Denom=0"},
        {"--odiv 1 --find-best", "ForceD=\" 10\"|ResolutionText=\" 500000\"|Fract=1"},
        {"--odiv 1 --force-d 4000", "Denom=4000|ResolutionText=\" 1250\""},
        {"--odiv 3 --fout 1000 --r 7 --decode 00E80190 20000FA1 18005E42 609C80FC",
         "R=1|OutDiv=2|FoutText=\" 2320.5\"|Reg4=\"609C80FC\""},
        // A refused decode: the outcome says so, the rest describes the plan on the panel.
        {"--odiv 1 --r 2.6 --decode 00E80190 20000FA1 18001E42 609C80FC",
         "Outcome=\"rejected\"|R=3|ChipRules=[]|Denom=167"},
    };
    // clang-format on
    for (const auto& [arguments, pairs] : cases) {
        const std::string json = Json(arguments);
        std::istringstream in(pairs);
        for (std::string pair; std::getline(in, pair, '|');) {
            const std::string key = pair.substr(0, pair.find('='));
            const std::string expected = pair.substr(key.size() + 1);
            EXPECT_TRUE(Matches(Field(json, key), expected))
                << "max2870-plan " << arguments << ": " << key << " is " << Field(json, key)
                << ", expected " << expected;
        }
    }
    EXPECT_NE(Shell(MAX2870_PLAN_PATH " --odiv 1 --listing --ref '10\n'")
                  .out.find("2320.5MHz      Ref = 10 MHz\r\n   de 0x00"),
              std::string::npos)
        << "a reference typed with a line end breaks the listing's comment line";
}

// Each step of a sweep prints what one planner run with that wanted frequency prints, the
// divider "> > >" picks included (1400 MHz needs 4, 1500 and 1600 MHz need 2).
TEST(PlannerSweep, EachStepIsTheSinglePlan) {
    for (const std::string options : {"", " --find-best --phase 30", " --integer-n --r 2.6"}) {
        const auto sweep = Shell(MAX2870_PLAN_PATH + options + " --sweep 1400 1600 100");
        const auto lines = Shell(MAX2870_PLAN_PATH + options + " --sweep 1400 1600 100 --json");
        ASSERT_EQ(sweep.status, 0);
        std::istringstream csv(sweep.out);
        std::istringstream json(lines.out);
        std::string header;
        std::getline(csv, header);
        EXPECT_EQ(header + "\n", CsvHeader()) << "CSV header of a sweep";
        const char* steps[][2] = {{"1400", "2"}, {"1500", "1"}, {"1600", "1"}};
        for (int i = 0; i < 3; ++i) {
            std::string csvLine;
            std::string jsonLine;
            std::getline(csv, csvLine);
            std::getline(json, jsonLine);
            std::string single =
                Json(options + " --fout " + steps[i][0] + " --odiv " + steps[i][1]);
            EXPECT_EQ(jsonLine + "\n", "{\"Step\":" + std::to_string(i) + "," + single.substr(1))
                << "sweep step " << steps[i][0] << " differs from the single plan" << options;
            std::string expected;
            for (const char* key :
                 {"Fout", "OutDiv", "VCO", "R", "N", "Fract", "Denom", "ErrorHz", "BoundarySpurHz",
                  "Reg0", "Reg1", "Reg2", "Reg3", "Reg4", "Reg5", "Outcome"}) {
                std::string value = Field(single, key);
                value = value == "null" ? "" : value;
                expected += (expected.empty() ? "" : ",") +
                            (value.starts_with('"') ? value.substr(1, value.size() - 2) : value);
            }
            EXPECT_EQ(csvLine, expected) << "CSV line of step " << steps[i][0] << options;
        }
    }
}

} // namespace
} // namespace max2870
