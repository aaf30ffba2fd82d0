#include "list_reader.h"

#include "strict_number.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace max2870 {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool Skipped(std::string_view line) {
    const auto first = line.find_first_not_of(" \t");
    return first == std::string_view::npos || line[first] == '#';
}

} // namespace

void ListLines::Feed(std::string_view bytes) {
    buffer_.append(bytes);
}

void ListLines::End() {
    ended_ = true;
}

std::optional<ListEntry> ListLines::Next() {
    for (;;) {
        if (atStart_) {
            // The mark may come in pieces; wait until three bytes or the end decide.
            if (buffer_.size() < kByteOrderMark.size() && !ended_ &&
                kByteOrderMark.starts_with(buffer_)) {
                return std::nullopt;
            }
            if (buffer_.starts_with(kByteOrderMark)) {
                buffer_.erase(0, kByteOrderMark.size());
            }
            atStart_ = false;
        }
        const auto lf = buffer_.find('\n', start_);
        if (lf == std::string::npos && !(ended_ && start_ < buffer_.size())) {
            // Keep at most one line; drop what has been handed out.
            buffer_.erase(0, start_);
            start_ = 0;
            if (buffer_.size() > kLongestListLine && !skippingRest_) {
                skippingRest_ = true;
                ListEntry cut{++lineNumber_, buffer_.substr(0, kLongestListLine), true};
                buffer_.clear();
                return cut;
            }
            if (skippingRest_) {
                buffer_.clear();
            }
            if (ended_) {
                buffer_.clear();
            }
            return std::nullopt;
        }
        const std::size_t end = lf == std::string::npos ? buffer_.size() : lf;
        std::string line = buffer_.substr(start_, end - start_);
        start_ = lf == std::string::npos ? buffer_.size() : lf + 1;
        if (skippingRest_) {
            skippingRest_ = false; // the end of a line already reported
            continue;
        }
        ++lineNumber_;
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        if (line.size() > kLongestListLine) {
            return ListEntry{lineNumber_, line.substr(0, kLongestListLine), true};
        }
        if (!Skipped(line)) {
            return ListEntry{lineNumber_, std::move(line)};
        }
    }
}

std::optional<ListEntry> ListStream::Next() {
    std::array<char, 65536> chunk{};
    for (;;) {
        if (std::optional<ListEntry> entry = lines_.Next()) {
            return entry;
        }
        if (lines_.Ended() || !in_) {
            return std::nullopt;
        }
        in_.read(chunk.data(), chunk.size());
        lines_.Feed(std::string_view(chunk.data(), static_cast<std::size_t>(in_.gcount())));
        if (!in_) {
            lines_.End();
        }
    }
}

std::string ListEntryProblem(std::string_view name, const ListEntry& entry) {
    const std::string where = std::string(name) + ":" + std::to_string(entry.line);
    if (entry.tooLong) {
        return where + ": line longer than " + std::to_string(kLongestListLine) + " characters";
    }
    return StrictNumber(entry.text) ? "" : NotANumber(where, entry.text) + " of MHz";
}

std::unique_ptr<std::istream> OpenListFile(const std::string& path, std::string& error) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        error = "cannot read " + path + ": " + std::strerror(EISDIR);
        return nullptr;
    }
    errno = 0;
    auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!*file) {
        error = "cannot read " + path + ": " + std::strerror(errno != 0 ? errno : ENOENT);
        return nullptr;
    }
    return file;
}

std::string CheckListFile(const std::string& path) {
    std::string error;
    const std::unique_ptr<std::istream> file = OpenListFile(path, error);
    if (!file) {
        return error;
    }
    ListStream steps(*file);
    while (const std::optional<ListEntry> entry = steps.Next()) {
        if (std::string problem = ListEntryProblem(path, *entry); !problem.empty()) {
            return problem;
        }
    }
    return steps.Failed() ? "cannot read " + path + ": input/output error" : "";
}

} // namespace max2870
