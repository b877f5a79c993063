// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's own battery save: 8 KiB of cartridge RAM holding the three slots of its Save and
// Continue screens, each with a checksum and a mark the game sets once it has saved the slot.
// Every emulator and cartridge keeps the same 8192 bytes. A slot holds four ranges of work RAM;
// opening a slot fills a work-RAM view from them, and saving writes the view back into the slot.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "byte_view.h"
#include "outcome.h"
#include "state_format.h"

namespace orvane {

inline constexpr std::size_t kBatterySaveSize = 8192;
inline constexpr std::size_t kSlotCount = 3;
inline constexpr std::size_t kSlotSize = 0xA00;
// The game writes the first bytes of a slot; the rest keeps what the memory held.
inline constexpr std::size_t kSlotWritten = 0x834;
inline constexpr std::size_t kLastSlotUsed = 0x1FE0;
inline constexpr std::size_t kSlotChecksums = 0x1FF0;  // u16 each
inline constexpr std::size_t kSlotMarks = 0x1FF8;      // u16 each
inline constexpr std::uint16_t kSavedMark = 0xE41B;

// A range of work RAM kept in every slot: slot bytes from slotOffset on hold the work RAM from
// the console address on.
struct SlotRange {
    std::size_t slotOffset;
    std::uint32_t address;
    std::size_t length;
};

inline constexpr std::array<SlotRange, 4> kSlotRanges{{
    {0x000, 0x7E2400, 0x5B0},  // inventory, members, techniques, party, saves
    {0x5B0, 0x7E2C23, 0x033},  // names, gold
    {0x5E3, 0x7E0400, 0x020},  // play time and what follows it
    {0x603, 0x7F0000, 0x200},  // story progress, silver points
}};

// Where a work-RAM place (console address less 0x7E0000) lies in a slot; nothing for a place
// that a battery save does not keep.
std::optional<std::size_t> SlotOffsetOf(std::size_t workRamPlace);

// The game's own: the slot's little-endian words added with the carry of each addition fed into
// the next, the last carry dropped.
std::uint16_t SlotChecksum(ByteSpan slot);

inline bool IsBatterySaveSize(ByteSpan data) {
    return data.size() == kBatterySaveSize;
}

// Taken when at least one slot is saved and whole: the mark, a matching checksum and data.
Outcome<FormatFound> ReadBatterySave(ByteSpan data);

}  // namespace orvane
