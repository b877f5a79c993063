// SPDX-License-Identifier: GPL-3.0-or-later
// The item catalogue by ID and name, and the equipment lists each member is offered.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "equipment_lists.h"
#include "fixtures.h"
#include "item_catalog.h"

using namespace orvane;
using enum orvane::EquipmentSlot;
using test::WarningRecorder;

namespace {

class ItemCatalogLookups : public ::testing::Test {
protected:
    void SetUp() override { catalog.SetWarningSink(warnings.Sink()); }

    ItemCatalog catalog;
    WarningRecorder warnings;
};

// Each run of IDs by its first and last entry; the catalogue is in ascending ID order.
TEST_F(ItemCatalogLookups, EveryRunStartsAndEndsWithItsNamesAndNothingRepeats) {
    const std::pair<ItemId, const char*> entries[] = {
        {0x00, "<empty>"},         {0x1A, "Siren"},
        {0x1F, "Air Gun"},         {0x29, "Graedus"},
        {0x2E, "Tin Arm"},         {0x39, "Crisis Arm"},
        {0x3B, "Bronze Edge"},     {0x44, "Fist"},
        {0x48, "Bronze Fist"},     {0x4B, "Dark Scythe"},
        {0x55, "Rainbow"},         {0x5B, "Hide Tunic"},
        {0x7A, "Taban Suit"},      {0x7C, "Hide Cap"},
        {0x93, "Mermaid Cap"},     {0x95, "Bandana"},
        {0xBB, "Prism Spectacle"}, {0xBD, "Tonic"},
        {0xD9, "Chrono Trigger"},  {0xE7, "2 Feathers"},
    };
    for (const auto& [id, name] : entries) {
        ASSERT_NE(catalog.GetItemName(id), nullptr) << id;
        EXPECT_EQ(*catalog.GetItemName(id), name);
        EXPECT_EQ(catalog.GetItemId(name), id);
    }
    catalog.BuildItemCatalog();  // again: still one copy of the table
    ASSERT_EQ(catalog.Size(), 213u);
    ASSERT_EQ(catalog.Names().size(), 213u);
    EXPECT_EQ(std::set<std::string>(catalog.Names().begin(), catalog.Names().end()).size(), 213u);
    for (std::size_t i = 0; i < catalog.Size(); ++i) {
        EXPECT_EQ(catalog.GetItemId(catalog.Names()[i]), catalog.Ids()[i]);
        EXPECT_TRUE(i == 0 || catalog.Ids()[i - 1] < catalog.Ids()[i]) << i;
    }
    EXPECT_TRUE(warnings.texts.empty());
}

// Each miss warns again: nothing is remembered.
TEST_F(ItemCatalogLookups, GapsAndInexactNamesWarnAtEveryLookup) {
    const std::set<ItemId> gaps = {0x1B, 0x1C, 0x1D, 0x1E, 0x2A, 0x2B, 0x2C, 0x2D, 0x3A, 0x49,
                                   0x4A, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x7B, 0x94, 0xBC};
    std::vector<std::string> expected;
    for (ItemId id = 0; id < 0x200; ++id) {
        const bool missing = gaps.count(id) > 0 || id >= 0xE8;
        EXPECT_EQ(catalog.GetItemName(id) == nullptr, missing) << id;
        EXPECT_EQ(catalog.FindItemName(id) == nullptr, missing) << id;
        if (missing) {
            expected.push_back("Item ID not found!");
        }
    }
    catalog.GetItemName(0x94);
    expected.push_back("Item ID not found!");
    for (const char* name : {"tonic", "Tonic ", " Tonic", "", "Masamune I"}) {
        EXPECT_EQ(catalog.GetItemId(name), 0u) << name;
        EXPECT_FALSE(catalog.HasItemName(name));
        expected.push_back("Item name not found!");
    }
    EXPECT_EQ(warnings.texts, expected);
    EXPECT_EQ(ItemCatalog().GetItemName(0xFF), nullptr) << "without a sink a miss stays quiet";
}

using Names = std::vector<std::string>;

Names Fill(EquipmentSlot slot, int portraitId, Names names = {}) {
    FillEquipmentList(ItemCatalog(), slot, portraitId, names);
    return names;
}

// Names from position at on (from the end when negative).
TEST(EquipmentLists, RunsComeInTheGivenOrder) {
    const std::tuple<EquipmentSlot, int, int, Names> cases[] = {
        {Weapon, 105, 0, {"Wood Sword"}},
        {Weapon, 105, 15, {"Slasher", "Mop", "Swallow", "Slasher 2", "Rainbow"}},
        {Weapon, 108, 0, {"Dark Scythe", "Hurricane", "Star Scythe", "Doom Sickle"}},
        {Armor, 104, -5, {"Maiden Suit", "Zodiac Cape", "Mist Robe", "Lumin Robe", "Prism Dress"}},
        {Armor, 107, -2, {"Taban Vest", "Taban Suit"}},
        {Armor, 108, -2, {"Raven Armor", "Gloom Cape"}},
        {Helmet, 107, -2, {"Beret", "Taban Helm"}},
        {Helmet, 108, -5, {"Gold Helm", "Glow Helm", "Dark Helm", "Doom Helm", "Gloom Helm"}},
        {Accessory, 105, 23, {"Speed Belt", "Muscle Ring"}},
        {Accessory, 105, -1, {"Prism Spectacle"}},
        {Accessory, 104, 24, {"Charm Top", "Silver Rock", "White Rock"}},
    };
    for (const auto& [slot, member, at, names] : cases) {
        const Names list = Fill(slot, member);
        const long from = at < 0 ? static_cast<long>(list.size()) + at : at;
        ASSERT_LE(from + static_cast<long>(names.size()), static_cast<long>(list.size()));
        EXPECT_EQ(Names(list.begin() + from, list.begin() + from + static_cast<long>(names.size())),
                  names)
            << member;
    }
    EXPECT_EQ(Fill(Weapon, 104, {"held"}).front(), "held") << "a fill never clears";
}

// By portrait id, of lengths for armor, helmet, weapon and accessory (other ids get only the
// common runs), without forbidden or repeated items, and every name known to the catalogue.
TEST_F(ItemCatalogLookups, EquipmentListsOfEachMemberAndSlot) {
    const std::map<int, std::array<std::size_t, 4>> lengths = {
        {103, {23, 20, 12, 32}}, {104, {23, 18, 5, 33}},  {105, {23, 20, 20, 30}},
        {106, {23, 20, 9, 33}},  {107, {25, 19, 11, 33}}, {108, {25, 22, 4, 32}},
        {109, {23, 18, 10, 32}}, {0, {18, 17, 0, 30}},    {102, {18, 17, 0, 30}},
        {110, {18, 17, 0, 30}},
    };
    const std::set<std::string> forbidden = {"<empty>",      "Bent Sword", "Bent Hilt",
                                             "Masamune III", "Relic",      "Seraph Song"};
    for (const auto& [member, expected] : lengths) {
        for (EquipmentSlot slot : {Armor, Helmet, Weapon, Accessory}) {
            SCOPED_TRACE(::testing::Message() << member << " slot " << static_cast<int>(slot));
            const Names names = Fill(slot, member);
            EXPECT_EQ(names.size(), expected[static_cast<std::size_t>(slot)]);
            EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
            for (const std::string& name : names) {
                EXPECT_EQ(forbidden.count(name), 0u) << name;
                EXPECT_LT(catalog.GetItemId(name), 188u) << name;
            }
        }
    }
    EXPECT_TRUE(warnings.texts.empty());
}

}  // namespace
