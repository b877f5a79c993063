#include "equipment_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "warning_recorder.h"

using namespace orvane;

namespace {

using Names = std::vector<std::string>;

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

constexpr int kAllMembers[] = {portrait::kRobo, portrait::kAyla,  portrait::kCrono,
                               portrait::kFrog, portrait::kLucca, portrait::kMagus,
                               portrait::kMarle};
constexpr EquipmentSlot kAllSlots[] = {EquipmentSlot::Armor, EquipmentSlot::Helmet,
                                       EquipmentSlot::Weapon, EquipmentSlot::Accessory};

TEST(EquipmentLists, LengthsPerMemberAndSlot) {
    // armor, helmet, weapon, accessory
    const std::map<int, std::array<std::size_t, 4>> expected = {
        {portrait::kRobo, {23, 20, 12, 32}},  {portrait::kAyla, {23, 18, 5, 33}},
        {portrait::kCrono, {23, 20, 20, 30}}, {portrait::kFrog, {23, 20, 9, 33}},
        {portrait::kLucca, {25, 19, 11, 33}}, {portrait::kMagus, {25, 22, 4, 32}},
        {portrait::kMarle, {23, 18, 10, 32}},
    };
    for (const auto& [member, lengths] : expected) {
        for (std::size_t s = 0; s < 4; ++s) {
            EXPECT_EQ(Fill(kAllSlots[s], member).size(), lengths[s])
                << "member " << member << " slot " << s;
        }
    }
}

TEST(EquipmentLists, OrdersKeepTheRunsAsGiven) {
    const Names crono = Fill(EquipmentSlot::Weapon, portrait::kCrono);
    ASSERT_EQ(crono.size(), 20u);
    EXPECT_EQ(crono.front(), "Wood Sword");
    EXPECT_EQ(crono.back(), "Rainbow");
    auto mop = std::find(crono.begin(), crono.end(), "Mop");
    ASSERT_NE(mop, crono.end());
    EXPECT_EQ(*(mop - 1), "Slasher");
    EXPECT_EQ(*(mop + 1), "Swallow");

    EXPECT_EQ(Tail(Fill(EquipmentSlot::Armor, portrait::kAyla), 5),
              (Names{"Maiden Suit", "Zodiac Cape", "Mist Robe", "Lumin Robe", "Prism Dress"}));
    EXPECT_EQ(Tail(Fill(EquipmentSlot::Armor, portrait::kLucca), 2),
              (Names{"Taban Vest", "Taban Suit"}));
    EXPECT_EQ(Tail(Fill(EquipmentSlot::Helmet, portrait::kLucca), 2),
              (Names{"Beret", "Taban Helm"}));
    EXPECT_EQ(Tail(Fill(EquipmentSlot::Helmet, portrait::kMagus), 5),
              (Names{"Gold Helm", "Glow Helm", "Dark Helm", "Doom Helm", "Gloom Helm"}));

    const Names accessories = Fill(EquipmentSlot::Accessory, portrait::kCrono);
    auto belt = std::find(accessories.begin(), accessories.end(), "Speed Belt");
    ASSERT_NE(belt, accessories.end());
    EXPECT_EQ(*(belt + 1), "Muscle Ring");
    EXPECT_EQ(accessories.back(), "Prism Spectacle");
    EXPECT_EQ(Fill(EquipmentSlot::Accessory, portrait::kAyla)[24], "Charm Top");
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
    FillEquipmentList(catalog, EquipmentSlot::Weapon, portrait::kMagus, names);
    EXPECT_EQ(names,
              (Names{"already here", "Dark Scythe", "Hurricane", "Star Scythe", "Doom Sickle"}));

    std::size_t calls = 0;
    FillEquipmentList(catalog, EquipmentSlot::Weapon, portrait::kAyla,
                      [&calls](const std::string&) { ++calls; });
    EXPECT_EQ(calls, 5u);
}

}  // namespace
