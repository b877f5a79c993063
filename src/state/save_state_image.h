#pragma once
// The save-state file held in memory byte for byte: an offset in the image is the file offset.

#include <array>
#include <cstddef>
#include <cstdint>

namespace orvane {

inline constexpr std::size_t kImageSize = 274047;

using SaveStateImage = std::array<std::uint8_t, kImageSize>;

}  // namespace orvane
