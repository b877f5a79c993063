// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The data of RetroArch's snes9x2005 cores: the emulator's structures copied as they lie in
// memory, with no signature, names or lengths. Only its exact size tells it, and its layout
// belongs to one build of the core on one kind of machine (x86-64).

#include "byte_view.h"
#include "outcome.h"
#include "stream_layout.h"

namespace orvane {

// Whether the data has the size of a snes9x2005 build this program knows.
bool IsSnes9x2005Data(ByteSpan data);

// Work RAM and battery RAM at their fixed places in data of a known build's size.
Outcome<StreamLayout> ParseSnes9x2005Data(ByteSpan data);

}  // namespace orvane
