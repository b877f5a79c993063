// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The seven party members and every number the editor knows each one by: the member bit that
// selects fields, the game's member index, the portrait and small picture ids and the string id
// of the tab caption. Every other place looks members up here.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orvane {

// One bit per party member, in the game's member order.
enum CharacterId : std::int32_t {
    kCrono = 1,
    kMarle = 2,
    kLucca = 4,
    kRobo = 8,
    kFrog = 16,
    kAyla = 32,
    kMagus = 64,
};

struct PartyMember {
    CharacterId id;
    int index;  // the game's member order: records, name slots and the face number
    std::string_view name;
    int portraitId;      // 103 to 109, by which the equipment lists know the member
    int smallPictureId;  // 123 to 129, numbered in the alphabetical order of the names
    int captionId;       // 1 to 7: the string table lists Frog before Robo
};

inline constexpr std::array<PartyMember, 7> kPartyMembers{{
    {kCrono, 0, "Crono", 105, 124, 1},
    {kMarle, 1, "Marle", 109, 128, 2},
    {kLucca, 2, "Lucca", 107, 126, 3},
    {kRobo, 3, "Robo", 103, 129, 5},
    {kFrog, 4, "Frog", 106, 125, 4},
    {kAyla, 5, "Ayla", 104, 123, 6},
    {kMagus, 6, "Magus", 108, 127, 7},
}};

// The face list and the field map take the table's order for the member index.
static_assert([] {
    for (std::size_t i = 0; i < kPartyMembers.size(); ++i) {
        if (kPartyMembers[i].index != static_cast<int>(i) || kPartyMembers[i].id != (1 << i)) {
            return false;
        }
    }
    return true;
}());

// Null for anything but the seven member bits.
constexpr const PartyMember* FindPartyMember(std::int32_t id) {
    for (const PartyMember& member : kPartyMembers) {
        if (member.id == id) {
            return &member;
        }
    }
    return nullptr;
}

// Null for anything but the portrait ids 103 to 109.
constexpr const PartyMember* FindPartyMemberByPortrait(int portraitId) {
    for (const PartyMember& member : kPartyMembers) {
        if (member.portraitId == portraitId) {
            return &member;
        }
    }
    return nullptr;
}

}  // namespace orvane
