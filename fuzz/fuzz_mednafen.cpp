// SPDX-License-Identifier: GPL-3.0-or-later
// mednafen's section stream, and anything else: a stream taken is as long as its header says and
// has its preview picture, work RAM and battery RAM inside it; then the whole stream as the
// programs open it.

#include "fuzz_states.h"
#include "mednafen_state.h"

using namespace orvane;
using namespace fuzzstates;

namespace {

std::uint32_t Little32(const std::uint8_t* at) {
    return std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 |
           std::uint32_t{at[3]} << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteSpan stream(data, size);
    const auto layout = ParseMednafenState(stream);
    if (layout) {
        Check(size >= 32 && HasAt(stream, 0, "MDFNSVST", 8));
        // The total length's top bit marks the writer's byte order.
        Check((Little32(data + 20) & 0x7FFFFFFFu) == size);
        // The preview picture, three bytes a pixel, lies inside the stream.
        const std::uint64_t width = Little32(data + 24);
        const std::uint64_t height = Little32(data + 28);
        Check(width == 0 || height <= (size - 32) / 3 / width);
        CheckInside(*layout, size);
        Check(layout->workRam >= 32);
    } else {
        CheckRefusal(layout);
    }
    CheckWholeState(stream, size);
    return 0;
}
