// The libFuzzer target of the check that MAX2870_FUZZ_CHECK names: a broken invariant aborts with
// the fault, and libFuzzer keeps the input.
#include "invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string fault =
        max2870::props::MAX2870_FUZZ_CHECK({reinterpret_cast<const char*>(data), size});
    if (!fault.empty())
        std::fprintf(stderr, "%s\n", fault.c_str()), std::abort();
    return 0;
}
