#include "step_source.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace max2870 {
namespace {

using Status = StepSource::Status;

class SweepSource : public StepSource {
public:
    explicit SweepSource(StepList sweep) : sweep_(sweep) {}
    Taken Take() override {
        if (next_ >= sweep_.Count()) {
            return {};
        }
        return {Status::Step, sweep_.Text(next_++), {}};
    }
    bool Restart() override { return next_ = 0, true; }

private:
    StepList sweep_;
    long long next_ = 0;
};

// A checked step of a list, or the line that stops the run.
StepSource::Taken Checked(std::string_view name, const ListEntry& entry) {
    std::string problem = ListEntryProblem(name, entry);
    if (!problem.empty()) {
        return {Status::Bad, {}, std::move(problem)};
    }
    return {Status::Step, entry.text, {}};
}

// A list file, or a standard input that is a file, read a piece at a time.
class StreamSource : public StepSource {
public:
    StreamSource(std::string path, std::unique_ptr<std::istream> file)
        : path_(std::move(path)), file_(std::move(file)) {}
    StreamSource(std::istream& in) : path_("-"), lines_(std::make_unique<ListStream>(in)) {}

    Taken Take() override {
        if (!lines_) {
            lines_ = std::make_unique<ListStream>(*file_);
        }
        if (const std::optional<ListEntry> entry = lines_->Next()) {
            return Checked(path_, *entry);
        }
        if (lines_->Failed()) {
            return {Status::Bad, {}, "cannot read " + path_ + ": input/output error"};
        }
        return {};
    }
    bool Restart() override {
        if (!file_) {
            return false;
        }
        file_->clear();
        file_->seekg(0);
        lines_ = std::make_unique<ListStream>(*file_);
        return static_cast<bool>(*file_);
    }

private:
    std::string path_;
    std::unique_ptr<std::istream> file_;
    std::unique_ptr<ListStream> lines_;
};

// The standard input as a live feed (a pipe or a terminal): each line is taken as it arrives,
// reading only while the run waits for a step, so what is buffered stays small.
class LiveSource : public StepSource {
public:
    LiveSource() : notifier_(STDIN_FILENO, QSocketNotifier::Read) {
        notifier_.setEnabled(false);
        QObject::connect(&notifier_, &QSocketNotifier::activated, [this] { OnReadable(); });
    }

    Taken Take() override {
        if (!error_.empty()) {
            return {Status::Bad, {}, error_};
        }
        if (const std::optional<ListEntry> entry = lines_.Next()) {
            return Checked("-", *entry);
        }
        if (lines_.Ended()) {
            return {};
        }
        notifier_.setEnabled(true);
        return {Status::Wait, {}, {}};
    }
    bool Restart() override { return false; }

private:
    void OnReadable() {
        std::array<char, 65536> chunk{};
        const ssize_t got = read(STDIN_FILENO, chunk.data(), chunk.size());
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
            return;
        }
        if (got > 0) {
            lines_.Feed(std::string_view(chunk.data(), static_cast<std::size_t>(got)));
        } else {
            if (got < 0) {
                error_ = std::string("cannot read -: ") + std::strerror(errno);
            }
            lines_.End();
        }
        notifier_.setEnabled(false);
        if (arrived_) {
            arrived_();
        }
    }

    QSocketNotifier notifier_;
    ListLines lines_;
    std::string error_;
};

bool StandardInputIsFile() {
    struct stat status {};
    return fstat(STDIN_FILENO, &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace

std::unique_ptr<StepSource> MakeStepSource(const ToolOptions& options, std::string& error) {
    if (options.sweep) {
        const std::optional<StepList> sweep = StepList::Sweep(*options.sweep, error);
        return sweep ? std::make_unique<SweepSource>(*sweep) : nullptr;
    }
    const std::string& path = *options.listFile;
    if (path == "-") {
        if (StandardInputIsFile()) {
            return std::make_unique<StreamSource>(std::cin);
        }
        return std::make_unique<LiveSource>();
    }
    error = CheckListFile(path);
    if (!error.empty()) {
        return nullptr;
    }
    std::unique_ptr<std::istream> file = OpenListFile(path, error);
    if (!file) {
        return nullptr;
    }
    return std::make_unique<StreamSource>(path, std::move(file));
}

} // namespace max2870
