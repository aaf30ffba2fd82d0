// The fuzz targets' invariants over their seed inputs and a fixed sample of variations of them.
#include "invariants.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>

namespace max2870::props {

using Check = std::pair<const char*, std::string (*)(Bytes)>;
class Properties : public testing::TestWithParam<Check> {};

TEST_P(Properties, HoldOverTheSeedsAndVariationsOfThem) {
    const auto [name, check] = GetParam();
    std::vector<std::string> seeds;
    const std::filesystem::directory_iterator directory(MAX2870_CORPUS + std::string(name));
    for (const auto& seed : std::set<std::filesystem::path>(begin(directory), end(directory))) {
        std::ifstream file(seed, std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        EXPECT_EQ(check(seeds.back()), "") << seed;
    }
    std::mt19937 random(2870);
    for (std::size_t i = 0; i < 500 && !seeds.empty(); ++i) {
        std::string input = seeds[i % seeds.size()] + std::string(random() % 4, '\x80');
        for (int flips = random() % 4; flips >= 0 && !input.empty(); --flips)
            input[random() % input.size()] = static_cast<char>(random());
        EXPECT_EQ(check(input), "") << "variation " << i << " of a seed";
    }
}

const Check kChecks[] = {{"number_text", CheckNumberText},
                         {"pattern_format", CheckPatternFormat},
                         {"receive_path", CheckReceivePath},
                         {"plan", CheckPlan}};
INSTANTIATE_TEST_SUITE_P(Fuzzed, Properties, testing::ValuesIn(kChecks),
                         [](const auto& info) { return std::string(info.param.first); });

} // namespace max2870::props
