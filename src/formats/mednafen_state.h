// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// mednafen's state stream (gzip-compressed or plain): a 32-byte header, a preview picture, then
// named sections of named entries. The snes_faust module keeps work RAM as the entry WRAM of
// section SNES; the snes module keeps an old bsnes image as the entry OmniCat of section DATA.

#include "byte_view.h"
#include "outcome.h"
#include "stream_layout.h"

namespace orvane {

inline bool IsMednafenState(ByteSpan stream) {
    return StartsWith(stream, "MDFNSVST");
}

// Taken when the header's total length is the stream's, the preview and every section and entry
// lie within it, and exactly one module's work RAM is there, 131072 bytes long.
Outcome<StreamLayout> ParseMednafenState(ByteSpan stream);

}  // namespace orvane
