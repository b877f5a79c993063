// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RetroArch's state wrapper: "RASTATE" and a version byte, then tagged blocks padded to eight
// bytes; MEM holds the core's own data, END closes the list. Blocks it does not know (newer
// versions add achievements and replay data) are kept as they are.

#include "byte_view.h"
#include "outcome.h"

namespace orvane {

inline bool IsRaState(ByteSpan stream) {
    return StartsWith(stream, "RASTATE");
}

// Where the core's data lies in the stream.
struct RaStateMemory {
    std::size_t at;
    std::size_t length;
};

// Taken when the version is 1, every block lies within the stream, the list ends with END at the
// stream's end and there is exactly one MEM block.
Outcome<RaStateMemory> FindRaStateMemory(ByteSpan stream);

}  // namespace orvane
