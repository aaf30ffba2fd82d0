// The programs as a script runs them: exit statuses and messages, and max2870-send over a
// pseudo-terminal with the simulator (bytes in order, pacing, read-back, sweep, Ctrl-C).
#include "tools_rig.h"

#include <fcntl.h>
#include <sstream>
#include <vector>

namespace max2870::test {
namespace {

const std::string kPlan = MAX2870_PLAN_PATH;
const std::string kSend = MAX2870_SEND_PATH;

TEST(ToolPrograms, ExitStatusesAndTheirOneLine) {
    const int silent = posix_openpt(O_RDWR | O_NOCTTY); // a port on which nobody answers
    ASSERT_TRUE(silent >= 0 && grantpt(silent) == 0 && unlockpt(silent) == 0);
    const std::string mute = ptsname(silent);
    const struct {
        std::string command;
        int status;
        std::string stderrLine;
        std::string out = "/dev/null";
    } cases[] = {
        {kPlan + " --odiv 8", 2, "max2870-plan: --odiv: bad value '8' (see --help)\n"},
        {kPlan + " --sweep 3000 3010 0", 2, "max2870-plan: --sweep: STEP must not be 0"},
        {kPlan + " --list /nonexistent", 2,
         "max2870-plan: --list: cannot read /nonexistent: No such file or directory"},
        {kPlan + " --odiv 1 --warn-spur 600000", 0,
         "max2870-plan: warning: the nearest integer-boundary spur is 500000 Hz"},
        {kPlan + " --odiv 1 --warn-spur 500000", 0, ""},
        {"printf '# none\\n' | " + kPlan + " --list -", 0, ""},
        {kPlan + " --fout 2320,5", 0,
         "max2870-plan: --fout: '2320,5' is not wholly a finite number; read as 2320, as the "
         "window"},
        {kPlan + " --ref 0", 0, "max2870-plan: no complete plan: no comparison frequency"},
        {kPlan + " --ref 0 --strict", 4, "max2870-plan: no complete plan"},
        {kPlan + " --decode 0 0 0 0", 0, "max2870-plan: the --decode words were refused"},
        {kPlan, 1, "max2870-plan: cannot write the standard output: No space", "/dev/full"},
        {"printf '3000\\nx\\n' | " + kPlan + " --list - --strict", 2,
         "max2870-plan: -:2: 'x' is not a finite decimal number of MHz\n"},
        {kSend, 2, "max2870-send: the first argument must be the port"},
        {kSend + " /dev/nonexistent --gap 0.01", 2,
         "max2870-send: --gap: '0.01' is below the minimum, 0.0126 s"},
        {kSend + " /dev/nonexistent --timeout 1e300", 2,
         "max2870-send: --timeout: '1e300' is "
         "above the maximum, one day (86400 s)"},
        {kSend + " /dev/nonexistent", 3, "max2870-send: Cannot open /dev/nonexistent: no such"},
        {kSend + " /dev/nonexistent --resolution 1000 --odiv 1", 4,
         "max2870-send: Not sent: More than 12 bits needed for fractional registers\n"},
        {kSend + " /dev/nonexistent --ref 0", 4,
         "max2870-send: Not sent: no comparison frequency (the reference and the divider"},
        {kSend + " /dev/nonexistent --ref 50 --doubler --fout 5800 --resolution 1e5", 4,
         "max2870-send: Not sent: it breaks the chip's rules: fcomp-max: Comparison frequency "
         "100 MHz is above the chip's 50 MHz"},
        {kSend + " " + mute + " --read --timeout 0.3 --quiet", 3,
         "max2870-send: No reply to INIT from EE within 0.3 s\n"},
    };
    for (const auto& c : cases) {
        const Finished err = Shell(c.command + " 2>&1 >" + c.out);
        EXPECT_EQ(err.status, c.status) << "exit status of " << c.command;
        EXPECT_TRUE(c.stderrLine.empty() ? err.out.empty() : err.out.starts_with(c.stderrLine))
            << "message of " << c.command << ": " << err.out;
    }
    EXPECT_TRUE(Shell(kPlan + " --resolution 1 2>/dev/null").out.ends_with("values\n"))
        << "the planner's results text does not end with a line end";
    EXPECT_EQ(Shell("printf '# none\\n' | " + kPlan + " --list -").out,
              "Fout,OutDiv,VCO,R,N,F,D,ErrorHz,BoundarySpurHz,Reg0,Reg1,Reg2,Reg3,Reg4,Reg5,"
              "Outcome\n")
        << "an empty list prints the CSV header alone";
    close(silent);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(SendOverPty, StoreReadProgramSweepAndInterrupt) {
    Child sim("exec " MAX2870_SIM_PATH " --verbose");
    const std::string send = kSend + " " + sim.Line() + " ";
    const Finished stored = Shell(send + "--store --fout 3000.5 --gap 0.05 --quiet");
    EXPECT_EQ(stored.status, 0) << "--store of a complete plan fails";
    const Finished read = Shell(send + "--read --quiet");
    EXPECT_EQ(read.status, 0) << "--read of a stored set fails";
    EXPECT_EQ(Field(read.out, "Reg0") + Field(read.out, "Fout"), "\"00960190\"3000.5")
        << "--read does not restore the stored plan: " << read.out;
    const Finished programmed = Shell(send + "--odiv 1 2>&1");
    EXPECT_EQ(programmed.status, 0) << "programming the board fails";
    const std::vector<std::string> progress = Lines(programmed.out);
    ASSERT_EQ(progress.size(), 8U) << programmed.out;
    for (std::size_t k = 0; k < 6; ++k) { // line k never leaves before the middle of its gap
        EXPECT_GE(std::stod(progress[k].substr(11)), (k + 0.5) * 0.2 - 1e-3)
            << "line " << k << " sent early: " << progress[k];
    }
    EXPECT_EQ(Field(progress[6], "Reg0"), "\"00E80190\"") << "stdout is not the JSON sent";
    const Finished sweep = Shell(send + "--sweep 3000 3001 0.5 --gap 0.0126 --quiet");
    EXPECT_EQ(sweep.status, 0) << "a sweep fails";
    const std::vector<std::string> csv = Lines(sweep.out);
    ASSERT_EQ(csv.size(), 4U) << sweep.out;
    EXPECT_TRUE(csv[2].ends_with(",00960190,,,,,,complete")) << "step 2 sends Reg0 only";

    Child endless("exec " + send + "--sweep 3000 3001 0.5 --repeat 0 --gap 0.0126 --quiet 2>&1");
    for (int i = 0; i < 6; ++i) {
        endless.Line(); // the header and five steps have gone out
    }
    const Finished terminated = endless.Stop(SIGTERM);
    EXPECT_EQ(terminated.status, 128 + SIGTERM) << "SIGTERM does not end the sender as Ctrl-C";
    EXPECT_NE(terminated.out.find("max2870-send: interrupted by SIGTERM after "), std::string::npos)
        << "no closing line after SIGTERM: " << terminated.out;

    const Finished simulated = sim.Stop(SIGTERM);
    std::vector<std::string> received;
    for (const std::string& line : Lines(simulated.out)) {
        std::istringstream words(line);
        std::string previous;
        for (std::string word; words >> word && !word.starts_with('(');) {
            previous = word;
        }
        if (line.find("  (") != std::string::npos) {
            received.push_back(previous);
        }
    }
    const std::vector<std::string> expected{
        "R00400005", "W",         "R608C80FC", "W",         "R0000000B", "W",         "R18005E42",
        "W",         "R20001F41", "W",         "R00960190", "W",         "INIT",      "R00400005",
        "R609C80FC", "R0000000B", "R18005E42", "R20000FA1", "R00E80190", "R00400005", "R608C80FC",
        "R0000000B", "R18005E42", "R20001F41", "R00960000", "R00960190", "R00960320", "R00400005"};
    ASSERT_GT(received.size(), expected.size() + 5) << simulated.out;
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), received.begin()))
        << "lines on the wire or their order:\n"
        << simulated.out;
    for (std::size_t i = expected.size(); i < received.size(); ++i) {
        EXPECT_EQ(received[i].size(), 9U) << "a line cut short by Ctrl-C: " << received[i];
    }
    EXPECT_TRUE(simulated.out.ends_with(std::to_string(received.size()) + " lines received\n"))
        << "the simulator's count of lines";
}

// What a script must never see: a typo, a bad list line or a rule-breaking step programmed,
// or a lost record passing as success. The simulator counts every line that reached it.
TEST(SendOverPty, RefusalsSendNothingAndShowInTheExitStatus) {
    Child sim("exec " MAX2870_SIM_PATH);
    const std::string send = kSend + " " + sim.Line() + " --gap 0.0126 --quiet ";
    const std::string list = ::testing::TempDir() + "hops.txt";
    Shell("printf '3000\\n  # hop\\nabc\\n' > " + list);
    const struct {
        std::string arguments;
        int status;
        int lines;           // that reach the board
        std::string printed; // on stderr or stdout
        std::string feed;    // what feeds the standard input
    } cases[] = {
        {"--fout abc 2>&1", 2, 0, "max2870-send: --fout: 'abc' is not a finite decimal number"},
        {"--fout --store 2>&1", 2, 0, "max2870-send: --fout needs a value"},
        {"--list " + list + " 2>&1", 2, 0, list + ":3: 'abc' is not a finite decimal number"},
        {"--sweep 5999 6001 1 2>&1", 4, 7,
         "step 2 (6001): Not sent: it breaks the chip's rules: vco-range: VCO 6001 MHz"},
        {"--sweep 5999 6001 1 2>&1", 4, 7,
         "\n6001,1,6001,1,600,100,1000,0,1e+06,,,,,,,chip-rule\n"},
        {"--sweep 5999 6001 1 --external-vco", 0, 8, ",012C0320,,,,,,complete\n"},
        {"--fout 3000 2>&1 >/dev/full", 1, 6,
         "max2870-send: cannot write the standard output: No space left on device"},
        {"--list - 2>&1 < /dev/null", 0, 0, "Fout,"},
        // A live feed: the step before the bad line goes out, nothing after it.
        {"--list - 2>&1 >/dev/null", 2, 6, "max2870-send: -:2: 'abc' is not a finite decimal",
         "(printf '3000\\n'; sleep 0.3; printf 'abc\\n3001\\n') | "},
    };
    int lines = 0;
    for (const auto& c : cases) {
        const Finished run = Shell(c.feed + send + c.arguments);
        EXPECT_EQ(run.status, c.status) << "exit status of max2870-send " << c.arguments;
        EXPECT_NE(run.out.find(c.printed), std::string::npos)
            << "max2870-send " << c.arguments << " printed:\n"
            << run.out;
        lines += c.lines;
    }
    EXPECT_TRUE(sim.Stop(SIGTERM).out.ends_with(std::to_string(lines) + " lines received\n"))
        << "lines on the wire from refused values and steps";

    Shell("printf 'Reg0 FFFFFFFF\\nReg1 FFFFFFFF\\nReg2 FFFFFFFF\\nReg3 FFFFFFFF\\nReg4 "
          "FFFFFFFF\\nReg5 FFFFFFFF\\n' > " +
          list);
    Child erased("exec " MAX2870_SIM_PATH " --eeprom " + list);
    const Finished read = Shell(kSend + " " + erased.Line() + " --read --quiet 2>&1");
    EXPECT_EQ(read.status, 3) << "exit status of a read-back of an erased EEPROM";
    EXPECT_EQ(read.out, "max2870-send: the EEPROM holds no stored set (all words FFFFFFFF)\n");
    erased.Stop(SIGTERM);
}

} // namespace
} // namespace max2870::test
