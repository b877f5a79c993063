// SPDX-License-Identifier: GPL-3.0-or-later
// The states that real emulator builds wrote: every field reads the cartridge's markers, and a
// save changes exactly the edited bytes at the places each layout keeps them.

#include <gtest/gtest.h>

#include "fixtures.h"
#include "state_document.h"

using namespace orvane;
using namespace orvane::test;

namespace {

// Offset and width in a member's 80-byte record by CharacterStat, face to Tech Left; the records
// lie one after another from 12819 in a state whose work RAM starts at 0xC13.
constexpr std::size_t kStats[20][2] = {
    {0, 1},  {3, 2},  {5, 2},  {7, 1},  {9, 1},  {11, 1}, {12, 1}, {13, 1}, {14, 1}, {15, 1},
    {16, 1}, {17, 1}, {18, 1}, {19, 3}, {43, 2}, {39, 1}, {40, 1}, {41, 1}, {42, 1}, {45, 2}};
// By GeneralField: gold, silver points, saves, then the play time's minute units, minute tens,
// hour units and hour tens, so that HH:MM reads from 4120 down to 4117.
constexpr std::size_t kGenerals[7][2] = {{14438, 3}, {68709, 1}, {13743, 2}, {4117, 1},
                                         {4118, 1},  {4119, 1},  {4120, 1}};
// The technique bytes from 13393 on: the pairs (Lucca with Frog last), then the triples.
constexpr MemberSetKey kComboKeys[24] = {3,  5,  9,  17, 33, 6,  10, 18, 34, 12, 36, 24,
                                         40, 48, 20, 7,  11, 19, 35, 13, 21, 37, 25, 41};

class RealStates : public ::testing::TestWithParam<RealState> {
protected:
    void SetUp() override {
        ASSERT_EQ(original.size(), GetParam().size);
        ASSERT_TRUE(doc.Load(WriteBytes(path, original)));
    }
    // The cartridge's number at the console address of the field that a state whose work RAM
    // starts at 0xC13 keeps at offset; unmarked work RAM holds 0x55.
    std::uint32_t Marker(std::size_t offset, std::size_t width) const {
        std::uint32_t value = 0;
        for (std::size_t i = width; i-- > 0;) {
            const auto found = markers.find(0x7E0000 + offset + i - 0xC13);
            value = value * 256 + (found != markers.end() ? found->second : 0x55);
        }
        return value;
    }

    const std::map<std::uint32_t, std::uint8_t> markers = WorkRamMarkers();
    const Bytes original = ReadBytes(TestData(GetParam().file));
    ScratchDir dir;
    const std::filesystem::path path = dir / "state.zst";
    StateDocument doc;
};

TEST_P(RealStates, EveryFieldReadsTheCartridgesMarkers) {
    EXPECT_EQ(doc.Layout().size, GetParam().size);
    const char* names[] = {"Aleph", "Bravo", "Cobra", "Delta", "Ember", "Fjord", "Gizmo"};
    for (std::size_t m = 0; m < 7; ++m) {
        const std::int32_t who = 1 << m;
        for (std::int32_t s = 0; s < 20; ++s) {
            EXPECT_EQ(doc.GetStat(who, s), Marker(12819 + 80 * m + kStats[s][0], kStats[s][1]))
                << who << " stat " << s;
        }
        EXPECT_EQ(doc.GetTechLevel(who), Marker(13386 + m, 1)) << who;
        EXPECT_EQ(doc.GetName(who), names[m]);
    }
    for (std::int32_t g = 0; g < 7; ++g) {
        EXPECT_EQ(doc.GetGeneral(g), Marker(kGenerals[g][0], kGenerals[g][1])) << g;
    }
    EXPECT_EQ(doc.GetGeneral(kGeneralGold), 1234567u);
    for (std::size_t k = 0; k < 24; ++k) {
        EXPECT_EQ(doc.GetComboTech(kComboKeys[k]), Marker(13393 + k, 1)) << kComboKeys[k];
    }
    for (int slot = 0; slot < 243; ++slot) {
        std::uint32_t amount = 0;
        std::string name;
        doc.GetInventorySlot(slot, amount, name);
        EXPECT_EQ(amount, Marker(12563 + std::size_t(slot), 1)) << slot;
        EXPECT_EQ(doc.GetInventoryItemId(slot), Marker(12307 + std::size_t(slot), 1)) << slot;
    }
}

TEST_P(RealStates, SaveChangesExactlyTheEditedBytesWhereTheLayoutKeepsThem) {
    Bytes expected = original;
    // Every field gets the complement of its value: each of its bytes changes, and the bits above
    // its width are dropped.
    const auto put = [&](std::size_t offset, std::size_t width, std::uint32_t value) {
        for (std::size_t i = 0; i < width; ++i) {
            expected[offset + i - 0xC13 + GetParam().workRam] = std::uint8_t(value >> (8 * i));
        }
        return value;
    };
    for (std::size_t m = 0; m < 7; ++m) {
        const std::int32_t who = 1 << m;
        for (std::int32_t s = 0; s < 20; ++s) {
            const std::uint32_t value = ~doc.GetStat(who, s);
            doc.SetStat(who, s, put(12819 + 80 * m + kStats[s][0], kStats[s][1], value));
        }
        const auto level = static_cast<std::uint8_t>(~doc.GetTechLevel(who));
        doc.SetTechLevel(who, static_cast<std::uint8_t>(put(13386 + m, 1, level)));
    }
    for (std::int32_t g = 0; g < 7; ++g) {
        doc.SetGeneral(g, put(kGenerals[g][0], kGenerals[g][1], ~doc.GetGeneral(g)));
    }
    for (std::size_t k = 0; k < 24; ++k) {
        const auto value = static_cast<std::uint8_t>(~doc.GetComboTech(kComboKeys[k]));
        doc.SetComboTech(kComboKeys[k], static_cast<std::uint8_t>(put(13393 + k, 1, value)));
    }
    doc.SetName(kRobo, "Zeal");
    put(14408, 3, 0xBABEB9);    // Robo's name slot: Zea
    put(14408 + 3, 2, 0x00C5);  // l, then a blank
    doc.SetInventorySlotById(242, 9, 0x0A);
    put(12307 + 242, 1, 0x0A);
    put(12563 + 242, 1, 9);
    ASSERT_TRUE(doc.Save());
    const Bytes saved = ReadBytes(path);
    // The whole file is compared: battery RAM and the preview picture come back as they were read.
    EXPECT_EQ(Changes(expected, saved), Patch{});
    EXPECT_EQ(GetParam().preview + 7168, saved.size());
    if (GetParam().batteryRam != 0) {
        EXPECT_EQ(std::string(saved.begin() + GetParam().batteryRam,
                              saved.begin() + GetParam().batteryRam + 16),
                  "ORVANE-SRAM-HEAD");
    }
    // Save As keeps the layout of the loaded file.
    ASSERT_TRUE(doc.SaveAs(dir / "copy.zst"));
    EXPECT_EQ(ReadBytes(dir / "copy.zst"), saved);
}

INSTANTIATE_TEST_SUITE_P(EveryVersion, RealStates, ::testing::ValuesIn(kRealStates));

}  // namespace
