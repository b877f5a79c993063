// SPDX-License-Identifier: GPL-3.0-or-later
// bsnes serializer images, and anything else: an image taken has work RAM and battery RAM where
// bsnes 115 or bsnes-mercury keep them for the game's cartridge, inside the image; then the whole
// image as the programs open it, as RetroArch's core data alone.

#include "bsnes_state.h"
#include "fuzz_states.h"

using namespace orvane;
using namespace fuzzstates;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteSpan image(data, size);
    const auto layout = ParseBsnesImage(image);
    if (layout) {
        Check(HasAt(image, 0, "BST1", 4));
        CheckInside(*layout, size);
        Check((layout->workRam == 8836 && layout->batteryRam == 558) ||
              (layout->workRam == 19107 && layout->batteryRam == 600));
    } else {
        CheckRefusal(layout);
    }
    CheckWholeState(image, size);
    return 0;
}
