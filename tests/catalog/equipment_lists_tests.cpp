// SPDX-License-Identifier: GPL-3.0-or-later
#include "equipment_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "fixtures.h"

using namespace orvane;
using orvane::test::WarningRecorder;

namespace {

using Names = std::vector<std::string>;

// The portrait ids by which the lists know the members.
constexpr int kPortraitRobo = 103, kPortraitAyla = 104, kPortraitCrono = 105, kPortraitFrog = 106,
              kPortraitLucca = 107, kPortraitMagus = 108, kPortraitMarle = 109;

Names Fill(EquipmentSlot slot, int portraitId, WarningRecorder* warnings = nullptr) {
    ItemCatalog catalog;
    if (warnings != nullptr) {
        catalog.SetWarningSink(warnings->Sink());
    }
    Names names;
    FillEquipmentList(catalog, slot, portraitId, names);
    return names;
}

// The last n entries of a list.
Names Tail(const Names& names, std::size_t n) {
    return Names(names.end() - static_cast<std::ptrdiff_t>(std::min(n, names.size())), names.end());
}

constexpr int kAllMembers[] = {kPortraitRobo,  kPortraitAyla,  kPortraitCrono, kPortraitFrog,
                               kPortraitLucca, kPortraitMagus, kPortraitMarle};
constexpr EquipmentSlot kAllSlots[] = {EquipmentSlot::Armor, EquipmentSlot::Helmet,
                                       EquipmentSlot::Weapon, EquipmentSlot::Accessory};

TEST(EquipmentLists, LengthsPerMemberAndSlot) {
    // armor, helmet, weapon, accessory
    const std::map<int, std::array<std::size_t, 4>> expected = {
        {kPortraitRobo, {23, 20, 12, 32}},  {kPortraitAyla, {23, 18, 5, 33}},
        {kPortraitCrono, {23, 20, 20, 30}}, {kPortraitFrog, {23, 20, 9, 33}},
        {kPortraitLucca, {25, 19, 11, 33}}, {kPortraitMagus, {25, 22, 4, 32}},
        {kPortraitMarle, {23, 18, 10, 32}},
    };
    for (const auto& [member, lengths] : expected) {
        for (std::size_t s = 0; s < 4; ++s) {
            EXPECT_EQ(Fill(kAllSlots[s], member).size(), lengths[s])
                << "member " << member << " slot " << s;
        }
    }
}

TEST(EquipmentLists, OrdersKeepTheRunsAsGiven) {
    const Names crono = Fill(EquipmentSlot::Weapon, kPortraitCrono);
    ASSERT_EQ(crono.size(), 20u);
    EXPECT_EQ(crono.front(), "Wood Sword");
    EXPECT_EQ(crono.back(), "Rainbow");
    auto mop = std::find(crono.begin(), crono.end(), "Mop");
    ASSERT_NE(mop, crono.end());
    EXPECT_EQ(*(mop - 1), "Slasher");
    EXPECT_EQ(*(mop + 1), "Swallow");

    EXPECT_EQ(Tail(Fill(EquipmentSlot::Armor, kPortraitAyla), 5),
              (Names{"Maiden Suit", "Zodiac Cape", "Mist Robe", "Lumin Robe", "Prism Dress"}));
    EXPECT_EQ(Tail(Fill(EquipmentSlot::Armor, kPortraitLucca), 2),
              (Names{"Taban Vest", "Taban Suit"}));
    EXPECT_EQ(Tail(Fill(EquipmentSlot::Helmet, kPortraitLucca), 2), (Names{"Beret", "Taban Helm"}));
    EXPECT_EQ(Tail(Fill(EquipmentSlot::Helmet, kPortraitMagus), 5),
              (Names{"Gold Helm", "Glow Helm", "Dark Helm", "Doom Helm", "Gloom Helm"}));

    const Names accessories = Fill(EquipmentSlot::Accessory, kPortraitCrono);
    auto belt = std::find(accessories.begin(), accessories.end(), "Speed Belt");
    ASSERT_NE(belt, accessories.end());
    EXPECT_EQ(*(belt + 1), "Muscle Ring");
    EXPECT_EQ(accessories.back(), "Prism Spectacle");
    EXPECT_EQ(Fill(EquipmentSlot::Accessory, kPortraitAyla)[24], "Charm Top");
}

TEST(EquipmentLists, NoListOffersForbiddenOrRepeatedItemsAndAllNamesResolve) {
    const std::set<std::string> forbidden = {"<empty>",      "Bent Sword", "Bent Hilt",
                                             "Masamune III", "Relic",      "Seraph Song"};
    ItemCatalog catalog;
    WarningRecorder warnings;
    for (int member : kAllMembers) {
        for (EquipmentSlot slot : kAllSlots) {
            const Names names = Fill(slot, member, &warnings);
            const std::set<std::string> unique(names.begin(), names.end());
            EXPECT_EQ(unique.size(), names.size()) << "member " << member;
            for (const std::string& name : names) {
                EXPECT_EQ(forbidden.count(name), 0u) << name;
                EXPECT_LT(catalog.GetItemId(name), 188u) << name;
            }
        }
    }
    EXPECT_TRUE(warnings.texts.empty());
}

TEST(EquipmentLists, UnknownMemberGetsOnlyTheCommonRuns) {
    for (int id : {0, 102, 110, 123}) {
        EXPECT_EQ(Fill(EquipmentSlot::Armor, id).size(), 18u);
        EXPECT_EQ(Fill(EquipmentSlot::Helmet, id).size(), 17u);
        EXPECT_EQ(Fill(EquipmentSlot::Weapon, id).size(), 0u);
        EXPECT_EQ(Fill(EquipmentSlot::Accessory, id).size(), 30u);
    }
}

TEST(EquipmentLists, FillAppendsToWhatTheCallerHolds) {
    ItemCatalog catalog;
    Names names = {"already here"};
    FillEquipmentList(catalog, EquipmentSlot::Weapon, kPortraitMagus, names);
    EXPECT_EQ(names,
              (Names{"already here", "Dark Scythe", "Hurricane", "Star Scythe", "Doom Sickle"}));

    std::size_t calls = 0;
    FillEquipmentList(catalog, EquipmentSlot::Weapon, kPortraitAyla,
                      [&calls](const std::string&) { ++calls; });
    EXPECT_EQ(calls, 5u);
}

}  // namespace
