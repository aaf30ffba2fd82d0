#include "link/command_lines.h"
#include "link/transfer_plan.h"

#include <gtest/gtest.h>

namespace max2870 {
namespace {

SynthState ExampleWords() {
    SynthState s;
    s.Reg0 = 0x00E80190;
    s.Reg1 = 0x20000FA1;
    s.Reg2 = 0x18005E42;
    s.Reg3 = 0x0000000B;
    s.Reg4 = 0x609C80FC;
    s.Reg5 = 0x00400005;
    return s;
}

std::vector<std::string> SentLines(const TransferPlan& plan) {
    std::vector<std::string> lines;
    for (const TransferStep& step : plan) {
        if (step.kind == StepKind::Send) {
            lines.push_back(step.line);
        }
    }
    return lines;
}

// Every line sits between two waits of its own.
void ExpectPaced(const TransferPlan& plan) {
    for (std::size_t i = 0; i < plan.size(); ++i) {
        if (plan[i].kind == StepKind::Send) {
            ASSERT_GT(i, 0U);
            ASSERT_LT(i + 1, plan.size());
            EXPECT_EQ(plan[i - 1].kind, StepKind::Wait);
            EXPECT_EQ(plan[i + 1].kind, StepKind::Wait);
        }
    }
}

TEST(CommandLines, ExactBytes) {
    EXPECT_EQ(RegisterLine(5), "R00000005\r\n");
    EXPECT_EQ(RegisterLine(static_cast<std::int32_t>(0x80E80000U)), "R80E80000\r\n");
    EXPECT_EQ(StoreLine(), "W\r\n");
    EXPECT_EQ(InitLine(), "INIT\r\n");
}

TEST(TransferPlan, SendAllSendsSixRegisterLinesReg5First) {
    const TransferPlan plan = SendAllPlan(ExampleWords());
    EXPECT_EQ(SentLines(plan),
              (std::vector<std::string>{"R00400005\r\n", "R609C80FC\r\n", "R0000000B\r\n",
                                        "R18005E42\r\n", "R20000FA1\r\n", "R00E80190\r\n"}));
    ExpectPaced(plan);
    ASSERT_GE(plan.size(), 2U);
    EXPECT_EQ(plan[plan.size() - 2].kind, StepKind::AppendSerin);
    EXPECT_EQ(plan.back().kind, StepKind::ClearSerin);
    EXPECT_EQ(std::count(plan.begin(), plan.end(), TransferStep{StepKind::Wait, {}}), 12);
}

TEST(TransferPlan, WriteAllAlternatesRegisterAndStoreLines) {
    const TransferPlan plan = WriteAllPlan(ExampleWords());
    const auto lines = SentLines(plan);
    ASSERT_EQ(lines.size(), 12U);
    const std::vector<std::string> words{"00400005", "609C80FC", "0000000B",
                                         "18005E42", "20000FA1", "00E80190"};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(lines[2 * i], "R" + words[i] + "\r\n");
        EXPECT_EQ(lines[2 * i + 1], "W\r\n");
    }
    ExpectPaced(plan);
    EXPECT_EQ(std::count(plan.begin(), plan.end(), TransferStep{StepKind::Wait, {}}), 24);
    EXPECT_EQ(std::count(plan.begin(), plan.end(), TransferStep{StepKind::AppendSerinLine, {}}), 1);
    EXPECT_EQ(std::count(plan.begin(), plan.end(), TransferStep{StepKind::RewriteSerinLine, {}}),
              5);
    EXPECT_EQ(plan.back().kind, StepKind::ClearSerin);
}

TEST(TransferPlan, InitSendsOneLine) {
    const TransferPlan plan = InitPlan();
    EXPECT_EQ(SentLines(plan), std::vector<std::string>{"INIT\r\n"});
    ExpectPaced(plan);
    EXPECT_EQ(plan.size(), 3U);
}

} // namespace
} // namespace max2870
