// SPDX-License-Identifier: GPL-3.0-or-later
// RetroArch's RASTATE wrapper, and anything else: the core's data found is the one MEM block's,
// within the stream, and the stream ends with an empty END block; then the whole stream as the
// programs open it, with the core's data inside.

#include "fuzz_states.h"
#include "rastate.h"

using namespace orvane;
using namespace fuzzstates;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteSpan stream(data, size);
    const auto memory = FindRaStateMemory(stream);
    if (memory) {
        Check(HasAt(stream, 0, "RASTATE\x01", 8));
        Check(memory->at >= 16 && memory->at <= size && memory->length <= size - memory->at);
        const std::size_t header = memory->at - 8;
        Check(HasAt(stream, header, "MEM ", 4));
        Check(Little(stream, header + 4, 4) == memory->length);
        Check(HasAt(stream, size - 8, "END \0\0\0\0", 8));
    } else {
        CheckRefusal(memory);
    }
    CheckWholeState(stream, size);
    return 0;
}
