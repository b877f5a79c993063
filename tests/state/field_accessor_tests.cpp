// SPDX-License-Identifier: GPL-3.0-or-later
// What the accessors make of names, inventory slots and selectors outside their tables, as byte
// diffs on a filler image. The real states check every field's offset and width.

#include <gtest/gtest.h>

#include "fixtures.h"
#include "state_document.h"

using namespace orvane;
using namespace orvane::test;

namespace {

class Fields : public ::testing::Test {
protected:
    void SetUp() override {
        doc.SetWarningSink(warnings.Sink());
        Load({});
    }
    void Load(const Patch& bytes) {
        loaded = Patched(FillerBytes(kClassicSize), bytes);
        ASSERT_TRUE(doc.Load(WriteBytes(dir / "state.zst", loaded)));
    }
    // The image differs from the file loaded by these bytes only.
    void ExpectOnly(const Patch& bytes) {
        EXPECT_EQ(Changes(Patched(loaded, bytes), doc.Image().Bytes()), Patch{});
    }

    ScratchDir dir;
    Bytes loaded;
    StateDocument doc;
    WarningRecorder warnings;
};

TEST_F(Fields, SelectorsOutsideTheTablesReadZeroAndStoreNothing) {
    // No member, stat, general field or technique key (Magus, 64, is in no technique).
    for (std::int32_t bad : {-1, 65, 127, 128}) {
        doc.SetStat(bad, kStatLevel, 1);
        doc.SetStat(kCrono, bad, 1);
        doc.SetGeneral(bad, 1);
        doc.SetTechLevel(bad, 1);
        doc.SetComboTech(bad, 1);
        doc.SetName(bad, "Abc");
        EXPECT_EQ(doc.GetStat(bad, kStatLevel) + doc.GetStat(kCrono, bad) + doc.GetGeneral(bad) +
                      doc.GetTechLevel(bad) + doc.GetComboTech(bad),
                  0u);
    }
    // Just past each table, and a single member as a technique key.
    doc.SetStat(kCrono, 20, 1);
    doc.SetGeneral(7, 1);
    doc.SetTechLevel(3, 1);
    doc.SetComboTech(kMarle, 1);
    EXPECT_EQ(doc.GetStat(kCrono, 20) + doc.GetGeneral(7) + doc.GetTechLevel(3) +
                  doc.GetComboTech(kMarle),
              0u);
    ExpectOnly({});
}

// The name slots are 6 bytes each from 14390, in member order; the sixth byte is never written.
TEST_F(Fields, NamesReadFiveLettersAndWriteFiveBytes) {
    Load(BytesAt(14408, {0x9F, 0xA0, 0xB9, 0xBA, 0xD3}));  // Robo's
    EXPECT_EQ(doc.GetName(kRobo), " AZaz");
    Load(BytesAt(14408, {0xD4, 0xFF, 0x5F, 0x00, 0xC0}));
    EXPECT_EQ(doc.GetName(kRobo), "    g");
    const std::pair<std::string_view, Bytes> writes[] = {
        {"Glenngard", {0xA6, 0xC5, 0xBE, 0xC7, 0xC7}},
        {"azAZ", {0xBA, 0xD3, 0xA0, 0xB9, 0x00}},
        {"R2-D2", {0xB1, 0x00, 0x00, 0xA3, 0x00}},
        // Five characters, not five bytes; a broken sequence is one blank and never swallows
        // the letter after it.
        {"Zo\303\253 ist hier", {0xB9, 0xC8, 0x00, 0x00, 0xC2}},
        {"A\303Bcd", {0xA0, 0x00, 0xA1, 0xBC, 0xBD}},
        {"A\342\202Bc", {0xA0, 0x00, 0x00, 0xA1, 0xBC}},
        {"A\300\257Bc", {0xA0, 0x00, 0x00, 0xA1, 0xBC}},
        {"A\360\237\230B", {0xA0, 0x00, 0x00, 0x00, 0xA1}},
        {std::string_view("Ay\0la", 5), {0xA0, 0xD2, 0x00, 0x00, 0x00}},  // text ends at a zero
    };
    for (std::size_t w = 0; w < std::size(writes); ++w) {
        SCOPED_TRACE(writes[w].first);
        Load({});
        doc.SetName(1 << (w % 7), writes[w].first);
        ExpectOnly(BytesAt(14390 + 6 * (w % 7), writes[w].second));
    }
}

// Item IDs lie one a slot from 12307, amounts from 12563.
TEST_F(Fields, InventorySlotsByNameAndById) {
    // Five Tonics first, an ID with amount 0, and last an ID the catalogue lacks.
    const Patch slots = {{12307, 0xBD}, {12563, 5},    {12314, 0xC0},
                         {12570, 0},    {12549, 0x94}, {12805, 3}};
    Load(slots);
    for (const auto& [slot, amount, name] : {std::tuple{0, 5u, "Tonic"},
                                             {7, 0u, "kept"},
                                             {-1, 99u, "kept"},
                                             {243, 99u, "kept"},
                                             {242, 3u, ""}}) {
        std::uint32_t got = 99;
        std::string read = "kept";
        doc.GetInventorySlot(slot, got, read);
        EXPECT_EQ(got, amount) << slot;
        EXPECT_EQ(read, name) << slot;
    }
    EXPECT_EQ(warnings.texts, std::vector<std::string>{"Item ID not found!"});

    const std::tuple<int, std::uint32_t, const char*, Patch, std::vector<std::string>> writes[] = {
        {1, 300, "Ether", {{12308, 0xC0}, {12564, 300 % 256}}, {}},
        {0, 0, "Megablast", {{12307, 0x00}, {12563, 0}}, {}},
        {2, 4, "No Such Thing", {{12309, 0x00}, {12565, 4}}, {"Item name not found!"}},
        {-1, 9, "Tonic", {}, {}},
        {243, 9, "Tonic", {}, {}},
    };
    for (const auto& [slot, amount, name, bytes, warned] : writes) {
        SCOPED_TRACE(slot);
        Load(slots);
        warnings.texts.clear();
        doc.SetInventorySlot(slot, amount, name);
        ExpectOnly(bytes);
        EXPECT_EQ(warnings.texts, warned);
    }
}

}  // namespace
