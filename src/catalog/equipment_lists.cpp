// SPDX-License-Identifier: GPL-3.0-or-later
#include "equipment_lists.h"

#include <array>
#include <span>

namespace orvane {

namespace {

// A run applies to everyone (including ids outside 103 to 109) or to the members whose
// CharacterId bits it holds.
constexpr std::int32_t kEveryone = 0;

constexpr std::int32_t kHeavy = kRobo | kCrono | kFrog | kMagus;
constexpr std::int32_t kLight = kAyla | kLucca | kMarle;

struct EquipmentRun {
    EquipmentSlot slot;
    std::int32_t members;
    std::span<const std::uint8_t> ids;
};

constexpr std::uint8_t kArmorCommon[] = {91,  92,  95,  96,  97,  98,  101, 104, 105,
                                         110, 113, 114, 115, 116, 117, 118, 119, 120};
constexpr std::uint8_t kArmorHeavy[] = {93, 99, 103, 107, 109};
constexpr std::uint8_t kArmorLight[] = {94, 106, 100, 102, 108};
constexpr std::uint8_t kArmorLucca[] = {121, 122};
constexpr std::uint8_t kArmorMagus[] = {111, 112};

constexpr std::uint8_t kHelmetCommon[] = {124, 125, 126, 129, 130, 132, 133, 134, 138,
                                          140, 141, 142, 143, 144, 145, 146, 147};
constexpr std::uint8_t kHelmetHeavy[] = {128, 131, 136};
constexpr std::uint8_t kHelmetLight[] = {127};
constexpr std::uint8_t kHelmetLucca[] = {139};
constexpr std::uint8_t kHelmetMagus[] = {135, 137};

constexpr std::uint8_t kWeaponCrono[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                         11, 12, 13, 14, 15, 16, 79, 83, 84, 85};
constexpr std::uint8_t kWeaponMarle[] = {17, 18, 19, 20, 21, 22, 23, 24, 25, 26};
constexpr std::uint8_t kWeaponLucca[] = {31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41};
constexpr std::uint8_t kWeaponRobo[] = {46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57};
constexpr std::uint8_t kWeaponFrog[] = {59, 60, 61, 62, 63, 64, 65, 66, 67};
constexpr std::uint8_t kWeaponAyla[] = {68, 69, 70, 71, 72};
constexpr std::uint8_t kWeaponMagus[] = {75, 76, 77, 78};

constexpr std::uint8_t kAccessoryCommon[] = {149, 150, 151, 152, 153, 154, 155, 156,
                                             157, 158, 159, 160, 161, 162, 163, 164,
                                             166, 167, 168, 169, 170, 171, 172, 173};
constexpr std::uint8_t kAccessoryRobo[] = {175, 176};
constexpr std::uint8_t kAccessoryAyla[] = {165, 176, 177};
constexpr std::uint8_t kAccessoryFrog[] = {176, 178, 179};
constexpr std::uint8_t kAccessoryLucca[] = {174, 175, 177};
constexpr std::uint8_t kAccessoryMagus[] = {174, 175};
constexpr std::uint8_t kAccessoryMarle[] = {174, 177};
constexpr std::uint8_t kAccessoryTail[] = {180, 181, 182, 183, 186, 187};

using S = EquipmentSlot;

constexpr std::array<EquipmentRun, 25> kRuns{{
    {S::Armor, kEveryone, kArmorCommon},       {S::Armor, kHeavy, kArmorHeavy},
    {S::Armor, kLight, kArmorLight},           {S::Armor, kLucca, kArmorLucca},
    {S::Armor, kMagus, kArmorMagus},           {S::Helmet, kEveryone, kHelmetCommon},
    {S::Helmet, kHeavy, kHelmetHeavy},         {S::Helmet, kLight, kHelmetLight},
    {S::Helmet, kLucca, kHelmetLucca},         {S::Helmet, kMagus, kHelmetMagus},
    {S::Weapon, kCrono, kWeaponCrono},         {S::Weapon, kMarle, kWeaponMarle},
    {S::Weapon, kLucca, kWeaponLucca},         {S::Weapon, kRobo, kWeaponRobo},
    {S::Weapon, kFrog, kWeaponFrog},           {S::Weapon, kAyla, kWeaponAyla},
    {S::Weapon, kMagus, kWeaponMagus},         {S::Accessory, kEveryone, kAccessoryCommon},
    {S::Accessory, kRobo, kAccessoryRobo},     {S::Accessory, kAyla, kAccessoryAyla},
    {S::Accessory, kFrog, kAccessoryFrog},     {S::Accessory, kLucca, kAccessoryLucca},
    {S::Accessory, kMagus, kAccessoryMagus},   {S::Accessory, kMarle, kAccessoryMarle},
    {S::Accessory, kEveryone, kAccessoryTail},
}};

bool Applies(const EquipmentRun& run, int portraitId) {
    if (run.members == kEveryone) {
        return true;
    }
    const PartyMember* member = FindPartyMemberByPortrait(portraitId);
    return member != nullptr && (run.members & member->id) != 0;
}

}  // namespace

void FillEquipmentList(const ItemCatalog& catalog, EquipmentSlot slot, int portraitId,
                       const NameAppender& append) {
    for (const EquipmentRun& run : kRuns) {
        if (run.slot != slot || !Applies(run, portraitId)) {
            continue;
        }
        for (std::uint8_t id : run.ids) {
            if (const std::string* name = catalog.GetItemName(id)) {
                append(*name);
            }
        }
    }
}

}  // namespace orvane
