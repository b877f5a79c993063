// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Mesen's compressed bodies in the real states, taken out and put back with zlib's own functions
// rather than the programs' code: where each lies, behind its u32 size and u32 compressed size.

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>

#include "byte_view.h"
#include "fixtures.h"

namespace orvane::test {

// In Mesen-S's core data after "MSS", version (at 19 of the file), format (23), SHA-1, a byte and
// the file name; in Mesen2's file after the header, the picture (its frame size at 15, its
// stream's length at 31), the file name and the body's flag.
inline constexpr std::size_t kMesenSSizes = 82;
inline constexpr std::size_t kMesen2Sizes = 196;
// RetroArch's MEM block, which Mesen-S's core data fills, padded with zeros.
inline constexpr std::size_t kMesenSData = 16;

inline Bytes MesenBody(const Bytes& file, std::size_t sizes) {
    Bytes body(*Load32(file, sizes));
    uLongf length = body.size();
    EXPECT_EQ(uncompress(body.data(), &length, file.data() + sizes + 8, *Load32(file, sizes + 4)),
              Z_OK);
    EXPECT_EQ(length, body.size());
    return body;
}

// The file with `body` compressed at Mesen's level 1 in place of its own, `declared` its size;
// Mesen-S's core data keeps the length of RetroArch's MEM block.
inline void PutMesenBody(Bytes& file, std::size_t sizes, const Bytes& body, std::size_t declared) {
    Bytes stream(compressBound(body.size()));
    uLongf length = stream.size();
    ASSERT_EQ(compress2(stream.data(), &length, body.data(), body.size(), 1), Z_OK);
    stream.resize(length);
    const bool inBlock = sizes == kMesenSSizes;
    const std::size_t end = inBlock ? kMesenSData + *Load32(file, kMesenSData - 4)
                                    : sizes + 8 + *Load32(file, sizes + 4);
    Bytes out(file.begin(), file.begin() + std::ptrdiff_t(sizes + 8));
    out = Patched(out, LittleEndian(sizes, declared, 4));
    out = Patched(out, LittleEndian(sizes + 4, stream.size(), 4));
    out.insert(out.end(), stream.begin(), stream.end());
    if (inBlock) {
        out.resize(std::max(out.size(), end), 0);
    }
    out.insert(out.end(), file.begin() + std::ptrdiff_t(end), file.end());
    file = std::move(out);
}

}  // namespace orvane::test
