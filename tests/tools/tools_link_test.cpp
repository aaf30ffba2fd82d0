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
    } cases[] = {
        {kPlan + " --odiv 8", 2, "max2870-plan: --odiv: bad value '8' (see --help)\n"},
        {kPlan + " --sweep 3000 3010 0", 2, "max2870-plan: --sweep: STEP must not be 0"},
        {kPlan + " --list /nonexistent", 2, "max2870-plan: --list: cannot read '/nonexistent'"},
        {kPlan + " --odiv 1 --warn-spur 600000", 0,
         "max2870-plan: warning: the nearest integer-boundary spur is 500000 Hz"},
        {kPlan + " --odiv 1 --warn-spur 500000", 0, ""},
        {"printf '# none\\n' | " + kPlan + " --list -", 0, ""},
        {kSend, 2, "max2870-send: the first argument must be the port"},
        {kSend + " /dev/nonexistent --gap 0.01", 2, "max2870-send: --gap: bad value '0.01'"},
        {kSend + " /dev/nonexistent", 3, "max2870-send: Cannot open /dev/nonexistent: no such"},
        {kSend + " /dev/nonexistent --resolution 1000 --odiv 1", 4,
         "max2870-send: Not sent: More than 12 bits needed for fractional registers\n"},
        {kSend + " /dev/nonexistent --ref 0", 4,
         "max2870-send: Not sent: no comparison frequency\n"},
        {kSend + " " + mute + " --read --timeout 0.3 --quiet", 3,
         "max2870-send: No reply to INIT from EE within 0.3 s"},
    };
    for (const auto& c : cases) {
        const Finished err = Shell(c.command + " 2>&1 >/dev/null");
        EXPECT_EQ(err.status, c.status) << "exit status of " << c.command;
        EXPECT_TRUE(c.stderrLine.empty() ? err.out.empty() : err.out.starts_with(c.stderrLine))
            << "message of " << c.command << ": " << err.out;
    }
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

    Child endless("exec " + send + "--sweep 3000 3001 0.5 --repeat 0 --gap 0.0126 2>/dev/null");
    for (int i = 0; i < 6; ++i) {
        endless.Line(); // the header and five steps have gone out
    }
    EXPECT_EQ(endless.Stop(SIGINT).status, 130) << "Ctrl-C does not exit with 130";

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

} // namespace
} // namespace max2870::test
