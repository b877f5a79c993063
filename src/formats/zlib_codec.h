// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// zlib's inflate and deflate as the containers use them: raw deflate inside gzip, zlib streams
// inside RZIP and Mesen's states, each deflated at its emulator's level.

#include <cstddef>
#include <cstdint>
#include <span>

#include "byte_view.h"

namespace orvane {

enum class ZlibWrapper {
    Raw,   // bare deflate data, as gzip holds it
    Zlib,  // a two-byte header and an Adler-32 check around it
};

enum class InflateStatus {
    Ended,       // the stream ended, its check (if any) held
    OutputFull,  // the stream goes on past the room it was given
    InputEnded,  // the compressed data ends before the stream does
    Damaged,     // not a valid stream, or a wrong check
};

// Inflates the stream at the start of `in` into `out`. `produced` and `consumed` say how many
// bytes came out and went in, whatever the status.
InflateStatus InflateInto(ByteSpan in, ZlibWrapper wrapper, std::span<std::uint8_t> out,
                          std::size_t& produced, std::size_t& consumed);

// Inflates the stream at the start of `in` only to see that it is whole and how much it gives, up
// to `limit` (OutputFull past it); what comes out is not kept.
InflateStatus InflateCounting(ByteSpan in, ZlibWrapper wrapper, std::size_t limit,
                              std::size_t& produced, std::size_t& consumed);

// Inflates the stream at the start of `in` into `out`, which grows as needed but never past
// `limit` (OutputFull then). `expected` is the size to make room for first.
InflateStatus InflateAll(ByteSpan in, ZlibWrapper wrapper, std::size_t limit, std::size_t expected,
                         Bytes& out, std::size_t& consumed);

// zlib's default level re-creates the gzip and RZIP files of snes9x, mednafen and RetroArch byte
// for byte. Mesen deflates at level 1 with a deflate of its own, whose bytes zlib's level 1 does
// not re-create, but which it loads alike.
inline constexpr int kDefaultLevel = 6;
inline constexpr int kMesenLevel = 1;

// Appends `in` deflated at `level`; false only when zlib has no memory.
bool DeflateAppend(ByteSpan in, ZlibWrapper wrapper, int level, Bytes& out);

std::uint32_t Crc32(ByteSpan bytes);

}  // namespace orvane
