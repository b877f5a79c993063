// SPDX-License-Identifier: GPL-3.0-or-later
// snes9x's block stream, and anything else: work RAM found is the data of a RAM block behind a
// known signature, battery RAM that of an SRA block, both inside the stream; then the whole
// stream as the programs open it.

#include "fuzz_states.h"
#include "snes9x_state.h"

using namespace orvane;
using namespace fuzzstates;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteSpan stream(data, size);
    const auto layout = ParseSnes9xStream(stream);
    if (layout) {
        Check(HasAt(stream, 0, "#!s9xsnp:001", 12) && (data[12] == '1' || data[12] == '2') &&
              data[13] == '\n');
        CheckInside(*layout, size);
        // Each block's data follows its 11-byte header, "NAM:length:".
        Check(layout->workRam >= 25 && HasAt(stream, layout->workRam - 11, "RAM:", 4) &&
              data[layout->workRam - 1] == ':');
        Check(!layout->batteryRam ||
              (*layout->batteryRam >= 25 && HasAt(stream, *layout->batteryRam - 11, "SRA:", 4) &&
               data[*layout->batteryRam - 1] == ':'));
    } else {
        CheckRefusal(layout);
    }
    CheckWholeState(stream, size);
    return 0;
}
