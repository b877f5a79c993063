// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Mesen's save states, which begin "MSS" and keep the console's state as a zlib-compressed body
// behind a header the programs keep as it is: Mesen-S's (0.x) as RetroArch's core data, where
// each component's values lie behind u32 lengths, and Mesen2's own files, whose body is a list of
// named records.

#include "byte_view.h"
#include "outcome.h"
#include "state_format.h"

namespace orvane {

// The version field tells the two apart: major below 2 is Mesen-S's.
bool IsMesenSState(ByteSpan data);
bool IsMesen2State(ByteSpan data);

// Taken when the version is 0.4.0 or older and the format one it loads (6 to 8), and the
// compressed body lies within the core's data with only zeros after it. Opening the body checks
// that it inflates to its size and holds the memory manager's work RAM.
Outcome<FormatFound> ReadMesenSState(ByteSpan data);

// Taken when the version is 2.1.1 or older, the format 3 or 4, the console the Super Nintendo,
// the picture inflates to its size and the body ends the file. Opening the body checks that it
// inflates to its size and that its records fill it, one of them work RAM.
Outcome<FormatFound> ReadMesen2State(ByteSpan data);

}  // namespace orvane
