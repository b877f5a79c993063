// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One gzip member (RFC 1952), the compression of snes9x's and mednafen's states.

#include "byte_view.h"
#include "outcome.h"

namespace orvane {

inline bool IsGzip(ByteSpan file) {
    return file.size() >= 2 && file[0] == 0x1F && file[1] == 0x8B;
}

struct GzipMember {
    // Every byte before the deflate data, kept as read: time, system byte, any name or comment.
    Bytes header;
    Bytes stream;
};

// Takes the file only when it is exactly one member whose CRC-32 and length hold, decoding to at
// most `limit` bytes.
Outcome<GzipMember> DecodeGzip(ByteSpan file, std::size_t limit = kDecodeLimit);

// The header as given, the stream deflated at level 6, its CRC-32 and length; false only when
// there is no memory.
bool EncodeGzip(ByteSpan header, ByteSpan stream, Bytes& out);

}  // namespace orvane
