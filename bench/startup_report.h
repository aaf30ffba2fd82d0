#pragma once

// What both start-up probes print once their window is on screen: the time since main began,
// the wall clock (so that bench/startup.sh can add the loading before main) and the memory.

#include <QElapsedTimer>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

inline std::string StatusLine(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(key)) {
            return line;
        }
    }
    return key + " unknown";
}

inline double MillisecondsSince(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

inline void ReportShown(const QElapsedTimer& sinceMain) {
    const auto shownAt = std::chrono::system_clock::now().time_since_epoch();
    std::printf("main_to_shown_ms %.1f\n", MillisecondsSince(sinceMain));
    std::printf("shown_epoch_ns %lld\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::nanoseconds>(shownAt).count()));
    std::printf("%s\n%s\n", StatusLine("VmRSS").c_str(), StatusLine("VmHWM").c_str());
}
