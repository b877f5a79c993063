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

TEST_F(ItemCatalogLookups, KnownIdsAndNamesResolveBothWaysWithoutWarning) {
    ASSERT_NE(catalog.GetItemName(0x00), nullptr);
    EXPECT_EQ(*catalog.GetItemName(0x00), "<empty>");
    EXPECT_EQ(catalog.GetItemId("<empty>"), 0u);
    EXPECT_EQ(*catalog.GetItemName(0xBD), "Tonic");
    EXPECT_EQ(catalog.GetItemId("Tonic"), 0xBDu);
    EXPECT_EQ(*catalog.GetItemName(0xD9), "Chrono Trigger");
    EXPECT_EQ(*catalog.GetItemName(0xE7), "2 Feathers");
    EXPECT_EQ(catalog.GetItemId("Fist"), 0x44u);
    EXPECT_EQ(catalog.GetItemId("Prism Spectacle"), 0xBBu);
    EXPECT_TRUE(warnings.texts.empty());
}

TEST_F(ItemCatalogLookups, EveryEntryRoundTripsAndNoIdOrNameRepeats) {
    ASSERT_EQ(catalog.Size(), 213u);
    ASSERT_EQ(catalog.Names().size(), catalog.Ids().size());
    std::set<ItemId> ids(catalog.Ids().begin(), catalog.Ids().end());
    std::set<std::string> names(catalog.Names().begin(), catalog.Names().end());
    EXPECT_EQ(ids.size(), 213u);
    EXPECT_EQ(names.size(), 213u);
    for (std::size_t i = 0; i < catalog.Size(); ++i) {
        const ItemId id = catalog.Ids()[i];
        if (i > 0) {
            EXPECT_LT(catalog.Ids()[i - 1], id) << "catalogue order is ascending ID";
        }
        ASSERT_NE(catalog.GetItemName(id), nullptr);
        EXPECT_EQ(catalog.GetItemId(*catalog.GetItemName(id)), id);
        const std::string& name = catalog.Names()[i];
        EXPECT_GE(name.size(), 3u);
        EXPECT_LE(name.size(), 15u);
    }
    EXPECT_TRUE(warnings.texts.empty());
}

TEST_F(ItemCatalogLookups, GapsInTheIdRangeWarnOncePerLookup) {
    const std::set<ItemId> gaps = {0x1B, 0x1C, 0x1D, 0x1E, 0x2A, 0x2B, 0x2C, 0x2D, 0x3A, 0x49,
                                   0x4A, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x7B, 0x94, 0xBC};
    std::size_t expectedWarnings = 0;
    for (ItemId id = 0; id < 0x200; ++id) {
        const bool missing = gaps.count(id) > 0 || id >= 0xE8;
        EXPECT_EQ(catalog.GetItemName(id) == nullptr, missing) << "id " << id;
        expectedWarnings += missing ? 1 : 0;
    }
    EXPECT_EQ(warnings.texts.size(), expectedWarnings);
    for (const std::string& text : warnings.texts) {
        EXPECT_EQ(text, "Item ID not found!");
    }
    // Nothing is remembered: the same miss warns again.
    catalog.GetItemName(0x94);
    EXPECT_EQ(warnings.texts.size(), expectedWarnings + 1);
}

TEST_F(ItemCatalogLookups, NamesMatchExactlyCaseAndBlanksIncluded) {
    EXPECT_EQ(catalog.GetItemId("tonic"), 0u);
    EXPECT_EQ(catalog.GetItemId("Tonic "), 0u);
    EXPECT_EQ(catalog.GetItemId(" Tonic"), 0u);
    EXPECT_EQ(catalog.GetItemId(""), 0u);
    EXPECT_EQ(catalog.GetItemId("Masamune I"), 0u);
    ASSERT_EQ(warnings.texts.size(), 5u);
    for (const std::string& text : warnings.texts) {
        EXPECT_EQ(text, "Item name not found!");
    }
}

TEST_F(ItemCatalogLookups, SilentLookupsNeverWarn) {
    EXPECT_EQ(catalog.FindItemName(0x94), nullptr);
    EXPECT_FALSE(catalog.HasItemName("tonic"));
    EXPECT_TRUE(catalog.HasItemName("Tonic"));
    EXPECT_TRUE(warnings.texts.empty());
}

TEST(ItemCatalogBuild, RebuildingKeepsExactlyOneCopyOfTheTable) {
    ItemCatalog catalog;
    catalog.BuildItemCatalog();
    EXPECT_EQ(catalog.Size(), 213u);
    EXPECT_EQ(catalog.Names().size(), 213u);
}

TEST(ItemCatalogBuild, WithoutASinkMissesStayQuiet) {
    ItemCatalog catalog;
    EXPECT_EQ(catalog.GetItemName(0xFF), nullptr);
    EXPECT_EQ(catalog.GetItemId("nothing"), 0u);
}

}  // namespace
