#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace max2870 {

// One step of a hop list: its text and the number of its line, counted from 1.
struct ListEntry {
    long long line = 0;
    std::string text;
    bool tooLong = false; // the line was longer than kLongestListLine; text holds its start
};

inline constexpr std::size_t kLongestListLine = 1024;

// Cuts a hop list into its steps as its bytes arrive, holding no more than one line: a list of
// any length, or a live feed, takes little memory. LF or CR LF ends a line. Skipped: a UTF-8
// byte-order mark at the very start, empty lines, lines of blanks and tabs, and lines whose
// first character that is not a blank or a tab is '#'.
class ListLines {
public:
    void Feed(std::string_view bytes);
    void End(); // no more bytes: a last line without a line end still counts
    std::optional<ListEntry> Next();
    bool Ended() const { return ended_ && ready_ == std::string::npos; }

private:
    std::optional<ListEntry> Entry(std::string line);

    std::string buffer_;
    std::size_t ready_ = std::string::npos; // where the next complete line ends (its LF)
    std::size_t start_ = 0;                 // where the next line starts in buffer_
    long long lineNumber_ = 0;
    bool atStart_ = true;
    bool skippingRest_ = false; // the rest of a line too long to hold
    bool ended_ = false;
};

// The steps of a list on a stream, read in pieces.
class ListStream {
public:
    explicit ListStream(std::istream& in) : in_(in) {}
    std::optional<ListEntry> Next(); // none at the end of the stream or when it fails
    bool Failed() const { return in_.bad(); }

private:
    std::istream& in_;
    ListLines lines_;
};

// Why a list step is refused, "NAME:LINE: ..."; empty when it is a finite decimal number.
std::string ListEntryProblem(std::string_view name, const ListEntry& entry);

// Opens a list file for reading; none, with "cannot read FILE: reason", when it cannot be read.
std::unique_ptr<std::istream> OpenListFile(const std::string& path, std::string& error);

// Reads a list file through once, as a stream: the first problem ("FILE:LINE: ...", or
// "cannot read FILE: reason"), empty when every step is a number.
std::string CheckListFile(const std::string& path);

} // namespace max2870
