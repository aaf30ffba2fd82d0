#include "plan_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace max2870 {
namespace {

using Args = std::vector<std::string>;

PlanOptions Parsed(const Args& arguments) {
    const ParsedOptions parsed = ParsePlanOptions(arguments);
    EXPECT_EQ(parsed.error, "");
    return parsed.options;
}

std::string ErrorOf(const Args& arguments) {
    return ParsePlanOptions(arguments).error;
}

TEST(PlanOptions, NothingGivenIsThePanelAtStart) {
    const PlanOptions o = Parsed({});
    EXPECT_EQ(o.ref, "10");
    EXPECT_FALSE(o.doubler);
    EXPECT_FALSE(o.divideBy2);
    EXPECT_EQ(o.r, "1");
    EXPECT_EQ(o.odiv, 0);
    EXPECT_EQ(o.fout, "2320.5");
    EXPECT_EQ(o.resolution, "10000");
    EXPECT_FALSE(o.integerN);
    EXPECT_EQ(o.phase, "0");
    EXPECT_EQ(o.mux, "lock");
    EXPECT_EQ(o.noise, "low-noise");
    EXPECT_TRUE(o.chipEnable);
    EXPECT_EQ(o.chargePump, 15);
    EXPECT_FALSE(o.pdNegative);
    EXPECT_TRUE(o.outputA);
    EXPECT_FALSE(o.outputB);
    EXPECT_EQ(o.power, 3);
    EXPECT_FALSE(o.findBest);
    EXPECT_FALSE(o.forceD.has_value());
    EXPECT_FALSE(o.decode.has_value());
    EXPECT_EQ(o.Output(), PlanOutput::Results);
}

TEST(PlanOptions, FlagsSetTheirControls) {
    const PlanOptions o = Parsed({"--doubler", "--div2", "--integer-n", "--chip-disable",
                                  "--pd-negative", "--a-off", "--b-on", "--find-best"});
    EXPECT_TRUE(o.doubler);
    EXPECT_TRUE(o.divideBy2);
    EXPECT_TRUE(o.integerN);
    EXPECT_FALSE(o.chipEnable);
    EXPECT_TRUE(o.pdNegative);
    EXPECT_FALSE(o.outputA);
    EXPECT_TRUE(o.outputB);
    EXPECT_TRUE(o.findBest);
}

TEST(PlanOptions, TextValuesAreTakenVerbatim) {
    const PlanOptions o = Parsed({"--ref", "-5", "--r", " 2.6 ", "--fout", "--json", "--resolution",
                                  "1e4x", "--phase", "", "--force-d", "-3"});
    EXPECT_EQ(o.ref, "-5");
    EXPECT_EQ(o.r, " 2.6 ");
    EXPECT_EQ(o.fout, "--json"); // a value, not the option
    EXPECT_FALSE(o.json);
    EXPECT_EQ(o.resolution, "1e4x");
    EXPECT_EQ(o.phase, "");
    EXPECT_EQ(o.forceD, "-3");
}

TEST(PlanOptions, BoundedIntegers) {
    EXPECT_EQ(Parsed({"--odiv", "7"}).odiv, 7);
    EXPECT_EQ(Parsed({"--odiv", "+3"}).odiv, 3);
    EXPECT_EQ(Parsed({"--odiv", "-0"}).odiv, 0);
    EXPECT_EQ(Parsed({"--odiv", "007"}).odiv, 7);
    EXPECT_EQ(Parsed({"--cp", "0"}).chargePump, 0);
    EXPECT_EQ(Parsed({"--cp", "15"}).chargePump, 15);
    EXPECT_EQ(Parsed({"--power", "0"}).power, 0);

    for (const Args& bad :
         {Args{"--odiv", "8"}, Args{"--odiv", "-1"}, Args{"--odiv", "3.0"}, Args{"--odiv", ""},
          Args{"--odiv", " 3"}, Args{"--odiv", "0x3"}, Args{"--odiv", "3a"}, Args{"--odiv", "+"},
          Args{"--cp", "16"}, Args{"--cp", "99999999999999999999"}, Args{"--power", "4"},
          Args{"--power", "-1"}}) {
        EXPECT_NE(ErrorOf(bad), "") << bad[0] << " " << bad[1];
    }
}

TEST(PlanOptions, NamedChoices) {
    EXPECT_EQ(Parsed({"--mux", "none"}).mux, "none");
    EXPECT_EQ(Parsed({"--mux", "rdiv"}).mux, "rdiv");
    EXPECT_EQ(Parsed({"--mux", "ndiv"}).mux, "ndiv");
    EXPECT_EQ(Parsed({"--noise", "low-spur-1"}).noise, "low-spur-1");
    EXPECT_EQ(Parsed({"--noise", "low-spur-2"}).noise, "low-spur-2");
    EXPECT_NE(ErrorOf({"--mux", "Lock"}), "");
    EXPECT_NE(ErrorOf({"--mux", "r"}), "");
    EXPECT_NE(ErrorOf({"--noise", "low_noise"}), "");
    EXPECT_NE(ErrorOf({"--noise", ""}), "");
}

TEST(PlanOptions, DecodeWordsAreThirtyTwoBitPatterns) {
    const PlanOptions o = Parsed({"--decode", "00E80190", "0x20000FA1", "0X18005e42", "b"});
    ASSERT_TRUE(o.decode.has_value());
    EXPECT_EQ((*o.decode)[0], 0x00E80190);
    EXPECT_EQ((*o.decode)[1], 0x20000FA1);
    EXPECT_EQ((*o.decode)[2], 0x18005E42);
    EXPECT_EQ((*o.decode)[3], 11);

    const PlanOptions negative = Parsed({"--decode", "80E80000", "1", "FFFFFFFF", "0x0"});
    EXPECT_EQ((*negative.decode)[0], -2132279296);
    EXPECT_EQ((*negative.decode)[2], -1);
    EXPECT_EQ((*negative.decode)[3], 0);
}

TEST(PlanOptions, BadDecodeWords) {
    for (const Args& bad :
         {Args{"--decode", "1", "2", "3"}, Args{"--decode"},
          Args{"--decode", "1", "2", "3", "123456789"}, Args{"--decode", "1", "2", "3", "0x"},
          Args{"--decode", "1", "2", "3", "g"}, Args{"--decode", "1", "2", "3", "-1"},
          Args{"--decode", "1", "2", "3", "0x-1"}, Args{"--decode", "1", "2", "3", ""},
          Args{"--decode", "1", "2", "--json", "4"}}) {
        EXPECT_NE(ErrorOf(bad), "") << bad.size();
    }
    // The option after four good words is an option again.
    EXPECT_TRUE(Parsed({"--decode", "1", "2", "3", "4", "--json"}).json);
}

TEST(PlanOptions, RepeatedOptionLastWins) {
    const PlanOptions o =
        Parsed({"--ref",    "10",        "--ref",    "20",        "--odiv", "1",     "--odiv",
                "2",        "--force-d", "10",       "--force-d", "20",     "--mux", "none",
                "--mux",    "rdiv",      "--decode", "1",         "2",      "3",     "4",
                "--decode", "5",         "6",        "7",         "C"});
    EXPECT_EQ(o.ref, "20");
    EXPECT_EQ(o.odiv, 2);
    EXPECT_EQ(o.forceD, "20");
    EXPECT_EQ(o.mux, "rdiv");
    EXPECT_EQ((*o.decode)[0], 5);
    EXPECT_EQ((*o.decode)[3], 12);
}

TEST(PlanOptions, UnknownOptionsPositionalsAndMissingValuesAreErrors) {
    for (const Args& bad :
         {Args{"--bogus"}, Args{"-r", "1"}, Args{"--json=1"}, Args{"--REF", "10"}, Args{"10"},
          Args{"--json", "extra"}, Args{"-"}, Args{"--ref"}, Args{"--json", "--fout"},
          Args{"--odiv"}, Args{"--mux"}, Args{"--force-d"}}) {
        const std::string error = ErrorOf(bad);
        EXPECT_NE(error, "") << bad[0];
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

TEST(PlanOptions, JsonWinsOverListingWhichWinsOverPlain) {
    EXPECT_EQ(Parsed({"--listing"}).Output(), PlanOutput::Listing);
    EXPECT_EQ(Parsed({"--json"}).Output(), PlanOutput::Json);
    EXPECT_EQ(Parsed({"--json", "--listing"}).Output(), PlanOutput::Json);
    EXPECT_EQ(Parsed({"--listing", "--json"}).Output(), PlanOutput::Json);
}

} // namespace
} // namespace max2870
