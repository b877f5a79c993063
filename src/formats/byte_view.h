// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bounds-checked reads of the numbers and texts that the containers' headers hold.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

using Bytes = std::vector<std::uint8_t>;
using ByteSpan = std::span<const std::uint8_t>;

// Everything decoded is held to this size: ten times the largest stream a real state has, so a
// length field or a compressed stream that claims more is refused before memory is taken for it.
inline constexpr std::size_t kDecodeLimit = 16u << 20;

inline std::string MebibytesText(std::size_t bytes) {
    return std::to_string(bytes >> 20) + " MiB";
}

// The console's 128 KiB of work RAM and the game's 8 KiB of battery RAM.
inline constexpr std::size_t kWorkRamSize = 131072;
inline constexpr std::size_t kBatteryRamSize = 8192;

inline bool Fits(ByteSpan bytes, std::size_t at, std::size_t length) {
    return at <= bytes.size() && length <= bytes.size() - at;
}

inline bool StartsWith(ByteSpan bytes, std::string_view text, std::size_t at = 0) {
    if (!Fits(bytes, at, text.size())) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (bytes[at + i] != static_cast<std::uint8_t>(text[i])) {
            return false;
        }
    }
    return true;
}

// Little-endian unsigned values of `width` bytes; nothing when they run past the end.
inline std::optional<std::uint64_t> LoadLittle(ByteSpan bytes, std::size_t at, std::size_t width) {
    if (!Fits(bytes, at, width)) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) {
        value = value << 8 | bytes[at + i];
    }
    return value;
}

inline std::optional<std::uint32_t> Load32(ByteSpan bytes, std::size_t at) {
    const auto value = LoadLittle(bytes, at, 4);
    return value ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*value)) : std::nullopt;
}

// Writes `value` little-endian into the `width` bytes at `at`, which the caller has room for.
inline void StoreLittle(std::span<std::uint8_t> bytes, std::size_t at, std::uint64_t value,
                        std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

inline void AppendLittle(Bytes& out, std::uint64_t value, std::size_t width) {
    out.resize(out.size() + width);
    StoreLittle(out, out.size() - width, value, width);
}

inline void Store32(Bytes& out, std::uint32_t value) {
    AppendLittle(out, value, 4);
}

// The bytes up to the first zero as text, for a name field of fixed width.
inline std::string_view TextField(ByteSpan bytes, std::size_t at, std::size_t width) {
    if (!Fits(bytes, at, width)) {
        return {};
    }
    const auto* start = reinterpret_cast<const char*>(bytes.data() + at);
    std::size_t length = 0;
    while (length < width && start[length] != '\0') {
        ++length;
    }
    return {start, length};
}

// Text for a message: bytes outside printable ASCII become '?'.
inline std::string Printable(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c < ' ' || c > '~') {
            c = '?';
        }
    }
    return out;
}

}  // namespace orvane
