// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Unsigned little-endian values of 2 and 3 bytes at a position in the image; writing keeps the
// low 16 or 24 bits of the value.

#include <cstddef>
#include <cstdint>

#include "save_state_image.h"

namespace orvane {

inline std::uint32_t Read16(const SaveStateImage& image, std::size_t pos) {
    return image.at(pos) + 256u * image.at(pos + 1);
}

inline std::uint32_t Read24(const SaveStateImage& image, std::size_t pos) {
    return image.at(pos) + 256u * image.at(pos + 1) + 65536u * image.at(pos + 2);
}

inline void Write16(SaveStateImage& image, std::size_t pos, std::uint32_t value) {
    image.at(pos) = static_cast<std::uint8_t>(value % 256);
    image.at(pos + 1) = static_cast<std::uint8_t>((value / 256) % 256);
}

inline void Write24(SaveStateImage& image, std::size_t pos, std::uint32_t value) {
    image.at(pos) = static_cast<std::uint8_t>(value % 256);
    image.at(pos + 1) = static_cast<std::uint8_t>((value % 65536) / 256);
    image.at(pos + 2) = static_cast<std::uint8_t>((value / 65536) % 256);
}

}  // namespace orvane
