// SPDX-License-Identifier: GPL-3.0-or-later
// What the accessors make of names, inventory slots and selectors outside their tables, as byte
// diffs on a random image. The real states check every number field's offset and width.

#include <gtest/gtest.h>

#include "field_offsets.h"
#include "fixtures.h"
#include "state_document.h"

using namespace orvane;
using namespace orvane::test;

namespace {

// Bytes by file offset.
using Changes = std::map<std::size_t, std::uint8_t>;

class Fields : public ::testing::Test {
protected:
    void SetUp() override {
        doc.SetWarningSink(warnings.Sink());
        Load({});
    }
    // A random image with these bytes set.
    void Load(const Changes& changes) {
        loaded = With(RandomBytes(kClassicSize, 5), changes);
        ASSERT_TRUE(doc.Load(WriteBytes(dir / "state.zst", loaded)));
    }
    static Bytes With(Bytes bytes, const Changes& changes) {
        for (const auto& [offset, byte] : changes) {
            bytes[offset] = byte;
        }
        return bytes;
    }
    void ExpectOnly(const Changes& changes) {
        EXPECT_EQ(DiffOffsets(With(loaded, changes), doc.Image().Bytes()), std::vector<long>{});
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

TEST_F(Fields, NamesReadFiveLettersAndWriteFiveBytes) {
    const std::size_t robo = NameOffset(kRobo);
    Load({{robo, 0x9F}, {robo + 1, 0xA0}, {robo + 2, 0xB9}, {robo + 3, 0xBA}, {robo + 4, 0xD3}});
    EXPECT_EQ(doc.GetName(kRobo), " AZaz");
    Load({{robo, 0xD4}, {robo + 1, 0xFF}, {robo + 2, 0x5F}, {robo + 3, 0x00}, {robo + 4, 0xC0}});
    EXPECT_EQ(doc.GetName(kRobo), "    g");
    const std::pair<std::string_view, Bytes> writes[] = {
        {"Lucca", {0xAB, 0xCE, 0xBC, 0xBC, 0xBA}},
        {"Al", {0xA0, 0xC5, 0x00, 0x00, 0x00}},
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
        const CharacterId who = kMemberOrder[w % 7];
        doc.SetName(who, writes[w].first);
        Changes slot;  // the sixth byte is never written
        for (std::size_t i = 0; i < 5; ++i) {
            slot[NameOffset(who) + i] = writes[w].second[i];
        }
        ExpectOnly(slot);
    }
}

TEST_F(Fields, InventorySlotsByNameAndById) {
    const std::size_t id = kInventoryIdsAt, amount = kInventoryAmountsAt;
    // Five Tonics first, an ID with amount 0, and last an ID the catalogue lacks.
    const Changes slots = {{id, 0xBD},      {amount, 5},      {id + 7, 0xC0},
                           {amount + 7, 0}, {id + 242, 0x94}, {amount + 242, 3}};
    Load(slots);
    EXPECT_EQ(doc.GetInventorySize(), 243);
    struct Read {
        int slot;
        std::uint32_t amount;
        const char* name;
    };
    for (const Read& r : {Read{0, 5, "Tonic"}, Read{7, 0, "kept"}, Read{-1, 99, "kept"},
                          Read{243, 99, "kept"}, Read{242, 3, ""}}) {
        std::uint32_t got = 99;
        std::string name = "kept";
        doc.GetInventorySlot(r.slot, got, name);
        EXPECT_EQ(got, r.amount) << r.slot;
        EXPECT_EQ(name, r.name) << r.slot;
    }
    EXPECT_EQ(warnings.texts, std::vector<std::string>{"Item ID not found!"});
    EXPECT_EQ(doc.GetInventoryItemId(242), 0x94u);

    struct Write {
        int slot;
        std::uint32_t amount;
        const char* name;
        Changes changes;
        std::vector<std::string> warnings;
    };
    const Write writes[] = {
        {1, 300, "Ether", {{id + 1, 0xC0}, {amount + 1, 300 % 256}}, {}},
        {0, 0, "Megablast", {{id, 0x00}, {amount, 0}}, {}},
        {2, 4, "No Such Thing", {{id + 2, 0x00}, {amount + 2, 4}}, {"Item name not found!"}},
        {242, 9, "Tonic", {{id + 242, 0xBD}, {amount + 242, 9}}, {}},
        {-1, 9, "Tonic", {}, {}},
        {243, 9, "Tonic", {}, {}},
    };
    for (const Write& w : writes) {
        SCOPED_TRACE(w.slot);
        Load(slots);
        warnings.texts.clear();
        doc.SetInventorySlot(w.slot, w.amount, w.name);
        ExpectOnly(w.changes);
        EXPECT_EQ(warnings.texts, w.warnings);
    }
    doc.SetInventorySlotById(241, 3, 0x94);  // so an ID the catalogue lacks survives a save
    ExpectOnly({{id + 241, 0x94}, {amount + 241, 3}});
}

TEST(TechLevels, LevelNIsNHighBitsAndNoOtherByteDecodes) {
    const std::uint8_t bytes[] = {0x00, 0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE, 0xFF};
    for (int level = 0; level <= 8; ++level) {
        EXPECT_EQ(EncodeTechLevel(level), bytes[level]);
        EXPECT_EQ(DecodeTechLevel(bytes[level]), level);
    }
    int legal = 0;
    for (int b = 0; b < 256; ++b) {
        legal += DecodeTechLevel(static_cast<std::uint8_t>(b)).has_value() ? 1 : 0;
    }
    EXPECT_EQ(legal, 9);
}

}  // namespace
