// SPDX-License-Identifier: GPL-3.0-or-later
#include "equipment_lists.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "fixtures.h"

using namespace orvane;
using enum orvane::EquipmentSlot;

namespace {

using Names = std::vector<std::string>;

Names Fill(EquipmentSlot slot, int portraitId, Names names = {}) {
    FillEquipmentList(ItemCatalog(), slot, portraitId, names);
    return names;
}

TEST(EquipmentLists, LengthsPerMemberAndSlot) {
    // Armor, helmet, weapon, accessory by portrait id; other ids get only the common runs.
    const std::map<int, std::array<std::size_t, 4>> expected = {
        {103, {23, 20, 12, 32}}, {104, {23, 18, 5, 33}},  {105, {23, 20, 20, 30}},
        {106, {23, 20, 9, 33}},  {107, {25, 19, 11, 33}}, {108, {25, 22, 4, 32}},
        {109, {23, 18, 10, 32}}, {0, {18, 17, 0, 30}},    {102, {18, 17, 0, 30}},
        {110, {18, 17, 0, 30}},
    };
    for (const auto& [member, lengths] : expected) {
        for (EquipmentSlot slot : {Armor, Helmet, Weapon, Accessory}) {
            EXPECT_EQ(Fill(slot, member).size(), lengths[static_cast<std::size_t>(slot)])
                << member << " slot " << static_cast<int>(slot);
        }
    }
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

TEST(EquipmentLists, NoListOffersForbiddenOrRepeatedItemsAndAllNamesResolve) {
    const std::set<std::string> forbidden = {"<empty>",      "Bent Sword", "Bent Hilt",
                                             "Masamune III", "Relic",      "Seraph Song"};
    ItemCatalog catalog;
    test::WarningRecorder warnings;
    catalog.SetWarningSink(warnings.Sink());
    for (int member = 103; member <= 109; ++member) {
        for (EquipmentSlot slot : {Armor, Helmet, Weapon, Accessory}) {
            const Names names = Fill(slot, member);
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
