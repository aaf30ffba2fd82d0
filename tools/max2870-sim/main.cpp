// max2870-sim: the PIC translator and its MAX2870 board on a pseudo-terminal, so the control
// program can be tried and tested without hardware.

#include "chip_analysis.h"
#include "console.h"
#include "options.h"
#include "pseudo_terminal.h"
#include "translator.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

using namespace max2870sim;

volatile std::sig_atomic_t stopRequested = 0;

void OnStopSignal(int) {
    stopRequested = 1;
}

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal; // no SA_RESTART: poll must return to see the request
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd out{fd, POLLOUT, 0};
            poll(&out, 1, 100);
        } else {
            return false;
        }
    }
    return true;
}

class Session {
public:
    Session(const Options& options, Eeprom eeprom, int master)
        : options_(options), translator_(std::move(eeprom), options.acknowledge),
          console_(options.verbose), master_(master) {}

    // Cuts what arrived into lines; the sender ends each with CR LF.
    void Take(const char* data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            const char c = data[i];
            if (c == '\r' || c == '\n') {
                if (!pending_.empty()) {
                    HandleLine(pending_);
                }
                pending_.clear();
            } else if (pending_.size() < kMaxLine) {
                pending_ += c;
            }
        }
    }

    long long LinesReceived() const { return linesReceived_; }

private:
    static constexpr std::size_t kMaxLine = 4096;

    void HandleLine(const std::string& line) {
        ++linesReceived_;
        const LineResult result = translator_.Handle(line);
        console_.LineArrived(line, result.note);
        if (!result.reply.empty() && !WriteAll(master_, result.reply)) {
            console_.Problem("cannot answer on the pseudo-terminal");
        }
        if (result.eepromChanged && !options_.eepromPath.empty()) {
            std::string error;
            if (!SaveEeprom(options_.eepromPath, translator_.Stored(), error)) {
                console_.Problem(error);
            }
        }
        if (result.chipUpdated) {
            console_.ChipTuned(AnalyseRegisters(translator_.Chip(), options_.referenceMHz));
        }
    }

    const Options& options_;
    Translator translator_;
    Console console_;
    int master_;
    std::string pending_;
    long long linesReceived_ = 0;
};

std::optional<Eeprom> StartingEeprom(const Options& options) {
    if (options.eepromPath.empty() || !std::filesystem::exists(options.eepromPath)) {
        return DefaultEeprom();
    }
    std::string error;
    std::optional<Eeprom> eeprom = LoadEeprom(options.eepromPath, error);
    if (!eeprom) {
        std::fprintf(stderr, "max2870-sim: %s\n", error.c_str());
    }
    return eeprom;
}

int Serve(Session& session, int master) {
    char buffer[1024];
    while (!stopRequested) {
        pollfd in{master, POLLIN, 0};
        if (poll(&in, 1, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::perror("max2870-sim: poll");
            return 1;
        }
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n > 0) {
            session.Take(buffer, static_cast<std::size_t>(n));
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            std::perror("max2870-sim: read");
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string error;
    const std::optional<Options> options = ParseOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "max2870-sim: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (options->help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options->version) {
        std::printf("max2870-sim %s\n", MAX2870_VERSION);
        return 0;
    }
    std::optional<Eeprom> eeprom = StartingEeprom(*options);
    if (!eeprom) {
        return 1;
    }
    std::optional<PseudoTerminal> terminal = OpenRawPseudoTerminal(error);
    if (!terminal) {
        std::fprintf(stderr, "max2870-sim: %s\n", error.c_str());
        return 1;
    }
    InstallStopHandlers();
    std::printf("%s\n", terminal->slavePath.c_str());
    std::fflush(stdout);
    Session session(*options, std::move(*eeprom), terminal->master);
    const int status = Serve(session, terminal->master);
    ClosePseudoTerminal(*terminal);
    // The count a sender's own tally can be held against, e.g. after a sweep.
    std::printf("%lld lines received\n", session.LinesReceived());
    return status;
}
