// SPDX-License-Identifier: GPL-3.0-or-later
// The document on a player's battery save: its values read through the accessors, every field
// saved into the open slot with the game's checksum and nothing else changed, the slots in words,
// a copy that fails leaving the document as it was, and a file never torn from its checksums.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "battery_save.h"
#include "fixtures.h"
#include "state_document.h"

using namespace orvane;
using namespace orvane::test;
namespace fs = std::filesystem;

namespace {

// Where a field at a ZSNES 1.42 offset (work RAM at 0xC13) lies in slot n of a battery save.
std::size_t Slot(std::size_t zsnesOffset, std::size_t slot = 0) {
    const auto at = InSlot(static_cast<std::uint32_t>(0x7E0000 + zsnesOffset - 0xC13), slot);
    EXPECT_TRUE(at) << zsnesOffset;
    return at.value_or(0);
}

class BatteryDocument : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(doc.Load(WriteBytes(path, original))); }

    ScratchDir dir;
    const fs::path path = dir / "Chrono Trigger.srm";
    Bytes original = ReadBytes(TestData(kOneSlot));
    StateDocument doc;
};

TEST_F(BatteryDocument, ReadsThePlayersValues) {
    const char* names[] = {"Lee  ", "Marle", "Lucca", "Robo ", "Frog ", "Ayla ", "Magus"};
    for (std::size_t m = 0; m < 7; ++m) {
        EXPECT_EQ(doc.GetName(1 << m), names[m]);
    }
    EXPECT_EQ(doc.GetGeneral(kGeneralGold), 21962u);
    EXPECT_EQ(doc.GetGeneral(kGeneralSilverPoints), 15u);
    EXPECT_EQ(doc.GetGeneral(kGeneralSaves), 15u);
    EXPECT_EQ(std::to_string(doc.GetGeneral(kGeneralHourTens)) +
                  std::to_string(doc.GetGeneral(kGeneralHourUnits)) + ":" +
                  std::to_string(doc.GetGeneral(kGeneralMinuteTens)) +
                  std::to_string(doc.GetGeneral(kGeneralMinuteUnits)),
              "07:42");
    const std::uint32_t ids[] = {0xD5, 0xD6, 0xC6, 0x95, 0xC8, 0xBD, 0xCE, 0x50};
    const std::uint32_t amounts[] = {1, 1, 11, 1, 5, 14, 1, 1};
    for (int slot = 0; slot < 8; ++slot) {
        std::uint32_t amount = 0;
        std::string name;
        doc.GetInventorySlot(slot, amount, name);
        EXPECT_EQ(doc.GetInventoryItemId(slot), ids[slot]);
        EXPECT_EQ(amount, amounts[slot]);
    }
    ASSERT_EQ(doc.StoredStates().size(), 3u);
    EXPECT_EQ(doc.StoredStates()[0].label, "Slot 1: Lee, 07:42");
    EXPECT_EQ(doc.StoredStates()[1].label, "Slot 2: never saved");
    EXPECT_TRUE(doc.StoredStates()[1].blank);
}

// Every field gets the complement of its value, at the slot offsets of the measured layout: the
// file differs in exactly those bytes and the slot's checksum, which is the game's sum.
TEST_F(BatteryDocument, EveryFieldSavesIntoItsSlotWithTheGamesChecksum) {
    Bytes expected = original;
    const auto put = [&](std::size_t offset, std::size_t width, std::uint32_t value) {
        for (std::size_t i = 0; i < width; ++i) {
            expected[Slot(offset + i)] = std::uint8_t(value >> (8 * i));
        }
        return value;
    };
    const std::size_t stats[20][2] = {{0, 1},  {3, 2},  {5, 2},  {7, 1},  {9, 1},  {11, 1}, {12, 1},
                                      {13, 1}, {14, 1}, {15, 1}, {16, 1}, {17, 1}, {18, 1}, {19, 3},
                                      {43, 2}, {39, 1}, {40, 1}, {41, 1}, {42, 1}, {45, 2}};
    for (std::size_t m = 0; m < 7; ++m) {
        const std::int32_t who = 1 << m;
        for (std::int32_t s = 0; s < 20; ++s) {
            const auto [offset, width] = stats[s];
            doc.SetStat(who, s, put(12819 + 80 * m + offset, width, ~doc.GetStat(who, s)));
        }
        const auto level = static_cast<std::uint8_t>(~doc.GetTechLevel(who));
        doc.SetTechLevel(who, static_cast<std::uint8_t>(put(13386 + m, 1, level)));
    }
    const std::size_t generals[7][2] = {{14438, 3}, {68709, 1}, {13743, 2}, {4117, 1},
                                        {4118, 1},  {4119, 1},  {4120, 1}};
    for (std::int32_t g = 0; g < 7; ++g) {
        doc.SetGeneral(g, put(generals[g][0], generals[g][1], ~doc.GetGeneral(g)));
    }
    const MemberSetKey keys[24] = {3,  5,  9,  17, 33, 6,  10, 18, 34, 12, 36, 24,
                                   40, 48, 20, 7,  11, 19, 35, 13, 21, 37, 25, 41};
    for (std::size_t k = 0; k < 24; ++k) {
        const auto value = static_cast<std::uint8_t>(~doc.GetComboTech(keys[k]));
        doc.SetComboTech(keys[k], static_cast<std::uint8_t>(put(13393 + k, 1, value)));
    }
    doc.SetName(kMagus, "Zeal");
    put(14426, 3, 0xBABEB9);
    put(14426 + 3, 2, 0x00C5);
    doc.SetInventorySlotById(242, 9, 0x0A);
    put(12307 + 242, 1, 0x0A);
    put(12563 + 242, 1, 9);

    ASSERT_TRUE(doc.Save());
    const Bytes saved = ReadBytes(path);
    const std::uint16_t sum = GameChecksum(std::span(saved).first(kSlotBytes));
    EXPECT_EQ(saved[0x1FF0] | saved[0x1FF1] << 8, sum);
    EXPECT_EQ(Changes(Patched(expected, LittleEndian(0x1FF0, sum, 2)), saved), Patch{});
    // The slot in words as the file now holds it, each time byte a number.
    EXPECT_EQ(doc.StoredStates()[0].label, "Slot 1: Lee, 255248:251253");
    // Save As writes a battery save too.
    ASSERT_TRUE(doc.SaveAs(dir / "copy.srm"));
    EXPECT_EQ(ReadBytes(dir / "copy.srm"), saved);
}

TEST_F(BatteryDocument, SaveWithoutChangesGivesBackTheFile) {
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(ReadBytes(path), original);
}

// What the editors edit lies where a slot keeps it; a field added outside would be lost.
TEST(BatteryRanges, HoldEveryFieldTheEditorKnows) {
    for (const Field& field : EveryField()) {
        for (std::size_t i = 0; i < field.width; ++i) {
            EXPECT_TRUE(InSlot(static_cast<std::uint32_t>(0x7E0000 + field.offset + i), 0))
                << std::hex << 0x7E0000 + field.offset + i;
        }
    }
}

// Copying saves the file; where the save fails, neither the file nor the document's slots
// change.
TEST_F(BatteryDocument, CopyThatCannotBeSavedLeavesEverythingAsItWas) {
    doc.SetGeneral(kGeneralGold, 7);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_EQ(doc.CopyOpenStateAndSave(1).error, WriteError::ReadOnly);
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(doc.StoredStates()[1].label, "Slot 2: never saved");
    EXPECT_EQ(doc.GetGeneral(kGeneralGold), 7u);

    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    ASSERT_TRUE(doc.CopyOpenStateAndSave(1));
    EXPECT_EQ(doc.StoredStates()[1].label, "Slot 2: Lee, 07:42");
    const Bytes saved = ReadBytes(path);
    Bytes expected = WithSlotCopied(original, 0, 1);
    for (const std::size_t slot : {0u, 1u}) {
        expected = Patched(expected, LittleEndian(Slot(14438, slot), 7, 3));
        expected = Patched(expected, SlotSeal(expected, slot));
    }
    EXPECT_EQ(Changes(expected, saved), Patch{});
    EXPECT_FALSE(doc.HasUnsavedEdits());
}

// Only the open slot's edits count as unsaved; opening another slot drops them.
TEST_F(BatteryDocument, OpeningAnotherSlotDropsTheOpenOnesEdits) {
    const fs::path three = WriteBytes(dir / "three.srm", WithSlotCopied(original, 0, 2));
    ASSERT_TRUE(doc.Load(three));
    EXPECT_FALSE(doc.HasUnsavedEdits());
    doc.SetGeneral(kGeneralGold, 1);
    EXPECT_TRUE(doc.HasUnsavedEdits());
    EXPECT_EQ(doc.OpenStoredState(1), "it is a battery save whose Slot 2 is never saved");
    EXPECT_EQ(doc.OpenState(), 0u);
    EXPECT_EQ(doc.OpenStoredState(2), "");
    EXPECT_FALSE(doc.HasUnsavedEdits());
    EXPECT_EQ(doc.GetGeneral(kGeneralGold), 21962u);
    ASSERT_TRUE(doc.OpenStoredState(0).empty());
    EXPECT_EQ(doc.GetGeneral(kGeneralGold), 21962u);
}

}  // namespace
