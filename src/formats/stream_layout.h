// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a parser of an emulator's decoded stream finds: where work RAM and battery RAM lie in it,
// and what wrote it, in words.

#include <cstddef>
#include <optional>
#include <string>

namespace orvane {

struct StreamLayout {
    std::size_t workRam = 0;                // 131072 bytes from here
    std::optional<std::size_t> batteryRam;  // 8192 bytes from here, where the state keeps them
    std::string writer;                     // "snes9x", "bsnes 115", "mednafen", ...
    std::string detail;                     // "format 12", "module snes_faust", or nothing

    // The same places in a stream that holds this one from `offset` on.
    StreamLayout MovedBy(std::size_t offset) const {
        StreamLayout moved = *this;
        moved.workRam += offset;
        if (moved.batteryRam) {
            *moved.batteryRam += offset;
        }
        return moved;
    }
};

}  // namespace orvane
