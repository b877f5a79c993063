// SPDX-License-Identifier: GPL-3.0-or-later
// What the accessors make of names, inventory slots and selectors outside their tables, by byte
// diffs on a random image. Every number field's offset and width is checked on the real states.

#include <gtest/gtest.h>

#include "field_offsets.h"
#include "fixtures.h"
#include "state_document.h"

using namespace orvane;
using namespace orvane::test;

namespace {

// Bytes by file offset.
using Changes = std::map<std::size_t, std::uint8_t>;

Changes BytesAt(std::size_t offset, const Bytes& bytes) {
    Changes changes;
    for (std::uint8_t byte : bytes) {
        changes[offset++] = byte;
    }
    return changes;
}

class Fields : public ::testing::Test {
protected:
    void SetUp() override {
        doc.SetWarningSink(warnings.Sink());
        Load({});
    }
    // Loads a random image with these bytes set.
    void Load(const Changes& changes) {
        loaded = RandomBytes(kClassicSize, 5);
        for (const auto& [offset, byte] : changes) {
            loaded[offset] = byte;
        }
        WriteBytes(path, loaded);
        ASSERT_TRUE(doc.Load(path));
    }
    // The image is the loaded one with exactly these bytes changed.
    void ExpectOnly(const Changes& changes) {
        Bytes expected = loaded;
        for (const auto& [offset, byte] : changes) {
            expected[offset] = byte;
        }
        EXPECT_EQ(DiffOffsets(expected, doc.Image().Bytes()), std::vector<long>{});
    }

    ScratchDir dir;
    std::filesystem::path path = dir / "state.zst";
    Bytes loaded;
    StateDocument doc;
    WarningRecorder warnings;
};

TEST_F(Fields, SelectorsOutsideTheTablesReadZeroAndStoreNothing) {
    for (std::int32_t who : {0, 3, 128, -1}) {
        doc.SetStat(who, kStatLevel, 1);
        doc.SetTechLevel(who, 1);
        doc.SetName(who, "Abc");
        EXPECT_EQ(doc.GetStat(who, kStatLevel) + doc.GetTechLevel(who), 0u) << who;
    }
    for (std::int32_t selector : {-1, 20}) {
        doc.SetStat(kCrono, selector, 1);
        EXPECT_EQ(doc.GetStat(kCrono, selector), 0u);
    }
    for (std::int32_t selector : {-1, 7}) {
        doc.SetGeneral(selector, 1);
        EXPECT_EQ(doc.GetGeneral(selector), 0u);
    }
    for (MemberSetKey key : {0, 1, 65, 127}) {  // Magus takes part in no technique
        doc.SetComboTech(key, 1);
        EXPECT_EQ(doc.GetComboTech(key), 0u);
    }
    ExpectOnly({});
}

TEST_F(Fields, NamesReadFiveLettersAndWriteFiveBytes) {
    struct Read {
        CharacterId who;
        Bytes slot;
        const char* name;
    };
    for (const Read& r : {Read{kRobo, {0xA2, 0xCB, 0xC8, 0xC7, 0xC8, 0x77}, "Crono"},
                          Read{kFrog, {0xA5, 0xCB, 0xC8, 0xC0, 0x00}, "Frog "},
                          Read{kAyla, {0x9F, 0xA0, 0xB9, 0xBA, 0xD3}, " AZaz"},
                          Read{kMagus, {0xD4, 0xFF, 0x5F, 0x00, 0xC0}, "    g"}}) {
        Load(BytesAt(NameOffset(r.who), r.slot));
        EXPECT_EQ(doc.GetName(r.who), r.name);
    }
    struct Write {
        std::string_view text;
        Bytes slot;  // the sixth byte is never written
    };
    const Write writes[] = {
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
        SCOPED_TRACE(writes[w].text);
        Load({});
        const CharacterId who = kMemberOrder[w % 7];
        doc.SetName(who, writes[w].text);
        ExpectOnly(BytesAt(NameOffset(who), writes[w].slot));
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
