// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's technique names: each member's eight single techniques, the three dual techniques
// of each pair and the nine triple techniques, keyed as the technique bytes are.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "field_map.h"

namespace orvane {

inline constexpr int kSingleTechLevels = 8;
inline constexpr int kDualTechLevels = 3;

struct SingleTechInfo {
    CharacterId member;
    std::array<std::string_view, kSingleTechLevels> names;  // learned in this order, level 1 first
};

// In member order. A leading "*" marks a magic technique, as the game lists them.
inline constexpr std::array<SingleTechInfo, 7> kSingleTechs{{
    {kCrono,
     {"Cyclone", "Slash", "*Lightning", "Spincut", "*Lightning 2", "*Life", "Confuse",
      "Luminaire"}},
    {kMarle, {"Aura", "Provoke", "*Ice", "*Cure", "*Haste", "*Ice 2", "*Cure 2", "*Life 2"}},
    {kLucca,
     {"Flame Toss", "Hypno Wave", "*Fire", "Napalm", "*Protect", "*Fire 2", "Mega Bomb", "*Flare"}},
    {kRobo,
     {"Rocket Punch", "Cure Beam", "Laser Spin", "Robo Tackle", "Heal Beam", "Uzzi Punch",
      "Area Bomb", "Shock"}},
    {kFrog,
     {"Slurp", "Slurp Cut", "*Water", "*Heal", "Leap Slash", "*Water 2", "*Cure 2", "Frog Squash"}},
    {kAyla,
     {"Kiss", "Rollo Kick", "Cat Attack", "Rock Throw", "Charm", "Tail Spin", "Dino Tail",
      "Triple Kick"}},
    {kMagus,
     {"*Lightning 2", "*Ice 2", "*Fire 2", "*Dark Bomb", "*Magic Wall", "*Dark Mist", "*Black Hole",
      "*Dark Matter"}},
}};

struct DualTechInfo {
    MemberSetKey key;
    std::array<CharacterId, 2> members;  // in the order the game pictures them
    std::array<std::string_view, kDualTechLevels> names;
};

// In the order of their bytes.
inline constexpr std::array<DualTechInfo, kDualTechCount> kDualTechs{{
    {3, {kCrono, kMarle}, {"Aura Whirl", "Ice Sword", "Ice Sword 2"}},
    {5, {kCrono, kLucca}, {"Fire Whirl", "Fire Sword", "Fire Sword 2"}},
    {9, {kCrono, kRobo}, {"Rocket Roll", "Max Cyclone", "Super Volt"}},
    {17, {kCrono, kFrog}, {"X Strike", "Sword Stream", "Spire"}},
    {33, {kCrono, kAyla}, {"Drill Kick", "Vote Bite", "Falcon Hit"}},
    {6, {kMarle, kLucca}, {"Antipode", "Antipode 2", "Antipode 3"}},
    {10, {kMarle, kRobo}, {"Aura Beam", "Ice Tackle", "Cure Touch"}},
    {18, {kMarle, kFrog}, {"Ice Water", "Glacier", "Double Cure"}},
    {34, {kMarle, kAyla}, {"Twin Charm", "Ice Toss", "Cube Toss"}},
    {12, {kLucca, kRobo}, {"Fire Punch", "Fire Tackle", "Double Bomb"}},
    {36, {kLucca, kAyla}, {"Flame Kick", "Fire Whirl", "Blaze Kick"}},
    {24, {kRobo, kFrog}, {"Blade Toss", "Bubble Snap", "Cure Wave"}},
    {40, {kRobo, kAyla}, {"Boogie", "Spin Kick", "Beast Toss"}},
    {48, {kFrog, kAyla}, {"Slurp Kiss", "Bubble Hit", "Drop Kick"}},
    {20, {kFrog, kLucca}, {"Red Pin", "Line Bomb", "Frog Flame"}},
}};

struct TripleTechInfo {
    MemberSetKey key;
    std::array<CharacterId, 3> members;
    std::string_view name;
};

// In the order of their bytes, which follow the dual ones.
inline constexpr std::array<TripleTechInfo, kTripleTechCount> kTripleTechs{{
    {7, {kCrono, kMarle, kLucca}, "Delta Force"},
    {11, {kCrono, kMarle, kRobo}, "Lifeline"},
    {19, {kCrono, kMarle, kFrog}, "Arc Impulse"},
    {35, {kCrono, kMarle, kAyla}, "Final Kick"},
    {13, {kCrono, kLucca, kRobo}, "Fire Zone"},
    {21, {kCrono, kLucca, kFrog}, "Delta Storm"},
    {37, {kCrono, kLucca, kAyla}, "Gatling Kick"},
    {25, {kCrono, kRobo, kFrog}, "Triple Raid"},
    {41, {kCrono, kRobo, kAyla}, "Twister"},
}};

// The level of a dual technique byte, or nothing for a byte with more than three high bits or
// bits that are not high ones.
constexpr std::optional<int> DecodeDualTechLevel(std::uint8_t byte) {
    const std::optional<int> level = DecodeTechLevel(byte);
    return level && *level <= kDualTechLevels ? level : std::nullopt;
}

namespace detail {

template <std::size_t N>
constexpr bool KeysMatchMembers(const auto& table) {
    for (const auto& tech : table) {
        MemberSetKey key = 0;
        for (CharacterId member : tech.members) {
            key |= member;
        }
        if (key != tech.key) {
            return false;
        }
    }
    return table.size() == N;
}

constexpr bool FollowsByteOrder() {
    for (std::size_t i = 0; i < kDualTechCount; ++i) {
        if (kDualTechs[i].key != kComboTechs[i].key) {
            return false;
        }
    }
    for (std::size_t i = 0; i < kTripleTechCount; ++i) {
        if (kTripleTechs[i].key != kComboTechs[kDualTechCount + i].key) {
            return false;
        }
    }
    return true;
}

}  // namespace detail

static_assert(detail::KeysMatchMembers<kDualTechCount>(kDualTechs));
static_assert(detail::KeysMatchMembers<kTripleTechCount>(kTripleTechs));
static_assert(detail::FollowsByteOrder());

}  // namespace orvane
