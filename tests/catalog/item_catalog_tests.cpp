// SPDX-License-Identifier: GPL-3.0-or-later
#include "item_catalog.h"

#include <gtest/gtest.h>

#include <set>

#include "fixtures.h"

using orvane::ItemCatalog;
using orvane::ItemId;
using orvane::test::WarningRecorder;

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

}  // namespace
