#include "output_check.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace max2870 {
namespace {

int firstFailure = 0; // errno of the first failed write, 0 while none failed

bool Failed() {
    if (firstFailure == 0 && std::ferror(stdout) != 0) {
        firstFailure = errno != 0 ? errno : EIO;
    }
    return firstFailure != 0;
}

} // namespace

bool WriteOut(std::string_view text) {
    if (Failed()) {
        return false;
    }
    errno = 0;
    std::fwrite(text.data(), 1, text.size(), stdout);
    return !Failed();
}

bool FlushOut() {
    if (Failed()) {
        return false;
    }
    errno = 0;
    std::fflush(stdout);
    return !Failed();
}

int OutputFailed(std::string_view program) {
    std::fprintf(stderr, "%s: cannot write the standard output: %s\n", std::string(program).c_str(),
                 std::strerror(firstFailure != 0 ? firstFailure : EIO));
    return 1;
}

} // namespace max2870
