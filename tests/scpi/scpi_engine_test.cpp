// The command engine as tables: lines in, replies, error queue entries and sets handed to the
// link out. Words are those of the sender's own hand-checked runs (10 MHz reference, 10 kHz
// resolution): 3000 MHz ends in Reg0 00960000, 3000.5 MHz in 00960190.
#include "scpi/scpi_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace max2870::scpi {
namespace {

struct FakeLink : InstrumentLink {
    std::vector<std::string> ops; // "P 00960000" per set, "S"/"R"/"F"/"A", "L n" per pass
    Ticket issued = 0;
    Ticket done = 0;
    LinkAnswer answer = LinkAnswer::Queued;

    static std::string Hex(std::int32_t word) {
        char text[9];
        std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(word));
        return text;
    }
    LinkAnswer Op(std::string op) {
        ops.push_back(std::move(op));
        ++issued;
        return answer;
    }
    LinkAnswer Program(const RegisterWords& w, int) override { return Op("P " + Hex(w[0])); }
    LinkAnswer RunPass(std::vector<RegisterWords> points, double dwell, int) override {
        std::string op = "L" + std::to_string(points.size()) + "@" + std::to_string(dwell);
        for (const auto& w : points) {
            op += " " + Hex(w[0]);
        }
        return Op(op);
    }
    LinkAnswer Store(const RegisterWords& w, int) override { return Op("S " + Hex(w[0])); }
    LinkAnswer Recall(int) override { return Op("R"); }
    void Forget() override { ops.emplace_back("F"); }
    void Abort() override { ops.emplace_back("A"); }
    Ticket Issued() const override { return issued; }
    bool Done(Ticket t) const override { return done >= t; }
};

struct Rig {
    FakeLink link;
    Engine engine{InstrumentSettings{}, link, "maker,model,0,1.0"};
    Session session;
    std::string Send(const std::string& line) { return engine.Execute(line, session); }
    std::string Errors() { // every entry, oldest first, then the queue is empty
        std::string all;
        for (std::string e; (e = session.Pop()) != "0,\"No error\"";) {
            all += e + "|";
        }
        return all;
    }
};

std::string Joined(const std::vector<std::string>& items) {
    std::string all;
    for (const auto& item : items) {
        all += item + "|";
    }
    return all;
}

struct Case {
    const char* name;
    std::vector<std::string> lines; // the last line's reply is checked
    std::string reply;
    std::string errors; // "code,text|" each
    std::string ops;    // what reached the link
};

const Case kCases[] = {
    {"Identity", {"*idn?"}, "maker,model,0,1.0\n", "", ""},
    {"ShortAndLongForms",
     {"FREQ 3GHZ", ":SOURce:FREQuency:CW 3000.5 MHZ", "sour:freq:fix?;:FREQUENCY?"},
     "3000500000;3000500000\n",
     "",
     "P 00960000|P 00960190|"},
    {"NumberForms", {"frequency 3.0005e+09;FREQ?"}, "3000500000\n", "", "P 00960190|"},
    {"PathRuleAndJoinedReplies",
     {"FREQ:STAR 3GHZ;STOP 3.1GHZ", "FREQ:STAR?;STOP?;:SWE:POIN?"},
     "3000000000;3100000000;11\n",
     "",
     ""},
    {"RelativeHeaderOutsideThePath",
     {"FREQ:STAR 3GHZ;POW 5"},
     "",
     "-113,\"Undefined header\"|",
     ""},
    {"CommonCommandKeepsThePath",
     {"FREQ:STAR 3GHZ;*CLS;STOP 3.2GHZ;STOP?"},
     "3200000000\n",
     "",
     ""},
    {"LowestOutput", {"FREQ 23.4375MHZ;FREQ?"}, "23437500\n", "", "P 00960000|"},
    {"OutOfRange",
     {"FREQ 6000.001MHZ", "FREQ MAX;POW 5.5"},
     "",
     "-222,\"Data out of range\"|-222,\"Data out of range\"|",
     "P 012C0000|"},
    {"BadNumbers",
     {"FREQ 2.4.5", "FREQ abc", "FREQ 1e", "FREQ 1e999", "FREQ 3 THZ", "*ESE 1HZ"},
     "",
     "-121,\"Invalid character in number\"|-104,\"Data type error\"|-121,\"Invalid character in "
     "number\"|-123,\"Exponent too large\"|-131,\"Invalid suffix\"|-138,\"Suffix not allowed\"|",
     ""},
    {"ParameterCount",
     {"FREQ", "*RST 1", "FREQ? 5", "OUTP 1,0", "ROSC:EXT:FREQ"},
     "",
     "-109,\"Missing parameter\"|-108,\"Parameter not allowed\"|-108,\"Parameter not allowed\"|"
     "-108,\"Parameter not allowed\"|-109,\"Missing parameter\"|",
     ""},
    {"UnknownHeaders",
     {"FROB", "FREQ:CW:CW 3GHZ", "*IDN", "SYST:ERR"},
     "",
     "-113,\"Undefined header\"|-113,\"Undefined header\"|-113,\"Undefined header\"|"
     "-113,\"Undefined header\"|",
     ""},
    {"PowerSteps",
     {"FREQ 3GHZ", "POW -2.5;POW?;POW 0.5;POW?;POW -4 DBM;POW?;:POW:LEV:IMM:AMPL MAX;:POW?"},
     "-1;2;-4;5\n",
     "",
     "P 00960000|P 00960000|P 00960000|P 00960000|P 00960000|"},
    {"OutputState",
     {"FREQ 3GHZ", "OUTP OFF;OUTP?;OUTP:STAT 1;STAT?;:OUTP 0.4;OUTP?;OUTP MAYBE"},
     "0;1;0\n",
     "-141,\"Invalid character data\"|",
     "P 00960000|P 00960000|P 00960000|P 00960000|"},
    {"NothingAfterAnError",
     {"FREQ 3GHZ;BAD;FREQ 3.0005GHZ", "FREQ?"},
     "3000000000\n",
     "-113,\"Undefined header\"|",
     "P 00960000|"},
    {"ModeAnswers",
     {"FREQ:MODE SWE;MODE?;MODE FIX;MODE?;MODE list;MODE?;MODE ON"},
     "SWE;CW;LIST\n",
     "-141,\"Invalid character data\"|",
     ""},
    {"SweepPointsAndDwell",
     {"SWE:POIN 1", "SWE:POIN 2.5", "SWE:POIN 3;DWEL 20 MS;POIN?;DWEL?"},
     "3;0.02\n",
     "-222,\"Data out of range\"|-224,\"Illegal parameter value\"|",
     ""},
    {"SweepPass",
     {"FREQ:STAR 3GHZ;STOP 3.001GHZ;MODE SWE;:SWE:POIN 3;:INIT"},
     "",
     "",
     "L3@0.000000 00960000 00960190 00960320|"},
    {"ListPass",
     {"LIST:FREQ 3GHZ,3000.5MHZ;DWEL 0.5;:FREQ:MODE LIST;:INIT:IMM;:LIST:FREQ?"},
     "3000000000,3000500000\n",
     "",
     "L2@0.500000 00960000 00960190|"},
    {"ListPointOutOfRange", {"LIST:FREQ 3GHZ,7GHZ"}, "", "-222,\"Data out of range;point 2\"|", ""},
    {"EmptyList",
     {"FREQ:MODE LIST;:INIT"},
     "",
     "-221,\"Settings conflict;the list is empty\"|",
     ""},
    {"ChipRuleRefusesAndKeeps",
     {"ROSC:EXT:FREQ 100MHZ", "ROSC:EXT:FREQ?"},
     "10000000\n",
     "-221,\"Settings conflict;",
     ""},
    {"ResetKeepsErrors",
     {"FREQ 3GHZ;BAD", "*RST;FREQ?;POW?"},
     "2320500000;5\n",
     "-113,\"Undefined header\"|",
     "P 00960000|A|F|"},
    {"StatusBytes",
     {"BAD", "FREQ 7GHZ", "*ESE 48;*ESE?;*STB?;*ESR?;*ESR?;*STB?"},
     "48;36;48;0;4\n",
     "-113,\"Undefined header\"|-222,\"Data out of range\"|",
     ""},
    {"SystemQueries",
     {"SYST:ERR?;:SYST:ERR:NEXT?;:SYST:ERR:COUN?;:SYST:VERS?;*TST?"},
     "0,\"No error\";0,\"No error\";0;1999.0;0\n",
     "",
     ""},
    {"PlanHoldsTheBoxText", {"FREQ 2.4GHZ;:PLAN?"}, "", "", "P 00F00000|"},
    {"SaveAndRecall",
     {"*SAV 0", "FREQ 3GHZ;*SAV 0", "*RCL 0", "*SAV 1"},
     "",
     "-221,\"Settings conflict;vco-range: VCO 2320.5 MHz is outside the chip's 3000 to 6000 "
     "MHz\"|-222,\"Data "
     "out of range\"|",
     "P 00960000|S 00960000|R|"},
};

class EngineTable : public testing::TestWithParam<Case> {};

TEST_P(EngineTable, RepliesErrorsAndSets) {
    const Case& c = GetParam();
    Rig rig;
    std::string reply;
    for (const std::string& line : c.lines) {
        reply = rig.Send(line);
    }
    const std::string errors = rig.Errors();
    if (std::string(c.name) == "PlanHoldsTheBoxText") {
        EXPECT_NE(reply.find("\"FoutText\":\"2400\""), std::string::npos) << "PLAN? box: " << reply;
        EXPECT_TRUE(reply.starts_with("{\"Fr\":10,") && reply.ends_with("}\n")) << reply;
    } else {
        EXPECT_EQ(reply, c.reply) << "reply to " << c.lines.back();
    }
    const bool whole = c.errors.empty() || std::string(c.errors).ends_with('|');
    EXPECT_TRUE(whole ? errors == c.errors : errors.starts_with(c.errors))
        << "error queue: " << errors;
    EXPECT_EQ(Joined(rig.link.ops), c.ops) << "sets handed to the link";
}

INSTANTIATE_TEST_SUITE_P(Lines, EngineTable, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EngineQueue, OverflowReplacesTheLastEntry) {
    Rig rig;
    for (int i = 0; i < 17; ++i) {
        rig.Send("BAD");
    }
    EXPECT_EQ(rig.Send("SYST:ERR:COUN?"), "16\n") << "the queue holds 16 entries";
    for (int i = 0; i < 15; ++i) {
        rig.session.Pop();
    }
    EXPECT_EQ(rig.Send("SYST:ERR?"), "-350,\"Queue overflow\"\n") << "the 16th entry";
}

TEST(EngineWaits, OpcQueryAnswersWhenTheLinkIsDone) {
    Rig rig;
    LineRun run = Engine::Begin("FREQ 3GHZ;*OPC?;FREQ?");
    rig.engine.Run(run, rig.session, 0);
    EXPECT_TRUE(run.Waiting()) << "*OPC? answered before the set left";
    EXPECT_EQ(run.ReplyLine(), "");
    rig.link.done = rig.link.issued;
    rig.engine.Run(run, rig.session, 0);
    EXPECT_EQ(run.ReplyLine(), "1;3000000000\n") << "the reply after the set left";
    EXPECT_EQ(rig.Send("*OPC;*ESR?"), "1\n") << "*OPC with nothing pending sets the OPC bit";
    run = Engine::Begin("*RCL 0;FREQ?");
    rig.engine.Run(run, rig.session, 0);
    EXPECT_TRUE(run.Waiting()) << "a query after *RCL answered before the recall was done";
}

TEST(EngineLink, NoPortKeepsTheSettingAndQueuesMissingHardware) {
    Rig rig;
    rig.link.answer = LinkAnswer::Missing;
    EXPECT_EQ(rig.Send("FREQ 3GHZ;FREQ?"), "") << "nothing after the error runs";
    EXPECT_EQ(rig.Send("FREQ?"), "3000000000\n") << "the setting stands without a port";
    EXPECT_EQ(rig.Errors(), "-241,\"Hardware missing\"|");
}

TEST(EngineGate, ExternalVcoLiftsTheVcoRangeOnly) {
    FakeLink link;
    InstrumentSettings start;
    start.gate.externalVco = true;
    start.panel.resolutionText = "100000"; // D stays within 12 bits at 100 MHz
    Engine engine(start, link, "");
    Session session;
    EXPECT_EQ(engine.Execute("POW 2;POW?", session), "2\n") << "2320.5 MHz undivided is allowed";
    EXPECT_EQ(engine.Execute("ROSC:EXT:FREQ 100MHZ", session), "");
    const std::string entry = session.Pop();
    EXPECT_TRUE(entry.starts_with("-221,\"Settings conflict;fcomp-max: "))
        << "the other rules still apply: " << entry;
}

TEST(EngineRecall, RestoresTheStoredSetOrRefusesIt) {
    Rig rig;
    // The words of 3000.5 MHz: Reg0, Reg1, Reg2 and Reg4.
    EXPECT_EQ(rig.engine.Restore({0x00960190, 0x20001F41, 0x18005E42, 0x608C80FC}), std::nullopt);
    EXPECT_EQ(rig.Send("FREQ?"), "3000500000\n") << "the read-back is the new state";
    // The boxes as the decoder's recomputes write them back: blank-led Fout and resolution
    // (D = 1000 at Fcomp 10 MHz: 10 kHz steps), the whole R.
    const std::string plan = rig.Send("PLAN?");
    for (const char* box : {R"("FoutText":" 3000.5")", R"("ResolutionText":" 10000")",
                            R"("Rdivider":"1")", R"("ForceD":"")"}) {
        EXPECT_NE(plan.find(box), std::string::npos) << "PLAN? after *RCL lacks " << box;
    }
    EXPECT_EQ(rig.engine.Restore({0x00960190, 0x20001F41, 0x18000042, 0x608C80FC}),
              std::optional<std::string>("the reference divider R is 0"));
}

} // namespace
} // namespace max2870::scpi
