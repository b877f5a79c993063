// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Unsigned little-endian values of 2 and 3 bytes at a position in work RAM; writing keeps the
// low 16 or 24 bits of the value.

#include <cstddef>
#include <cstdint>
#include <span>

namespace orvane {

inline std::uint32_t Read16(std::span<const std::uint8_t> bytes, std::size_t pos) {
    return bytes[pos] + 256u * bytes[pos + 1];
}

inline std::uint32_t Read24(std::span<const std::uint8_t> bytes, std::size_t pos) {
    return bytes[pos] + 256u * bytes[pos + 1] + 65536u * bytes[pos + 2];
}

inline void Write16(std::span<std::uint8_t> bytes, std::size_t pos, std::uint32_t value) {
    bytes[pos] = static_cast<std::uint8_t>(value % 256);
    bytes[pos + 1] = static_cast<std::uint8_t>((value / 256) % 256);
}

inline void Write24(std::span<std::uint8_t> bytes, std::size_t pos, std::uint32_t value) {
    bytes[pos] = static_cast<std::uint8_t>(value % 256);
    bytes[pos + 1] = static_cast<std::uint8_t>((value % 65536) / 256);
    bytes[pos + 2] = static_cast<std::uint8_t>((value / 65536) % 256);
}

}  // namespace orvane
