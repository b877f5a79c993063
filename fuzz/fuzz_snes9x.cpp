// SPDX-License-Identifier: GPL-3.0-or-later
// snes9x's block stream, and anything else: work RAM found is the data of a RAM block behind a
// known signature and format, battery RAM that of an SRA block, both inside the stream; then the
// whole stream as the programs open it.

#include "fuzz_states.h"
#include "snes9x_state.h"

using namespace orvane;
using namespace fuzzstates;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteSpan stream(data, size);
    const auto layout = ParseSnes9xStream(stream);
    if (layout) {
        // Formats 0007 to 0012, or 0001 behind the older signature.
        const bool current = HasAt(stream, 0, "#!s9xsnp:00", 11) &&
                             ((data[11] == '0' && data[12] >= '7' && data[12] <= '9') ||
                              (data[11] == '1' && data[12] >= '0' && data[12] <= '2'));
        Check((current || HasAt(stream, 0, "#!snes9x:0001", 13)) && data[13] == '\n');
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
