// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the game's fields lie, written down here from the game's own numbers rather than read
// from the model's tables, so that the tests check those tables.

#include <bit>
#include <cstddef>
#include <stdexcept>

#include "field_map.h"

namespace orvane::test {

struct RecordField {
    CharacterStat stat;
    std::uint32_t offset;  // within the member's 80-byte record
    std::size_t width;
};

inline constexpr RecordField kRecordFields[] = {
    {kStatFace, 0, 1},       {kStatCurrentHp, 3, 2},   {kStatMaxHp, 5, 2},
    {kStatCurrentMp, 7, 1},  {kStatMaxMp, 9, 1},       {kStatPower, 11, 1},
    {kStatStamina, 12, 1},   {kStatSpeed, 13, 1},      {kStatMagic, 14, 1},
    {kStatHit, 15, 1},       {kStatEvade, 16, 1},      {kStatMagicDefence, 17, 1},
    {kStatLevel, 18, 1},     {kStatExperience, 19, 3}, {kStatExperienceToNext, 43, 2},
    {kStatHelmet, 39, 1},    {kStatArmor, 40, 1},      {kStatWeapon, 41, 1},
    {kStatAccessory, 42, 1}, {kStatTechLeft, 45, 2},
};

// The member's place in the game's order; its bit is 1 << index.
inline std::size_t MemberIndex(CharacterId member) {
    return static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(member)));
}

// File offsets in a state of the oldest layout: the records one after another from 12819, the
// 6-byte name slots from 14390.
inline std::size_t RecordOffset(CharacterId member, CharacterStat stat) {
    for (const RecordField& field : kRecordFields) {
        if (field.stat == stat) {
            return 12819 + 80 * MemberIndex(member) + field.offset;
        }
    }
    throw std::out_of_range("no such stat");
}
inline std::size_t NameOffset(CharacterId member) {
    return 14390 + 6 * MemberIndex(member);
}

// ---- For the model's tests ----

inline constexpr CharacterId kMemberOrder[] = {kCrono, kMarle, kLucca, kRobo, kFrog, kAyla, kMagus};
inline constexpr std::size_t kInventoryIdsAt = 12307;      // one byte a slot, 243 slots
inline constexpr std::size_t kInventoryAmountsAt = 12563;  // likewise
// Work RAM starts here in the oldest layout; console address 0x7E0000 + (offset - this).
inline constexpr std::size_t kOldestWorkRam = 0xC13;

}  // namespace orvane::test
