// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RetroArch's RZIP compression: a header with the chunk size and the decoded size, then each
// chunk of the stream as its own zlib stream.

#include <vector>

#include "byte_view.h"
#include "outcome.h"

namespace orvane {

inline bool IsRzip(ByteSpan file) {
    return StartsWith(file, std::string_view("#RZIPv\x01#", 8));
}

// Where a chunk's zlib stream lies in the file.
struct RzipChunk {
    std::size_t at;
    std::size_t length;
};

struct RzipFile {
    std::uint32_t chunkSize = 0;
    Bytes stream;
    std::vector<RzipChunk> chunks;
};

// Takes the file only when every chunk but the last decodes to exactly the chunk size, the
// chunks add up to the decoded size of the header, and nothing follows them.
Outcome<RzipFile> DecodeRzip(ByteSpan file, std::size_t limit = kDecodeLimit);

// A file decoded before, so that a chunk whose decoded bytes are unchanged keeps its compressed
// bytes as they were.
struct RzipOriginal {
    ByteSpan file;
    ByteSpan stream;
    std::span<const RzipChunk> chunks;
};

// Encodes `stream` in chunks of `chunkSize`, each deflated at level 6 unless `original` has it
// unchanged; false only when there is no memory.
bool EncodeRzip(std::uint32_t chunkSize, ByteSpan stream, Bytes& out,
                const RzipOriginal* original = nullptr);

}  // namespace orvane
