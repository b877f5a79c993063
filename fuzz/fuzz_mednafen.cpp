// SPDX-License-Identifier: GPL-3.0-or-later
// mednafen's section stream, and anything else: a stream taken is as long as its header says and
// has work RAM and battery RAM inside it; then the whole stream as the programs open it.

#include "fuzz_states.h"
#include "mednafen_state.h"

using namespace orvane;
using namespace fuzzstates;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteSpan stream(data, size);
    const auto layout = ParseMednafenState(stream);
    if (layout) {
        Check(size >= 32 && HasAt(stream, 0, "MDFNSVST", 8));
        // The total length's top bit marks the writer's byte order.
        Check((std::size_t{data[20]} | std::size_t{data[21]} << 8 | std::size_t{data[22]} << 16 |
               std::size_t{data[23] & 0x7Fu} << 24) == size);
        CheckInside(*layout, size);
        Check(layout->workRam >= 32);
    } else {
        CheckRefusal(layout);
    }
    CheckWholeState(stream, size);
    return 0;
}
