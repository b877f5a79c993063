// SPDX-License-Identifier: GPL-3.0-or-later
#include "equipment_lists.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "fixtures.h"

using namespace orvane;
using orvane::test::WarningRecorder;

namespace {

using Names = std::vector<std::string>;

constexpr EquipmentSlot kSlots[] = {EquipmentSlot::Armor, EquipmentSlot::Helmet,
                                    EquipmentSlot::Weapon, EquipmentSlot::Accessory};

Names Fill(EquipmentSlot slot, int portraitId) {
    Names names;
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
        for (std::size_t s = 0; s < 4; ++s) {
            EXPECT_EQ(Fill(kSlots[s], member).size(), lengths[s]) << member << " slot " << s;
        }
    }
}

TEST(EquipmentLists, RunsComeInTheGivenOrder) {
    struct Case {
        EquipmentSlot slot;
        int member;
        int at;  // from the end when negative
        Names names;
    };
    const Case cases[] = {
        {EquipmentSlot::Weapon, 105, 0, {"Wood Sword"}},
        {EquipmentSlot::Weapon, 105, 15, {"Slasher", "Mop", "Swallow", "Slasher 2", "Rainbow"}},
        {EquipmentSlot::Weapon, 108, 0, {"Dark Scythe", "Hurricane", "Star Scythe", "Doom Sickle"}},
        {EquipmentSlot::Armor,
         104,
         -5,
         {"Maiden Suit", "Zodiac Cape", "Mist Robe", "Lumin Robe", "Prism Dress"}},
        {EquipmentSlot::Armor, 107, -2, {"Taban Vest", "Taban Suit"}},
        {EquipmentSlot::Armor, 108, -2, {"Raven Armor", "Gloom Cape"}},
        {EquipmentSlot::Helmet, 107, -2, {"Beret", "Taban Helm"}},
        {EquipmentSlot::Helmet,
         108,
         -5,
         {"Gold Helm", "Glow Helm", "Dark Helm", "Doom Helm", "Gloom Helm"}},
        {EquipmentSlot::Accessory, 105, 23, {"Speed Belt", "Muscle Ring"}},
        {EquipmentSlot::Accessory, 105, -1, {"Prism Spectacle"}},
        {EquipmentSlot::Accessory, 104, 24, {"Charm Top", "Silver Rock", "White Rock"}},
    };
    for (const Case& c : cases) {
        const Names list = Fill(c.slot, c.member);
        const std::size_t from = c.at < 0 ? list.size() - static_cast<std::size_t>(-c.at)
                                          : static_cast<std::size_t>(c.at);
        ASSERT_LE(from + c.names.size(), list.size()) << c.member;
        EXPECT_EQ(Names(list.begin() + static_cast<long>(from),
                        list.begin() + static_cast<long>(from + c.names.size())),
                  c.names)
            << c.member;
    }
    Names held = {"already here"};
    FillEquipmentList(ItemCatalog(), EquipmentSlot::Weapon, 104, held);
    EXPECT_EQ(held.front(), "already here") << "a fill never clears";
}

TEST(EquipmentLists, NoListOffersForbiddenOrRepeatedItemsAndAllNamesResolve) {
    const std::set<std::string> forbidden = {"<empty>",      "Bent Sword", "Bent Hilt",
                                             "Masamune III", "Relic",      "Seraph Song"};
    ItemCatalog catalog;
    WarningRecorder warnings;
    catalog.SetWarningSink(warnings.Sink());
    for (int member = 103; member <= 109; ++member) {
        for (EquipmentSlot slot : kSlots) {
            Names names;
            FillEquipmentList(catalog, slot, member, names);
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
