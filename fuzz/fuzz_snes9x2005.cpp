// SPDX-License-Identifier: GPL-3.0-or-later
// snes9x2005's core data, and anything else: data taken has the exact size of a known build and
// work RAM and battery RAM at the core's fixed places; then the whole data as the programs open
// it, as RetroArch's core data alone and inside RetroArch's wrapper, taken in both or in neither.

#include "fuzz_states.h"
#include "snes9x2005_state.h"

using namespace orvane;
using namespace fuzzstates;

namespace {

// The data in a RASTATE wrapper as RetroArch 1.14 writes it: MEM padded to eight bytes, END.
Bytes Wrapped(ByteSpan core) {
    const std::string head = "RASTATE\x01MEM ";
    Bytes stream(head.begin(), head.end());
    Store32(stream, static_cast<std::uint32_t>(core.size()));
    stream.insert(stream.end(), core.begin(), core.end());
    stream.resize(stream.size() + (8 - core.size() % 8) % 8, 0);
    const std::string end("END \0\0\0\0", 8);
    stream.insert(stream.end(), end.begin(), end.end());
    return stream;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteSpan core(data, size);
    const auto layout = ParseSnes9x2005Data(core);
    if (layout) {
        Check(size == 562192 || size == 564544);
        CheckInside(*layout, size);
        Check(layout->workRam == 68684 && layout->batteryRam == 199756);
    } else {
        Check(size != 562192 && size != 564544);
        CheckRefusal(layout);
    }
    CheckWholeState(core, size);

    // Another core's signature decides before the size does.
    if (HasAt(core, 0, "#!s9xsnp:", 9) || HasAt(core, 0, "#!snes9x:", 9) ||
        HasAt(core, 0, "BST1", 4)) {
        return 0;
    }
    const Bytes stream = Wrapped(core);
    const auto wrapped = DecodedState::Decode(stream);
    Check(static_cast<bool>(wrapped) == static_cast<bool>(layout));
    if (wrapped) {
        Check(wrapped->Layout().workRam == 16 + layout->workRam &&
              wrapped->Layout().batteryRam == 16 + *layout->batteryRam);
    }
    CheckWholeState(stream, size);
    return 0;
}
