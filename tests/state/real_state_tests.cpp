// SPDX-License-Identifier: GPL-3.0-or-later
// The states that real emulator builds wrote: every field reads the cartridge's markers, and a
// save changes exactly the edited bytes at the places each layout keeps them.

#include <gtest/gtest.h>

#include <functional>

#include "field_offsets.h"
#include "fixtures.h"
#include "state_document.h"

using namespace orvane;
using namespace orvane::test;

namespace {

// A number the document edits, where a state of the oldest layout keeps it.
struct NumberField {
    std::size_t offset;
    std::size_t width;
    std::function<std::uint32_t(const StateDocument&)> get;
    std::function<void(StateDocument&, std::uint32_t)> set;
};

// Every member's stats and tech level byte, the general fields and the technique bytes.
std::vector<NumberField> NumberFields() {
    std::vector<NumberField> fields;
    for (CharacterId who : kMemberOrder) {
        for (const RecordField& f : kRecordFields) {
            fields.push_back(
                {RecordOffset(who, f.stat), f.width,
                 [=](const StateDocument& d) { return d.GetStat(who, f.stat); },
                 [=](StateDocument& d, std::uint32_t v) { d.SetStat(who, f.stat, v); }});
        }
        fields.push_back({13386 + MemberIndex(who), 1,
                          [=](const StateDocument& d) { return d.GetTechLevel(who); },
                          [=](StateDocument& d, std::uint32_t v) {
                              d.SetTechLevel(who, static_cast<std::uint8_t>(v));
                          }});
    }
    // Gold, silver points, saves, then the play time HH:MM from 4120 down to 4117.
    const std::size_t generals[][2] = {{14438, 3}, {68709, 1}, {13743, 2}, {4117, 1},
                                       {4118, 1},  {4119, 1},  {4120, 1}};
    for (std::int32_t g = 0; g < 7; ++g) {
        fields.push_back({generals[g][0], generals[g][1],
                          [=](const StateDocument& d) { return d.GetGeneral(g); },
                          [=](StateDocument& d, std::uint32_t v) { d.SetGeneral(g, v); }});
    }
    // From 13393: the pairs (Lucca with Frog last), then the triples.
    const MemberSetKey keys[] = {3,  5,  9,  17, 33, 6,  10, 18, 34, 12, 36, 24,
                                 40, 48, 20, 7,  11, 19, 35, 13, 21, 37, 25, 41};
    for (std::size_t k = 0; k < std::size(keys); ++k) {
        fields.push_back({13393 + k, 1,
                          [key = keys[k]](const StateDocument& d) { return d.GetComboTech(key); },
                          [key = keys[k]](StateDocument& d, std::uint32_t v) {
                              d.SetComboTech(key, static_cast<std::uint8_t>(v));
                          }});
    }
    return fields;
}

class RealStates : public ::testing::TestWithParam<RealState> {
protected:
    void SetUp() override {
        original = ReadBytes(TestData(GetParam().file));
        ASSERT_EQ(original.size(), GetParam().size);
        WriteBytes(path, original);
        ASSERT_TRUE(doc.Load(path));
    }
    // Where this state keeps a field that the oldest layout keeps at offset.
    std::size_t Moved(std::size_t offset) const {
        return offset - kOldestWorkRam + GetParam().workRam;
    }
    // The cartridge's number at the console address of that field; unmarked work RAM holds 0x55.
    std::uint32_t Marker(std::size_t offset, std::size_t width) const {
        Bytes bytes(width, 0x55);
        for (std::size_t i = 0; i < width; ++i) {
            const auto found =
                markers.find(static_cast<std::uint32_t>(0x7E0000 + offset - kOldestWorkRam + i));
            bytes[i] = found != markers.end() ? found->second : 0x55;
        }
        return LittleEndian(bytes, 0, width);
    }

    const std::map<std::uint32_t, std::uint8_t> markers = WorkRamMarkers();
    ScratchDir dir;
    std::filesystem::path path = dir / "state.zst";
    Bytes original;
    StateDocument doc;
};

TEST_P(RealStates, EveryFieldReadsTheCartridgesMarkers) {
    EXPECT_EQ(doc.Layout().size, GetParam().size);
    for (const NumberField& f : NumberFields()) {
        EXPECT_EQ(f.get(doc), Marker(f.offset, f.width)) << "offset " << f.offset;
    }
    EXPECT_EQ(doc.GetGeneral(kGeneralGold), 1234567u);
    const char* names[] = {"Aleph", "Bravo", "Cobra", "Delta", "Ember", "Fjord", "Gizmo"};
    for (std::size_t m = 0; m < 7; ++m) {
        EXPECT_EQ(doc.GetName(kMemberOrder[m]), names[m]);
    }
    for (int slot = 0; slot < 243; ++slot) {
        std::uint32_t amount = 0;
        std::string name;
        doc.GetInventorySlot(slot, amount, name);
        const auto at = static_cast<std::size_t>(slot);
        EXPECT_EQ(amount, Marker(kInventoryAmountsAt + at, 1)) << "slot " << slot;
        EXPECT_EQ(doc.GetInventoryItemId(slot), Marker(kInventoryIdsAt + at, 1)) << "slot " << slot;
    }
}

TEST_P(RealStates, SaveChangesExactlyTheEditedBytesWhereTheLayoutKeepsThem) {
    Bytes expected = original;
    for (const NumberField& f : NumberFields()) {
        const std::uint32_t value = ~f.get(doc);
        f.set(doc, value);
        for (std::size_t i = 0; i < f.width; ++i) {
            expected[Moved(f.offset + i)] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }
    doc.SetName(kRobo, "Zeal");
    const Bytes zeal = {0xB9, 0xBE, 0xBA, 0xC5, 0x00};
    std::copy(zeal.begin(), zeal.end(), expected.begin() + Moved(NameOffset(kRobo)));
    doc.SetInventorySlotById(242, 9, 0x0A);
    expected[Moved(kInventoryIdsAt + 242)] = 0x0A;
    expected[Moved(kInventoryAmountsAt + 242)] = 9;
    ASSERT_TRUE(doc.Save());
    const Bytes saved = ReadBytes(path);
    // The whole file is compared: battery RAM and the preview picture come back as they were read.
    EXPECT_EQ(DiffOffsets(expected, saved), std::vector<long>{});
    const RealState& s = GetParam();
    EXPECT_EQ(s.preview + 7168, saved.size());
    if (s.batteryRam != 0) {
        EXPECT_EQ(std::string(saved.begin() + s.batteryRam, saved.begin() + s.batteryRam + 16),
                  "ORVANE-SRAM-HEAD");
    }

    // Save As keeps the layout of the loaded file.
    ASSERT_TRUE(doc.SaveAs(dir / "copy.zst"));
    EXPECT_EQ(ReadBytes(dir / "copy.zst"), saved);
}

INSTANTIATE_TEST_SUITE_P(EveryVersion, RealStates, ::testing::ValuesIn(kRealStates),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

}  // namespace
