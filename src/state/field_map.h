// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where every game value the editor knows lies in a save state, how wide it is, and the selectors
// (member bits, stat and general field numbers, member-set keys) that name them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "name_time_places.h"
#include "party_members.h"

namespace orvane {

enum CharacterStat : std::int32_t {
    kStatFace = 0,
    kStatCurrentHp = 1,
    kStatMaxHp = 2,
    kStatCurrentMp = 3,
    kStatMaxMp = 4,
    kStatPower = 5,
    kStatStamina = 6,
    kStatSpeed = 7,
    kStatMagic = 8,
    kStatHit = 9,
    kStatEvade = 10,
    kStatMagicDefence = 11,
    kStatLevel = 12,
    kStatExperience = 13,
    kStatExperienceToNext = 14,
    kStatHelmet = 15,
    kStatArmor = 16,
    kStatWeapon = 17,
    kStatAccessory = 18,
    kStatTechLeft = 19,
};

enum GeneralField : std::int32_t {
    kGeneralGold = 0,
    kGeneralSilverPoints = 1,
    kGeneralSaves = 2,
    kGeneralMinuteUnits = 3,
    kGeneralMinuteTens = 4,
    kGeneralHourUnits = 5,
    kGeneralHourTens = 6,
};

// The bitwise OR of two or three CharacterId values naming a dual or triple technique.
using MemberSetKey = std::int32_t;

struct Field {
    std::size_t offset;
    std::size_t width;  // 1, 2 or 3 bytes; a name's five
};

// Every place is in the console's work RAM (InWorkRam), so one table serves the states of every
// emulator. Each member has an 80-byte record, a name slot and a tech level byte, one after the
// other in the game's member order.
inline constexpr std::size_t kRecordsStart = InWorkRam(0x7E2600);
inline constexpr std::size_t kRecordSize = 80;
inline constexpr std::size_t kTechLevelsStart = InWorkRam(0x7E2837);

// Where a member's own fields start.
struct MemberInfo {
    CharacterId id;
    std::size_t recordStart;
    std::size_t nameSlot;
    std::size_t techLevel;
};

inline constexpr std::array<MemberInfo, 7> kMembers = [] {
    std::array<MemberInfo, 7> members{};
    for (std::size_t i = 0; i < members.size(); ++i) {
        const PartyMember& member = kPartyMembers[i];
        const auto index = static_cast<std::size_t>(member.index);
        members[i] = {member.id, kRecordsStart + kRecordSize * index, NameSlot(member),
                      kTechLevelsStart + index};
    }
    return members;
}();

// Offsets within a member's record, by CharacterStat. The equipment bytes lie before the
// experience to the next level although their selectors come after it.
inline constexpr std::array<Field, 20> kStatFields{{
    {0, 1},  {3, 2},  {5, 2},  {7, 1},  {9, 1},  {11, 1}, {12, 1}, {13, 1}, {14, 1}, {15, 1},
    {16, 1}, {17, 1}, {18, 1}, {19, 3}, {43, 2}, {39, 1}, {40, 1}, {41, 1}, {42, 1}, {45, 2},
}};

// By GeneralField. The play time is one decimal digit per byte, least significant first.
inline constexpr std::array<Field, 7> kGeneralFields{{
    {InWorkRam(0x7E2C53), 3},
    {InWorkRam(0x7F0052), 1},
    {InWorkRam(0x7E299C), 2},
    {kPlayTimeDigits[kMinuteUnits], 1},
    {kPlayTimeDigits[kMinuteTens], 1},
    {kPlayTimeDigits[kHourUnits], 1},
    {kPlayTimeDigits[kHourTens], 1},
}};

inline constexpr int kInventorySlots = 243;
inline constexpr std::size_t kInventoryIdStart = InWorkRam(0x7E2400);
inline constexpr std::size_t kInventoryAmountStart = InWorkRam(0x7E2500);

struct ComboTechInfo {
    MemberSetKey key;
    std::size_t offset;
};

// Pair bytes first, then triples; Lucca with Frog is the last pair.
// The block follows the members' tech level bytes.
inline constexpr std::array<ComboTechInfo, 24> kComboTechs = [] {
    constexpr MemberSetKey keys[] = {3,  5,  9,  17, 33, 6,  10, 18, 34, 12, 36, 24,
                                     40, 48, 20, 7,  11, 19, 35, 13, 21, 37, 25, 41};
    std::array<ComboTechInfo, 24> techs{};
    for (std::size_t i = 0; i < techs.size(); ++i) {
        techs[i] = {keys[i], InWorkRam(0x7E283E) + i};
    }
    return techs;
}();

inline constexpr std::size_t kDualTechCount = 15;
inline constexpr std::size_t kTripleTechCount = 9;

// Null for anything but the seven member bits.
constexpr const MemberInfo* FindMember(std::int32_t id) {
    for (const MemberInfo& member : kMembers) {
        if (member.id == id) {
            return &member;
        }
    }
    return nullptr;
}

constexpr std::optional<std::size_t> FindComboTechOffset(MemberSetKey key) {
    for (const ComboTechInfo& tech : kComboTechs) {
        if (tech.key == key) {
            return tech.offset;
        }
    }
    return std::nullopt;
}

// Every place the accessors read or write, with its width: the tables above, and the name slots'
// five letters. A table added above joins here, so that what holds for every field can be
// checked (a battery save keeps only some ranges of work RAM).
inline std::vector<Field> EveryField() {
    std::vector<Field> fields(kGeneralFields.begin(), kGeneralFields.end());
    for (const MemberInfo& member : kMembers) {
        for (const Field& stat : kStatFields) {
            fields.push_back({member.recordStart + stat.offset, stat.width});
        }
        fields.push_back({member.nameSlot, kNameLength});
        fields.push_back({member.techLevel, 1});
    }
    for (std::size_t slot = 0; slot < static_cast<std::size_t>(kInventorySlots); ++slot) {
        fields.push_back({kInventoryIdStart + slot, 1});
        fields.push_back({kInventoryAmountStart + slot, 1});
    }
    for (const ComboTechInfo& tech : kComboTechs) {
        fields.push_back({tech.offset, 1});
    }
    return fields;
}

// A technique level n is stored as n one-bits from bit 7 downward.
constexpr std::uint8_t EncodeTechLevel(int level) {
    if (level <= 0) {
        return 0x00;
    }
    if (level >= 8) {
        return 0xFF;
    }
    return static_cast<std::uint8_t>(0xFF00u >> level);
}

// The level of a legal technique byte, or nothing for a byte that is not n high one-bits.
constexpr std::optional<int> DecodeTechLevel(std::uint8_t byte) {
    for (int level = 0; level <= 8; ++level) {
        if (EncodeTechLevel(level) == byte) {
            return level;
        }
    }
    return std::nullopt;
}

inline constexpr std::uint8_t kTripleTechLearned = 0x80;

}  // namespace orvane
