// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// bsnes's run-length coding of the states in its .bsz files: a u64 LE decoded length, then runs.
// A byte n below 128 is followed by n + 1 literal bytes; a byte n of 128 or more by one byte
// repeated (n & 127) + 4 times. (bsnes codes its preview pictures in 2-byte units; those are kept
// as read, never decoded.)

#include <cstddef>
#include <cstdint>

#include "byte_view.h"
#include "outcome.h"

namespace orvane {

struct BsnesRleDecoded {
    std::size_t size = 0;  // the declared length, which the runs give exactly
    Bytes head;            // the first bytes decoded, as many as asked for
};

// Every run is checked, whatever is kept: refused where the declared length passes the limit,
// a run passes it, or the coding ends before it. Bytes after the last run are not looked at.
Outcome<BsnesRleDecoded> DecodeBsnesRle(ByteSpan coded, std::size_t keep = SIZE_MAX,
                                        std::size_t limit = kDecodeLimit);

// Whether the coding is whole and decodes to exactly data; it stops at the first byte that
// differs.
bool BsnesRleGives(ByteSpan coded, ByteSpan data);

// Appends the coding of data to out as bsnes writes it: a run wherever four or more equal bytes
// follow one another, literals up to 128 at a time in between.
void EncodeBsnesRle(ByteSpan data, Bytes& out);

}  // namespace orvane
