#pragma once
// Running the programs and reading their JSON, for the planner and sender tests.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace max2870::test {

struct Finished {
    std::string out;
    int status = -1; // exit status, 128 + signal when killed
};

inline int StatusOf(int raw) {
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

// Runs a shell command line and collects what it prints on stdout.
inline Finished Shell(const std::string& command) {
    Finished finished;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t got = 0; pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        finished.out.append(buffer, got);
    }
    finished.status = pipe ? StatusOf(pclose(pipe)) : -1;
    return finished;
}

// A program left running in the background with its stdout on a pipe.
class Child {
public:
    explicit Child(const std::string& command) {
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
        EXPECT_EQ(
            posix_spawn(&pid_, "/bin/sh", &actions, nullptr, const_cast<char**>(argv), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        out_ = fdopen(fds[0], "r");
    }
    std::string Line() { // the next line it prints, without its LF
        char line[512] = "";
        return std::fgets(line, sizeof line, out_) ? std::string(line, std::strcspn(line, "\n"))
                                                   : "";
    }
    Finished Stop(int signal) {
        kill(pid_, signal);
        Finished finished;
        for (int c = 0; (c = std::fgetc(out_)) != EOF;) {
            finished.out += static_cast<char>(c);
        }
        int raw = 0;
        waitpid(pid_, &raw, 0);
        std::fclose(out_);
        finished.status = StatusOf(raw);
        return finished;
    }

private:
    pid_t pid_ = -1;
    FILE* out_ = nullptr;
};

// The raw text of a key's value in a one-line JSON object: a number, true, a quoted string.
inline std::string Field(const std::string& json, const std::string& key) {
    const auto at = json.find("\"" + key + "\":");
    if (at == std::string::npos) {
        return "<missing>";
    }
    const auto start = at + key.size() + 3;
    auto end = start;
    for (bool quoted = false; end < json.size(); ++end) {
        const char c = json[end];
        if (c == '"' && (end == start || json[end - 1] != '\\')) {
            quoted = !quoted;
        } else if (!quoted && (c == ',' || c == '}') && json[start] != '[') {
            break;
        } else if (!quoted && c == ']') {
            return json.substr(start, end + 1 - start);
        }
    }
    return json.substr(start, end - start);
}

// True when the value reads as the expected: numbers within 1e-12 of each other, else the text.
inline bool Matches(const std::string& value, const std::string& expected) {
    char* end = nullptr;
    const double wanted = std::strtod(expected.c_str(), &end);
    if (expected.empty() || *end != '\0') {
        return value == expected;
    }
    const double got = std::strtod(value.c_str(), &end);
    return *end == '\0' && std::abs(got - wanted) <= 1e-12 * std::max(1.0, std::abs(wanted));
}

} // namespace max2870::test
