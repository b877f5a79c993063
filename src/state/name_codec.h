// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's one-byte letter codes for the members' five-letter names.

#include <cstddef>
#include <cstdint>

#include "name_time_places.h"

namespace orvane {

struct NameCodec {
    static constexpr std::size_t kNameLength = orvane::kNameLength;

    // Letters decode to themselves; every other byte reads as a space.
    static constexpr char Decode(std::uint8_t byte) {
        if (byte >= 0xA0 && byte <= 0xB9) {
            return static_cast<char>(byte - 0x5F);
        }
        if (byte >= 0xBA && byte <= 0xD3) {
            return static_cast<char>(byte - 0x59);
        }
        return ' ';
    }

    // A-Z and a-z have codes; a space and every other character are stored as 0x00.
    static constexpr std::uint8_t Encode(char32_t ch) {
        if (ch >= U'A' && ch <= U'Z') {
            return static_cast<std::uint8_t>(ch + 0x5F);
        }
        if (ch >= U'a' && ch <= U'z') {
            return static_cast<std::uint8_t>(ch + 0x59);
        }
        return 0x00;
    }
};

}  // namespace orvane
