// SPDX-License-Identifier: GPL-3.0-or-later
// mednafen's section stream, and anything else: a stream taken is as long as its header says and
// has its preview picture, work RAM and battery RAM inside it; then the whole stream as the
// programs open it.

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
        Check((Little(stream, 20, 4) & 0x7FFFFFFFu) == size);
        // The preview picture, three bytes a pixel, lies inside the stream.
        const std::uint64_t width = Little(stream, 24, 4);
        const std::uint64_t height = Little(stream, 28, 4);
        Check(width == 0 || height <= (size - 32) / 3 / width);
        CheckInside(*layout, size);
        Check(layout->workRam >= 32);
    } else {
        CheckRefusal(layout);
    }
    CheckWholeState(stream, size);
    return 0;
}
