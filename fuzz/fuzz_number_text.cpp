// Fuzzes the text readers (text to real and to integer) and checks that the
// number text of whatever they read reads back to the same value.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/number_text.h"
#include "core/rt_string.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RtString text;
    if (size > 0) {
        char* block = text.getBuffer(static_cast<uint32_t>(size));
        std::memcpy(block, data, size);
        block[size] = 0;
        text.recount();  // stops at an embedded zero byte, as a platform writer would
    }
    const double real = static_cast<double>(text);
    const int32_t integer = static_cast<int32_t>(text);

    // The number text holds ten significant digits: reading it back lands
    // within a relative 1e-9 of the value (exactly for integers).
    const RtString printed(real);
    const double again = vtx::TextToReal(printed.c_str());
    if (std::isfinite(real) && std::fabs(again - real) > std::fabs(real) * 1e-9) std::abort();
    if (std::isnan(real)) std::abort();  // the reader never makes NaN

    const RtString printedInteger(integer);
    if (vtx::TextToInteger(printedInteger.c_str()) != integer) std::abort();
    return 0;
}
