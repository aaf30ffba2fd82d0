#include "console.h"

#include <cstdio>
#include <ctime>
#include <string>

namespace max2870sim {

namespace {

std::string TimeOfDay() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(millis));
    return text;
}

} // namespace

void Console::LineArrived(std::string_view line, std::string_view note) {
    if (!verbose_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    std::string gap = "        ";
    if (!first_) {
        char text[24];
        std::snprintf(text, sizeof text, "+%.3f s",
                      std::chrono::duration<double>(now - previous_).count());
        gap = text;
    }
    previous_ = now;
    first_ = false;
    std::printf("%s %s  %.*s  (%.*s)\n", TimeOfDay().c_str(), gap.c_str(),
                static_cast<int>(line.size()), line.data(), static_cast<int>(note.size()),
                note.data());
    std::fflush(stdout);
}

void Console::ChipTuned(const ChipAnalysis& analysis) {
    if (!verbose_) {
        return;
    }
    std::printf("    chip: %s\n", DescribeAnalysis(analysis).c_str());
    for (const std::string& warning : analysis.warnings) {
        std::printf("    warning: %s\n", warning.c_str());
    }
    std::fflush(stdout);
}

void Console::Problem(std::string_view text) {
    std::fprintf(stderr, "max2870-sim: %.*s\n", static_cast<int>(text.size()), text.data());
}

} // namespace max2870sim
