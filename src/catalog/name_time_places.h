// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the game keeps what both programs edit, the members' names and the play time, as places
// in the console's work RAM (the game's own address less 0x7E0000): one table for every
// emulator, since each format says where work RAM lies in its file.

#include <array>
#include <cstddef>
#include <cstdint>

#include "party_members.h"

namespace orvane {

constexpr std::size_t InWorkRam(std::uint32_t address) {
    return address - 0x7E0000;
}

// Seven slots of six bytes in the game's member order; a name is the first five.
inline constexpr std::size_t kNameSlotsStart = InWorkRam(0x7E2C23);
inline constexpr std::size_t kNameSlotSize = 6;
inline constexpr std::size_t kNameLength = 5;

constexpr std::size_t NameSlot(const PartyMember& member) {
    return kNameSlotsStart + kNameSlotSize * static_cast<std::size_t>(member.index);
}

// The play time is one decimal digit a byte, the minutes' units first, so HH:MM reads from the
// last place down.
enum PlayTimeDigit : std::size_t { kMinuteUnits, kMinuteTens, kHourUnits, kHourTens };
inline constexpr std::array<std::size_t, 4> kPlayTimeDigits = {
    InWorkRam(0x7E0402), InWorkRam(0x7E0403), InWorkRam(0x7E0404), InWorkRam(0x7E0405)};

}  // namespace orvane
