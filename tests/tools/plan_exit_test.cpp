#include "plan_options.h"
#include "plan_run.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace max2870 {
namespace {

struct Finished {
    std::string output;
    int status = -1;
};

// Runs the built planner through the shell; `redirect` picks which stream is read.
Finished RunPlanner(const std::string& arguments, const std::string& redirect) {
    const std::string command =
        std::string("'") + MAX2870_PLAN_PATH + "' " + arguments + " " + redirect;
    Finished finished;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot start " << command;
        return finished;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        finished.output.append(buffer, got);
    }
    const int raw = pclose(pipe);
    finished.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return finished;
}

Finished Stdout(const std::string& arguments) {
    return RunPlanner(arguments, "2>/dev/null");
}

Finished Stderr(const std::string& arguments) {
    return RunPlanner(arguments, "2>&1 >/dev/null");
}

TEST(PlannerProgram, BadCommandLinesExitWithStatusTwoAndOneLine) {
    for (const char* arguments :
         {"--odiv 8", "--cp 16", "--power x", "--bogus", "positional", "--ref", "--mux fast",
          "--decode 1 2 3", "--decode 1 2 3 123456789", "--json --noise ''"}) {
        const Finished err = Stderr(arguments);
        EXPECT_EQ(err.status, 2) << arguments;
        EXPECT_GT(err.output.size(), 1U) << arguments;
        EXPECT_EQ(err.output.find('\n'), err.output.size() - 1) << arguments << ": " << err.output;

        const Finished out = Stdout(arguments);
        EXPECT_EQ(out.status, 2) << arguments;
        EXPECT_EQ(out.output, "") << arguments;
    }
}

TEST(PlannerProgram, PrintsWhatTheRunGives) {
    for (const char* arguments : {"", "--odiv 1 --json", "--r 2.6 --odiv 1 --listing",
                                  "--odiv 1 --find-best --force-d ' 4000' --json"}) {
        EXPECT_EQ(Stdout(arguments).status, 0) << arguments;
        EXPECT_EQ(Stderr(arguments).output, "") << arguments;
    }
    EXPECT_EQ(Stdout("--odiv 1 --json").output,
              RunPlan(ParsePlanOptions({"--odiv", "1", "--json"}).options));
    EXPECT_EQ(Stdout("--r 2.6 --odiv 1 --listing").output,
              RunPlan(ParsePlanOptions({"--r", "2.6", "--odiv", "1", "--listing"}).options));
    const Finished plain = Stdout("--odiv 1");
    EXPECT_TRUE(plain.output.starts_with("Fcomp  10.00MHz\nR  1\nN  464\nF  50\nD  500     \n"))
        << plain.output;
}

TEST(PlannerProgram, HelpAndVersion) {
    const Finished help = Stdout("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("--decode"), std::string::npos) << help.output;
    const Finished version = Stdout("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.output.starts_with("max2870-plan ")) << version.output;
}

} // namespace
} // namespace max2870
