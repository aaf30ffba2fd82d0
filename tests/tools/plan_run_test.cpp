#include "flat_json.h"
#include "plan_options.h"
#include "plan_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace max2870 {
namespace {

using test::FlatJson;

PlanOptions Options(const std::vector<std::string>& arguments) {
    const ParsedOptions parsed = ParsePlanOptions(arguments);
    EXPECT_EQ(parsed.error, "");
    return parsed.options;
}

std::string Planner(const std::vector<std::string>& arguments) {
    return RunPlan(Options(arguments));
}

FlatJson Json(std::vector<std::string> arguments) {
    arguments.emplace_back("--json");
    const std::string text = Planner(arguments);
    EXPECT_TRUE(text.ends_with("}\n")) << text;
    FlatJson json(text);
    EXPECT_TRUE(json.ok()) << text;
    return json;
}

void ExpectWords(const FlatJson& json, const std::vector<std::string>& words) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        EXPECT_EQ(json.String("Reg" + std::to_string(i)), words[i]) << "Reg" << i;
    }
}

const std::vector<std::string> kNoWords(6, "00000000");

// --- plain output -----------------------------------------------------------------------------

TEST(PlanRun, PlainOutputIsTheResultsTextWithLineFeeds) {
    EXPECT_EQ(Planner({}), "Fcomp  10.00MHz\n"
                           "R  1\n"
                           "N  232\n"
                           "F  50\n"
                           "D  1000     \n"
                           "Error =  0.0Hz\n"
                           "\n"
                           "Reg 0   0x 00740190\n"
                           "Reg 1   0x 20001F41\n"
                           "Reg 2   0x 18005E42\n"
                           "Reg 3   0x 0000000B\n"
                           "Reg 4   0x 608C80FC\n"
                           "Reg 5   0x 00400005\n");
}

TEST(PlanRun, WorkedRunWithDividerTwoPointSix) {
    EXPECT_EQ(Planner({"--r", "2.6", "--odiv", "1"}), "Fcomp  3.333333MHz\n"
                                                      "R  3\n"
                                                      "N  1392\n"
                                                      "F  50\n"
                                                      "D  167     \n"
                                                      "Error =  -998.0Hz\n"
                                                      "\n"
                                                      "Reg 0   0x 02B80190\n"
                                                      "Reg 1   0x 20000539\n"
                                                      "Reg 2   0x 1800DE42\n"
                                                      "Reg 3   0x 0000000B\n"
                                                      "Reg 4   0x 609430FC\n"
                                                      "Reg 5   0x 00400005\n");
}

TEST(PlanRun, PlainOutputAddsNothingToAMessage) {
    EXPECT_EQ(Planner({"--resolution", "1000", "--odiv", "1"}),
              "More than 12 bits needed for fractional registers\nChoose alternative values");
    EXPECT_EQ(Planner({"--ref", "0"}), "");
}

TEST(PlanRun, ListingOutputKeepsCrLf) {
    EXPECT_EQ(Planner({"--odiv", "1", "--listing"}),
              ";  R = 1    N = 464    D =  0500   F = 0050    Odiv = 2\r\n"
              ";  Fout = 2320.5MHz      Ref = 10MHz\r\n"
              "   de 0x00, 0x40, 0x00, 0x05    ;Reg 5\r\n"
              "   de 0x60, 0x9C, 0x80, 0xFC    ;Reg 4\r\n"
              "   de 0x00, 0x00, 0x00, 0x0B    ;Reg 3\r\n"
              "   de 0x18, 0x00, 0x5E, 0x42    ;Reg 2\r\n"
              "   de 0x20, 0x00, 0x0F, 0xA1    ;Reg 1\r\n"
              "   de 0x00, 0xE8, 0x01, 0x90    ;Reg 0\r\n");
}

TEST(PlanRun, JsonWinsOverListing) {
    const std::string json = Planner({"--listing", "--json"});
    EXPECT_TRUE(json.starts_with("{")) << json;
    EXPECT_TRUE(FlatJson(json).ok());
}

// --- JSON of complete runs --------------------------------------------------------------------

TEST(PlanJson, HasExactlyTheKeysOfThePlanner) {
    const FlatJson json = Json({});
    const std::vector<std::string> keys{
        "Fr",         "R",        "Fcomp",          "OutDiv",     "Fout",     "VCO",
        "Resolution", "N",        "Fract",          "Denom",      "ErrorHz",  "BandSelect",
        "P",          "MuxVal",   "NoiseMode",      "Reg0",       "Reg1",     "Reg2",
        "Reg3",       "Reg4",     "Reg5",           "VcoInRange", "ErrorRed", "Outcome",
        "ValuesText", "Rdivider", "ResolutionText", "FoutText",   "ForceD",   "Label6",
        "Fvco",       "Listing"};
    EXPECT_EQ(json.Values().size(), keys.size());
    for (const std::string& key : keys) {
        EXPECT_TRUE(json.Has(key)) << key;
    }
}

TEST(PlanJson, FractionalExampleAtDividerTwo) {
    const FlatJson json = Json({"--odiv", "1"});
    EXPECT_EQ(json.Number("Fr"), 10);
    EXPECT_EQ(json.Number("R"), 1);
    EXPECT_EQ(json.Number("Fcomp"), 10);
    EXPECT_EQ(json.Number("OutDiv"), 2);
    EXPECT_EQ(json.Number("Fout"), 2320.5);
    EXPECT_EQ(json.Number("VCO"), 4641);
    EXPECT_EQ(json.Number("Resolution"), 10000);
    EXPECT_EQ(json.Number("N"), 464);
    EXPECT_EQ(json.Number("Fract"), 50);
    EXPECT_EQ(json.Number("Denom"), 500);
    EXPECT_EQ(json.Number("ErrorHz"), 0);
    EXPECT_EQ(json.Number("BandSelect"), 200);
    EXPECT_EQ(json.Number("P"), 0);
    EXPECT_EQ(json.Number("MuxVal"), 6);
    EXPECT_EQ(json.Number("NoiseMode"), 0);
    ExpectWords(json, {"00E80190", "20000FA1", "18005E42", "0000000B", "609C80FC", "00400005"});
    EXPECT_TRUE(json.Bool("VcoInRange"));
    EXPECT_FALSE(json.Bool("ErrorRed"));
    EXPECT_EQ(json.String("Outcome"), "complete");
    EXPECT_EQ(json.String("ValuesText"), "Fcomp  10.00MHz\r\n"
                                         "R  1\r\n"
                                         "N  464\r\n"
                                         "F  50\r\n"
                                         "D  500     \r\n"
                                         "Error =  0.0Hz\r\n"
                                         "\r\n"
                                         "Reg 0   0x 00E80190\r\n"
                                         "Reg 1   0x 20000FA1\r\n"
                                         "Reg 2   0x 18005E42\r\n"
                                         "Reg 3   0x 0000000B\r\n"
                                         "Reg 4   0x 609C80FC\r\n"
                                         "Reg 5   0x 00400005\r\n");
    EXPECT_EQ(json.String("Rdivider"), "1");
    EXPECT_EQ(json.String("ResolutionText"), " 10000");
    EXPECT_EQ(json.String("FoutText"), "2320.5");
    EXPECT_EQ(json.String("ForceD"), "");
    EXPECT_EQ(json.String("Label6"), "Fcomp 10.0MHz");
    EXPECT_EQ(json.String("Fvco"), "VCO  4641MHz");
    EXPECT_EQ(json.String("Listing"), Planner({"--odiv", "1", "--listing"}));
}

TEST(PlanJson, WorkedRunKeepsFullPrecision) {
    const FlatJson json = Json({"--r", "2.6", "--odiv", "1"});
    EXPECT_EQ(json.Number("R"), 3);
    EXPECT_EQ(json.Number("Fcomp"), 3.3333333333333335);
    EXPECT_EQ(json.Number("N"), 1392);
    EXPECT_EQ(json.Number("Denom"), 167);
    EXPECT_EQ(json.Number("Fract"), 50);
    EXPECT_EQ(json.Number("ErrorHz"), -998.0039917536487);
    EXPECT_EQ(json.Number("BandSelect"), 67);
    ExpectWords(json, {"02B80190", "20000539", "1800DE42", "0000000B", "609430FC", "00400005"});
    EXPECT_TRUE(json.Bool("ErrorRed"));
    EXPECT_EQ(json.String("Rdivider"), "3");
    EXPECT_EQ(json.String("Label6"), "Fcomp 3.333333MHz");
    EXPECT_TRUE(json.String("Listing").starts_with(
        ";  R = 3    N = 1392    D =  0167   F = 0050    Odiv = 2\r\n"));
}

TEST(PlanJson, DoubledReferenceExample) {
    const FlatJson json = Json({"--ref", "50", "--doubler", "--fout", "5800", "--resolution",
                                "100000", "--phase", "90", "--mux", "rdiv", "--noise", "low-spur-1",
                                "--pd-negative", "--b-on", "--power", "2"});
    EXPECT_EQ(json.Number("Fr"), 100);
    EXPECT_EQ(json.Number("Fcomp"), 100);
    EXPECT_EQ(json.Number("OutDiv"), 1);
    EXPECT_EQ(json.Number("VCO"), 5800);
    EXPECT_EQ(json.Number("N"), 58);
    EXPECT_EQ(json.Number("Fract"), 0);
    EXPECT_EQ(json.Number("Denom"), 1000);
    EXPECT_EQ(json.Number("P"), 250);
    EXPECT_EQ(json.Number("BandSelect"), 1023);
    EXPECT_EQ(json.Number("MuxVal"), 3);
    EXPECT_EQ(json.Number("NoiseMode"), 2);
    ExpectWords(json, {"001D0000", "207D1F41", "CE005E02", "0000000B", "638FF1B4", "00400005"});
    EXPECT_EQ(json.String("Label6"), "Fcomp 100.0MHz");
    EXPECT_TRUE(json.String("Listing").find("Ref = 50MHz X2\r\n") != std::string::npos);
}

TEST(PlanJson, OtherPanelOptionsReachTheWords) {
    // Divide-by-2, chip disabled, output A off, charge pump 0, MUX none and low-spur-2.
    const FlatJson json = Json({"--ref", "20", "--div2", "--odiv", "1", "--chip-disable", "--a-off",
                                "--cp", "0", "--mux", "none", "--noise", "low-spur-2"});
    EXPECT_EQ(json.Number("Fr"), 10);
    EXPECT_EQ(json.Number("MuxVal"), 0);
    EXPECT_EQ(json.Number("NoiseMode"), 3);
    // Reg2: noise 3 << 29, R 1 << 14, polarity bit 6, disable bit 5, address 2.
    // Reg4: band select 200, exponent 1, power 3 in bits 7..6 and 4..3, A off.
    ExpectWords(json, {"00E80190", "20000FA1", "61004062", "0000000B", "609C80DC", "00400005"});
    EXPECT_TRUE(json.String("Listing").find("Ref = 20MHz /2\r\n") != std::string::npos);
}

TEST(PlanJson, IntegerNExample) {
    const FlatJson json = Json({"--integer-n", "--odiv", "1"});
    EXPECT_EQ(json.Number("N"), 464);
    EXPECT_EQ(json.Number("Fract"), 0);
    EXPECT_EQ(json.Number("Denom"), 0);
    EXPECT_EQ(json.Number("Resolution"), 5000000);
    EXPECT_EQ(json.Number("ErrorHz"), -500000);
    EXPECT_EQ(json.Number("P"), 0);
    ExpectWords(json, {"80E80000", "00000001", "18005F42", "0000000B", "609C80FC", "00400005"});
    EXPECT_EQ(json.String("ResolutionText"), " 5000000");
    EXPECT_TRUE(json.Bool("ErrorRed"));
    EXPECT_EQ(json.String("Outcome"), "complete");
    EXPECT_NE(json.String("ValuesText").find("Error =  -500000.0Hz\r\n"), std::string::npos);
}

TEST(PlanJson, VcoOutOfRangeStillPlans) {
    const FlatJson json = Json({});
    EXPECT_EQ(json.Number("VCO"), 2320.5);
    EXPECT_FALSE(json.Bool("VcoInRange"));
    EXPECT_EQ(json.String("Fvco"), "VCO  2320.5MHz\r\nExternal VCO Only");
    EXPECT_EQ(json.Number("N"), 232);
    EXPECT_EQ(json.Number("Denom"), 1000);
    EXPECT_EQ(json.String("Outcome"), "complete");
    // 3000 and 6000 MHz are in range.
    EXPECT_TRUE(Json({"--fout", "3000"}).Bool("VcoInRange"));
    EXPECT_TRUE(Json({"--fout", "6000"}).Bool("VcoInRange"));
    EXPECT_FALSE(Json({"--fout", "6000.001"}).Bool("VcoInRange"));
}

// --- runs that stop early ---------------------------------------------------------------------

TEST(PlanJson, NoComparisonFrequency) {
    const FlatJson json = Json({"--ref", "0"});
    EXPECT_EQ(json.String("Outcome"), "no-fcomp");
    EXPECT_EQ(json.Number("OutDiv"), 0); // step 8 was never reached
    EXPECT_EQ(json.Number("N"), 0);
    EXPECT_EQ(json.Number("BandSelect"), 0);
    EXPECT_EQ(json.Number("P"), 0);
    ExpectWords(json, kNoWords);
    EXPECT_EQ(json.String("ValuesText"), "");
    EXPECT_FALSE(json.Bool("ErrorRed"));
    EXPECT_EQ(json.String("Rdivider"), "1");
}

TEST(PlanJson, TwelveBitModulus) {
    const FlatJson json = Json({"--resolution", "1000", "--odiv", "1"});
    EXPECT_EQ(json.String("Outcome"), "twelve-bit");
    EXPECT_EQ(json.Number("Denom"), 5000);
    EXPECT_EQ(json.Number("N"), 464);
    EXPECT_EQ(json.Number("Fract"), 500);
    EXPECT_EQ(json.Number("OutDiv"), 2);
    EXPECT_EQ(json.Number("BandSelect"), 0); // step 15 was never reached
    ExpectWords(json, kNoWords);
    EXPECT_EQ(json.String("ValuesText"),
              "More than 12 bits needed for fractional registers\r\nChoose alternative values");
    EXPECT_FALSE(json.Bool("ErrorRed"));
    EXPECT_TRUE(json.String("Listing").starts_with(
        ";  R = 1    N = 464    D =  5000   F = 0500    Odiv = 2\r\n"));
}

TEST(PlanJson, IntegerNRemovesTheTwelveBitCase) {
    const FlatJson json = Json({"--resolution", "1000", "--odiv", "1", "--integer-n"});
    EXPECT_EQ(json.String("Outcome"), "complete");
    EXPECT_EQ(json.String("Reg0"), "80E80000");
}

TEST(PlanJson, NonFiniteValuesAreNull) {
    const FlatJson json = Json({"--ref", "1e400"});
    EXPECT_TRUE(json.IsNull("Fr"));
    EXPECT_TRUE(json.IsNull("Fcomp"));
    EXPECT_EQ(json.String("Outcome"), "rejected");
    ExpectWords(json, kNoWords);
}

TEST(PlanJson, ZeroModulusIsRejected) {
    // 10 MHz / 100 MHz steps: D = floor(0.1 + 0.5) = 0.
    const FlatJson json = Json({"--resolution", "1e8"});
    EXPECT_EQ(json.String("Outcome"), "rejected");
    EXPECT_EQ(json.Number("Denom"), 0);
    ExpectWords(json, kNoWords);
    EXPECT_FALSE(json.Bool("ErrorRed"));
}

// --- actions ----------------------------------------------------------------------------------

TEST(PlanActions, FindBestWritesTheModulusAndItsResolution) {
    const FlatJson json = Json({"--odiv", "1", "--find-best"});
    EXPECT_EQ(json.String("ForceD"), " 10");
    EXPECT_EQ(json.String("ResolutionText"), " 500000");
    EXPECT_EQ(json.Number("Denom"), 10);
    EXPECT_EQ(json.Number("Fract"), 1);
    EXPECT_EQ(json.Number("ErrorHz"), 0);
}

TEST(PlanActions, ForceDComesAfterFindBestWhateverTheOrderGiven) {
    for (const auto& arguments :
         {std::vector<std::string>{"--odiv", "1", "--find-best", "--force-d", "4000"},
          std::vector<std::string>{"--force-d", "4000", "--odiv", "1", "--find-best"}}) {
        const FlatJson json = Json(arguments);
        EXPECT_EQ(json.String("ForceD"), "4000");
        EXPECT_EQ(json.String("ResolutionText"), " 1250");
        EXPECT_EQ(json.Number("Denom"), 4000);
        EXPECT_EQ(json.Number("Fract"), 400);
    }
}

TEST(PlanActions, DecodeComesLast) {
    const FlatJson json = Json({"--decode", "00E80190", "20000FA1", "18005E42", "609C80FC",
                                "--force-d", "4000", "--find-best"});
    EXPECT_EQ(json.String("Outcome"), "complete");
    EXPECT_EQ(json.Number("OutDiv"), 2);
    EXPECT_EQ(json.Number("Denom"), 500);
    EXPECT_EQ(json.Number("Fract"), 50);
    EXPECT_EQ(json.String("ResolutionText"), " 10000");
    EXPECT_EQ(json.String("ForceD"), "4000");
}

TEST(PlanActions, FindRInIntegerNMode) {
    // Only a multiple of 10 makes floor(464.1 R) whole: R 10, N 4641.
    const FlatJson hit = Json({"--integer-n", "--odiv", "1", "--find-best"});
    EXPECT_EQ(hit.Number("R"), 10);
    EXPECT_EQ(hit.Number("N"), 4641);
    EXPECT_EQ(hit.Number("Fcomp"), 1);
    EXPECT_EQ(hit.Number("ErrorHz"), 0);
    EXPECT_EQ(hit.String("Rdivider"), "10");
    EXPECT_FALSE(hit.Bool("ErrorRed"));

    // 10 pi MHz: no fraction N / R below 1000 comes within 1 Hz, so the search ends at 1001.
    const FlatJson miss = Json({"--integer-n", "--fout", "31.4159265358979", "--find-best"});
    EXPECT_EQ(miss.Number("R"), 1001);
    EXPECT_EQ(miss.String("Rdivider"), "1001");
    EXPECT_EQ(miss.String("Outcome"), "complete");
}

TEST(PlanActions, DecodeRestoresTheStoredSet) {
    const FlatJson json = Json({"--odiv", "3", "--fout", "1000", "--r", "7", "--decode", "00E80190",
                                "20000FA1", "18005E42", "609C80FC"});
    EXPECT_EQ(json.String("Outcome"), "complete");
    EXPECT_EQ(json.Number("R"), 1);
    EXPECT_EQ(json.Number("OutDiv"), 2);
    EXPECT_EQ(json.Number("VCO"), 4641);
    EXPECT_EQ(json.Number("Fout"), 2320.5);
    EXPECT_EQ(json.Number("Resolution"), 10000);
    ExpectWords(json, {"00E80190", "20000FA1", "18005E42", "0000000B", "609C80FC", "00400005"});
    EXPECT_EQ(json.String("Rdivider"), "1");
    EXPECT_EQ(json.String("FoutText"), " 2320.5");
    EXPECT_EQ(json.String("ResolutionText"), " 10000");
}

TEST(PlanActions, DecodeIntegerNSet) {
    const FlatJson json = Json({"--decode", "80E80000", "00000001", "18005F42", "609C80FC"});
    EXPECT_EQ(json.String("Outcome"), "complete");
    EXPECT_EQ(json.Number("VCO"), 4640);
    EXPECT_EQ(json.Number("Fout"), 2320);
    EXPECT_EQ(json.Number("Resolution"), 5000000);
    ExpectWords(json, {"80E80000", "00000001", "18005F42", "0000000B", "609C80FC", "00400005"});
}

TEST(PlanActions, DecodeKeepsThePanelPhase) {
    const std::vector<std::string> words{"--decode", "001D0000", "207D1F41", "CE005E02",
                                         "638FF1B4"};
    std::vector<std::string> arguments{"--ref", "50"};
    arguments.insert(arguments.end(), words.begin(), words.end());
    FlatJson json = Json(arguments);
    EXPECT_EQ(json.Number("Fr"), 100);
    EXPECT_EQ(json.Number("N"), 58);
    EXPECT_EQ(json.Number("Denom"), 1000);
    EXPECT_EQ(json.Number("VCO"), 5800);
    EXPECT_EQ(json.Number("MuxVal"), 3);
    EXPECT_EQ(json.Number("NoiseMode"), 2);
    // The phase is not stored in the words: the panel's 0 degrees packs P = 0.
    ExpectWords(json, {"001D0000", "20001F41", "CE005E02", "0000000B", "638FF1B4", "00400005"});

    arguments.insert(arguments.end(), {"--phase", "90"});
    json = Json(arguments);
    EXPECT_EQ(json.String("Reg1"), "207D1F41");
}

TEST(PlanActions, RefusedDecodeChangesNothingButTheOutcome) {
    const std::vector<std::string> panel{"--odiv", "1", "--r", "2.6"};
    const FlatJson before = Json(panel);
    // Reg2 with R = 0; then Reg1 with D = 0 while Reg0 has bit 31 clear.
    for (const auto& words :
         {std::vector<std::string>{"00E80190", "20000FA1", "18001E42", "609C80FC"},
          std::vector<std::string>{"00E80190", "20000001", "18005E42", "609C80FC"}}) {
        std::vector<std::string> arguments = panel;
        arguments.emplace_back("--decode");
        arguments.insert(arguments.end(), words.begin(), words.end());
        const FlatJson after = Json(arguments);
        EXPECT_EQ(after.String("Outcome"), "rejected");
        for (const auto& [key, value] : before.Values()) {
            if (key != "Outcome") {
                EXPECT_EQ(after.At(key).text, value.text) << key;
                EXPECT_EQ(after.At(key).kind, value.kind) << key;
            }
        }
    }
}

} // namespace
} // namespace max2870
