// The instrument end to end: max2870-send --serve on the simulator's pseudo-terminal, driven over
// TCP. Checks the lines the board receives (changed registers only, Reg0 last, a sweep and a
// list), the replies, and clients that misbehave.
#include "../tools/tools_rig.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <sstream>
#include <vector>

namespace max2870::test {
namespace {

class Client {
public:
    explicit Client(int port, int receiveBuffer = 0) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        if (receiveBuffer > 0) {
            setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        }
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = htons(static_cast<std::uint16_t>(port));
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(connect(fd_, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
        timeval limit{20, 0}; // a reply that never comes fails the test instead of hanging it
        setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    }
    ~Client() { close(fd_); }
    void Send(const std::string& text) {
        for (std::size_t sent = 0; sent < text.size();) {
            const ssize_t n = send(fd_, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                return;
            }
            sent += static_cast<std::size_t>(n);
        }
    }
    std::string Line() { // the next reply line without its LF; "" when the connection ended
        for (;;) {
            if (const auto lf = buffer_.find('\n'); lf != std::string::npos) {
                std::string line = buffer_.substr(0, lf);
                buffer_.erase(0, lf + 1);
                return line;
            }
            char chunk[65536];
            const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
            if (n <= 0) {
                return "";
            }
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
    }
    std::string Ask(const std::string& line) {
        Send(line + "\n");
        return Line();
    }
    long long DrainAll() { // bytes until the server closes
        long long total = static_cast<long long>(buffer_.size());
        char chunk[65536];
        for (ssize_t n; (n = recv(fd_, chunk, sizeof chunk, 0)) > 0;) {
            total += n;
        }
        return total;
    }

private:
    int fd_ = -1;
    std::string buffer_;
};

// The register lines the simulator printed, in order.
std::vector<std::string> Received(const std::string& simulatorOutput) {
    std::vector<std::string> lines;
    std::istringstream in(simulatorOutput);
    for (std::string line; std::getline(in, line);) {
        if (line.find("  (") == std::string::npos) {
            continue;
        }
        std::istringstream words(line);
        std::string previous;
        for (std::string word; words >> word && !word.starts_with('(');) {
            previous = word;
        }
        lines.push_back(previous);
    }
    return lines;
}

TEST(ScpiServer, LinesOnTheWireRepliesAndAbusiveClients) {
    Child sim("exec " MAX2870_SIM_PATH " --verbose");
    Child server("exec " MAX2870_SEND_PATH " " + sim.Line() +
                 " --serve 0 --gap 0.0126 2>&1 >/dev/null");
    const std::string serving = server.Line();
    ASSERT_NE(serving.find("serving SCPI on 127.0.0.1:"), std::string::npos) << serving;
    const int port = std::stoi(serving.substr(serving.rfind(':') + 1));

    Client client(port);
    EXPECT_TRUE(client.Ask("*IDN?").ends_with(",0,0.1.0")) << "*IDN? fields";
    const struct {
        std::string line;
        std::string reply;
    } steps[] = {
        {"FREQ 3GHZ;*OPC?", "1"},
        {"FREQ:CW 3000.5MHZ;*OPC?;:FREQ?", "1;3000500000"},
        {"POW 2;*OPC?;POW?", "1;2"},
        {"FREQ:STAR 3GHZ;STOP 3.001GHZ;MODE SWE;:SWE:POIN 3;:INIT;*OPC?", "1"},
        {"LIST:FREQ 3001MHZ,3000MHZ;:FREQ:MODE LIST;:INIT;*WAI;*OPC?", "1"},
        {"FREQ 3.0005GHZ;*SAV 0;*OPC?", "1"},
        {"FREQ 3GHZ;*RCL 0;*OPC?;:FREQ?;:POW?", "1;3000500000;2"}, // the stored set back
        {"ROSC:EXT:FREQ 100MHZ", ""},
    };
    for (const auto& step : steps) {
        if (!step.reply.empty()) {
            EXPECT_EQ(client.Ask(step.line), step.reply) << "reply to " << step.line;
        } else {
            client.Send(step.line + "\n");
        }
    }
    EXPECT_TRUE(client.Ask("SYST:ERR?").starts_with("-221,\"Settings conflict;"))
        << "a reference that breaks a chip rule";

    Client rude(port);
    rude.Send(std::string(70000, 'A') + "\nSYST:ERR?\n");
    EXPECT_EQ(rude.Line(), "-363,\"Input buffer overrun\"") << "an overlong line";
    rude.Send("FREQ;*IDN\n:FROB\n*CLS;SYST:ERR:COUN?\n\xff\xfe\r\nFREQ 1e99999\nSYST:ERR:COUN?\n");
    EXPECT_EQ(rude.Line(), "0") << "*CLS then count";
    EXPECT_EQ(rude.Line(), "2") << "bad bytes and a huge number are errors, not a crash";

    Client deaf(port, 4096);
    std::string flood;
    for (int i = 0; i < 8000; ++i) {
        flood += "PLAN?\n";
    }
    deaf.Send(flood);
    EXPECT_EQ(client.Ask("FREQ?"), "3000500000") << "a client that never reads stalls the rest";
    EXPECT_LT(deaf.DrainAll(), 8000LL * 1000) << "the replies of a client that never reads";

    {
        Client leaving(port);
        leaving.Send("*RST;FREQ 3.1GHZ\n"); // six lines, and it goes before they are out
    }
    EXPECT_EQ(client.Ask("*OPC?"), "1");

    // Two slots are taken (and a third until the server has seen the leaving client go).
    std::vector<std::unique_ptr<Client>> crowd;
    int answered = 0;
    for (int i = 0; i < 15; ++i) {
        crowd.push_back(std::make_unique<Client>(port));
        answered += crowd.back()->Ask("*TST?") == "0" ? 1 : 0;
    }
    EXPECT_TRUE(answered == 14 || answered == 13) << answered << " of 15 more connections served";
    EXPECT_EQ(crowd.back()->Ask("*TST?"), "") << "a connection beyond the 16th is closed";
    EXPECT_EQ(server.Stop(SIGTERM).status, 143) << "SIGTERM exit status";

    const std::vector<std::string> expected{
        "R00400005", "R608C80FC", "R0000000B", "R18005E42", "R20001F41", "R00960000", // all six
        "R00960190",                                                                  // Reg0 only
        "R608C80B4", "R00960190",                                                     // power
        "R00960000", "R00960190", "R00960320",                                        // sweep
        "R00960320", "R00960000",                                                     // list
        "R00960190", "R00400005", "W",         "R608C80B4", "W",         "R0000000B",
        "W",         "R18005E42", "W",         "R20001F41", "W",         "R00960190",
        "W",         "R00960000", "INIT", // *SAV 0, FREQ, *RCL 0
        "R00400005", "R608C80FC", "R0000000B", "R18005E42", "R20001F41", "R009B0000", // *RST
    };
    const std::vector<std::string> received = Received(sim.Stop(SIGTERM).out);
    EXPECT_EQ(received, expected) << "lines on the wire";
}

} // namespace
} // namespace max2870::test
