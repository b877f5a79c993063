// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bsnes desktop program's .bsz: a ZIP of stored entries, one per quick state
// (Quick/Slot 1.bst to Quick/Slot 9.bst, and Quick/Undo.bst and Quick/Redo.bst, which it keeps
// for undoing a save). An entry is the word 0x5A220000, the lengths of its coded image and coded
// preview picture, then the two in bsnes's run-length coding; the image is bsnes 115's.

#include "byte_view.h"
#include "outcome.h"
#include "state_format.h"

namespace orvane {

// A ZIP file, by its first record: an entry's, or the end of an empty directory.
inline bool IsZipFile(ByteSpan data) {
    return StartsWith(data, "PK\x03\x04") || StartsWith(data, "PK\x05\x06");
}

// Taken when a quick state opens; the most recently written quick-save slot opens first, Undo
// or Redo only where no slot does.
Outcome<FormatFound> ReadBsz(ByteSpan data);

}  // namespace orvane
