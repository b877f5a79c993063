// SPDX-License-Identifier: GPL-3.0-or-later
// The states that real emulator builds wrote: every field reads the cartridge's markers, and a
// save changes exactly the edited bytes at the places each layout keeps them.

#include <gtest/gtest.h>

#include "field_offsets.h"
#include "fixtures.h"
#include "state_document.h"

using namespace orvane;
using namespace orvane::test;

namespace {

// Offset and width by GeneralField: gold, silver points, saves, then the play time's minute
// units, minute tens, hour units and hour tens, so that HH:MM reads from 4120 down to 4117.
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
    // Where this state keeps a field that the oldest layout keeps at offset.
    std::size_t Moved(std::size_t offset) const {
        return offset - kOldestWorkRam + GetParam().workRam;
    }
    // The cartridge's number at the console address of that field; unmarked work RAM holds 0x55.
    std::uint32_t Marker(std::size_t offset, std::size_t width) const {
        Bytes bytes(width, 0x55);
        for (std::size_t i = 0; i < width; ++i) {
            const auto found = markers.find(0x7E0000 + offset + i - kOldestWorkRam);
            bytes[i] = found != markers.end() ? found->second : 0x55;
        }
        return LittleEndian(bytes, 0, width);
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
    for (CharacterId who : kMemberOrder) {
        for (const RecordField& f : kRecordFields) {
            EXPECT_EQ(doc.GetStat(who, f.stat), Marker(RecordOffset(who, f.stat), f.width))
                << who << " stat " << f.stat;
        }
        EXPECT_EQ(doc.GetTechLevel(who), Marker(13386 + MemberIndex(who), 1)) << who;
        EXPECT_EQ(doc.GetName(who), names[MemberIndex(who)]);
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
        const auto at = static_cast<std::size_t>(slot);
        EXPECT_EQ(amount, Marker(kInventoryAmountsAt + at, 1)) << slot;
        EXPECT_EQ(doc.GetInventoryItemId(slot), Marker(kInventoryIdsAt + at, 1)) << slot;
    }
}

TEST_P(RealStates, SaveChangesExactlyTheEditedBytesWhereTheLayoutKeepsThem) {
    Bytes expected = original;
    // Every field gets the complement of its value: each of its bytes changes, and the bits above
    // its width are dropped.
    const auto put = [&](std::size_t offset, std::size_t width, std::uint32_t value) {
        for (std::size_t i = 0; i < width; ++i) {
            expected[Moved(offset + i)] = static_cast<std::uint8_t>(value >> (8 * i));
        }
        return value;
    };
    for (CharacterId who : kMemberOrder) {
        for (const RecordField& f : kRecordFields) {
            const std::uint32_t value = ~doc.GetStat(who, f.stat);
            doc.SetStat(who, f.stat, put(RecordOffset(who, f.stat), f.width, value));
        }
        const auto level = static_cast<std::uint8_t>(~doc.GetTechLevel(who));
        doc.SetTechLevel(who, static_cast<std::uint8_t>(put(13386 + MemberIndex(who), 1, level)));
    }
    for (std::int32_t g = 0; g < 7; ++g) {
        doc.SetGeneral(g, put(kGenerals[g][0], kGenerals[g][1], ~doc.GetGeneral(g)));
    }
    for (std::size_t k = 0; k < 24; ++k) {
        const auto value = static_cast<std::uint8_t>(~doc.GetComboTech(kComboKeys[k]));
        doc.SetComboTech(kComboKeys[k], static_cast<std::uint8_t>(put(13393 + k, 1, value)));
    }
    doc.SetName(kRobo, "Zeal");
    put(NameOffset(kRobo), 3, 0xBABEB9);    // Zea
    put(NameOffset(kRobo) + 3, 2, 0x00C5);  // l, then a blank
    doc.SetInventorySlotById(242, 9, 0x0A);
    put(kInventoryIdsAt + 242, 1, 0x0A);
    put(kInventoryAmountsAt + 242, 1, 9);
    ASSERT_TRUE(doc.Save());
    const Bytes saved = ReadBytes(path);
    // The whole file is compared: battery RAM and the preview picture come back as they were read.
    EXPECT_EQ(DiffOffsets(expected, saved), std::vector<long>{});
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
