// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// snes9x's state stream, which its own files (gzip or plain) and RetroArch's snes9x cores hold:
// a signature with the format's version, then named blocks with decimal lengths. snes9x2002
// writes the same blocks behind an older signature.

#include "byte_view.h"
#include "outcome.h"
#include "stream_layout.h"

namespace orvane {

inline bool IsSnes9xStream(ByteSpan stream) {
    return StartsWith(stream, "#!s9xsnp:");
}

inline bool IsOldSnes9xStream(ByteSpan stream) {
    return StartsWith(stream, "#!snes9x:");
}

// Taken when the signature holds a known format (0007 to 0012; 0001 behind the older signature),
// the blocks fill the stream exactly and there is one RAM block of exactly 131072 bytes, wherever
// the blocks before it put it; battery RAM is the start of block SRA.
Outcome<StreamLayout> ParseSnes9xStream(ByteSpan stream);

}  // namespace orvane
