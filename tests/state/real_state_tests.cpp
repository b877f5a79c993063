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
namespace fs = std::filesystem;

namespace {

constexpr CharacterId kMembers[] = {kCrono, kMarle, kLucca, kRobo, kFrog, kAyla, kMagus};

// Console addresses of the fields, as the game keeps them in work RAM.
constexpr std::uint32_t kRecords = 0x7E2600;  // 80 bytes a member
constexpr std::uint32_t kNames = 0x7E2C23;    // 6 bytes a member
constexpr std::uint32_t kTechLevels = 0x7E2837;
constexpr std::uint32_t kComboTechs = 0x7E283E;
constexpr std::uint32_t kInventoryIds = 0x7E2400;
constexpr std::uint32_t kInventoryAmounts = 0x7E2500;

constexpr std::int32_t kComboKeys[] = {3,  5,  9,  17, 33, 6,  10, 18, 34, 12, 36, 24,
                                       40, 48, 20, 7,  11, 19, 35, 13, 21, 37, 25, 41};

struct GeneralAt {
    GeneralField field;
    std::uint32_t address;
    std::size_t width;
};

constexpr GeneralAt kGenerals[] = {
    {kGeneralGold, 0x7E2C53, 3},       {kGeneralSilverPoints, 0x7F0052, 1},
    {kGeneralSaves, 0x7E299C, 2},      {kGeneralMinuteUnits, 0x7E0402, 1},
    {kGeneralMinuteTens, 0x7E0403, 1}, {kGeneralHourUnits, 0x7E0404, 1},
    {kGeneralHourTens, 0x7E0405, 1},
};

class RealStates : public ::testing::TestWithParam<RealState> {
protected:
    void SetUp() override {
        original = ReadBytes(TestData(GetParam().file));
        ASSERT_EQ(original.size(), GetParam().size);
        WriteBytes(path, original);
        ASSERT_TRUE(doc.Load(path));
    }

    std::size_t Offset(std::uint32_t address) const {
        return GetParam().workRam + (address - 0x7E0000);
    }
    // A little-endian value from the cartridge's markers; unmarked work RAM holds 0x55.
    std::uint32_t Marker(std::uint32_t address, std::size_t width) const {
        std::uint32_t value = 0;
        for (std::size_t i = width; i-- > 0;) {
            const auto found = markers.find(address + static_cast<std::uint32_t>(i));
            value = value * 256 + (found != markers.end() ? found->second : 0x55);
        }
        return value;
    }

    const std::map<std::uint32_t, std::uint8_t> markers = WorkRamMarkers();
    ScratchDir dir;
    fs::path path = dir / "state.zst";
    Bytes original;
    StateDocument doc;
};

TEST_P(RealStates, EveryFieldReadsTheCartridgesMarkers) {
    EXPECT_EQ(doc.Layout().size, GetParam().size);
    EXPECT_EQ(doc.Image().size(), GetParam().size);
    for (std::size_t m = 0; m < 7; ++m) {
        const std::uint32_t record = kRecords + 80 * static_cast<std::uint32_t>(m);
        for (const RecordField& s : kRecordFields) {
            EXPECT_EQ(doc.GetStat(kMembers[m], s.stat), Marker(record + s.offset, s.width))
                << "member " << m << " stat " << s.stat;
        }
        EXPECT_EQ(doc.GetTechLevel(kMembers[m]), Marker(kTechLevels + m, 1)) << "member " << m;
    }
    const char* names[] = {"Aleph", "Bravo", "Cobra", "Delta", "Ember", "Fjord", "Gizmo"};
    for (std::size_t m = 0; m < 7; ++m) {
        EXPECT_EQ(doc.GetName(kMembers[m]), names[m]);
    }
    for (const GeneralAt& g : kGenerals) {
        EXPECT_EQ(doc.GetGeneral(g.field), Marker(g.address, g.width)) << "field " << g.field;
    }
    EXPECT_EQ(doc.GetGeneral(kGeneralGold), 1234567u);
    for (std::uint32_t k = 0; k < 24; ++k) {
        EXPECT_EQ(doc.GetComboTech(kComboKeys[k]), Marker(kComboTechs + k, 1)) << "key " << k;
    }
    for (std::uint32_t slot = 0; slot < 243; ++slot) {
        std::uint32_t amount = 0;
        std::string name;
        doc.GetInventorySlot(static_cast<int>(slot), amount, name);
        EXPECT_EQ(amount, Marker(kInventoryAmounts + slot, 1)) << "slot " << slot;
        EXPECT_EQ(doc.GetInventoryItemId(static_cast<int>(slot)), Marker(kInventoryIds + slot, 1))
            << "slot " << slot;
    }
}

TEST_P(RealStates, SaveChangesExactlyTheEditedBytesWhereTheLayoutKeepsThem) {
    struct Edit {
        std::function<void(StateDocument&)> apply;
        std::uint32_t address;
        Bytes bytes;
    };
    const Edit edits[] = {
        {[](StateDocument& d) { d.SetGeneral(kGeneralGold, 7654321); },
         0x7E2C53,
         {0xB1, 0xCB, 0x74}},
        {[](StateDocument& d) { d.SetGeneral(kGeneralSilverPoints, 5); }, 0x7F0052, {5}},
        {[](StateDocument& d) { d.SetGeneral(kGeneralHourTens, 9); }, 0x7E0405, {9}},
        {[](StateDocument& d) { d.SetStat(kMagus, kStatMaxMp, 77); }, kRecords + 480 + 9, {77}},
        {[](StateDocument& d) { d.SetStat(kFrog, kStatTechLeft, 0xABCD); },
         kRecords + 320 + 45,
         {0xCD, 0xAB}},
        {[](StateDocument& d) { d.SetName(kRobo, "Zeal"); },
         kNames + 18,
         {0xB9, 0xBE, 0xBA, 0xC5, 0x00}},
        {[](StateDocument& d) { d.SetInventorySlotById(242, 9, 0x0A); },
         kInventoryIds + 242,
         {0x0A}},
        {[](StateDocument&) {}, kInventoryAmounts + 242, {9}},
        {[](StateDocument& d) { d.SetTechLevel(kLucca, 0xE0); }, kTechLevels + 2, {0xE0}},
        {[](StateDocument& d) { d.SetComboTech(41, 0x80); }, kComboTechs + 23, {0x80}},
    };
    Bytes expected = original;
    for (const Edit& e : edits) {
        e.apply(doc);
        std::copy(e.bytes.begin(), e.bytes.end(), expected.begin() + Offset(e.address));
    }
    ASSERT_TRUE(doc.Save());
    const Bytes saved = ReadBytes(path);
    ASSERT_EQ(saved.size(), original.size());
    for (std::size_t i = 0; i < saved.size(); ++i) {
        ASSERT_EQ(saved[i], expected[i]) << "offset 0x" << std::hex << i;
    }
    // What no editor knows comes back as it was read: battery RAM and the preview picture.
    const RealState& s = GetParam();
    const auto same = [&](std::size_t from, std::size_t length) {
        return std::equal(saved.begin() + from, saved.begin() + from + length,
                          original.begin() + from);
    };
    if (s.batteryRam != 0) {
        EXPECT_TRUE(same(s.batteryRam, 8192));
        EXPECT_EQ(std::string(saved.begin() + s.batteryRam, saved.begin() + s.batteryRam + 16),
                  "ORVANE-SRAM-HEAD");
    }
    EXPECT_EQ(s.preview + 7168, saved.size());
    EXPECT_TRUE(same(s.preview, 7168));

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
