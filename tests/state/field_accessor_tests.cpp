// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "byte_order.h"
#include "fixtures.h"
#include "state_document.h"

using namespace orvane;
using namespace orvane::test;

namespace {

constexpr CharacterId kAll[] = {kCrono, kMarle, kLucca, kRobo, kFrog, kAyla, kMagus};

// A document loaded from a file of chosen bytes, with the catalogue's warnings recorded.
class Fields : public ::testing::Test {
protected:
    void Load(const Bytes& bytes) {
        WriteBytes(path, bytes);
        ASSERT_TRUE(doc.Load(path));
    }
    void SetUp() override {
        doc.SetWarningSink(warnings.Sink());
        Load(Bytes(kClassicSize, 0x00));
    }
    // Offsets where the saved file differs from `before`.
    std::set<std::size_t> SavedChanges(const Bytes& before) {
        EXPECT_TRUE(doc.Save());
        const Bytes after = ReadBytes(path);
        EXPECT_EQ(after.size(), before.size());
        const std::vector<long> changed = DiffOffsets(before, after);
        return std::set<std::size_t>(changed.begin(), changed.end());
    }
    std::uint8_t At(std::size_t offset) const { return doc.Image()[offset]; }

    ScratchDir dir;
    std::filesystem::path path = dir / "state.zst";
    StateDocument doc;
    WarningRecorder warnings;
};

TEST(ByteOrder, LittleEndianAndCutToWidth) {
    SaveStateImage image{};
    Write16(image, 10, 0x12345);
    EXPECT_EQ(image[10], 0x45);
    EXPECT_EQ(image[11], 0x23);
    EXPECT_EQ(image[12], 0x00);
    EXPECT_EQ(Read16(image, 10), 0x2345u);
    Write24(image, 20, 0xFF123456);
    EXPECT_EQ(Read24(image, 20), 0x123456u);
    EXPECT_EQ(image[23], 0x00);
}

TEST_F(Fields, StatsLandAtTheirRecordOffsets) {
    Bytes bytes(kClassicSize, 0);
    bytes[12838] = 0x10;
    bytes[12839] = 0x27;
    Load(bytes);
    EXPECT_EQ(doc.GetStat(kCrono, kStatExperience), 10000u);

    doc.SetStat(kMarle, kStatCurrentHp, 999);
    EXPECT_EQ(At(12902), 0xE7);
    EXPECT_EQ(At(12903), 0x03);
    doc.SetStat(kCrono, kStatExperienceToNext, 70000);
    EXPECT_EQ(At(12862), 0x70);
    EXPECT_EQ(At(12863), 0x11);
    EXPECT_EQ(doc.GetStat(kCrono, kStatExperienceToNext), 4464u);
    // Equipment bytes come before the next-level experience; the helmet before the armor.
    doc.SetStat(kMagus, kStatHelmet, 0x7C);
    doc.SetStat(kMagus, kStatArmor, 0x5B);
    doc.SetStat(kMagus, kStatAccessory, 0x95);
    doc.SetStat(kMagus, kStatTechLeft, 0x1234);
    EXPECT_EQ(At(13299 + 39), 0x7C);
    EXPECT_EQ(At(13299 + 40), 0x5B);
    EXPECT_EQ(At(13299 + 42), 0x95);
    EXPECT_EQ(At(13299 + 45), 0x34);
    EXPECT_EQ(At(13299 + 46), 0x12);
}

TEST_F(Fields, GeneralFieldsAndPlayTimeDigits) {
    doc.SetGeneral(kGeneralGold, 9999999);
    EXPECT_EQ(At(14438), 0x7F);
    EXPECT_EQ(At(14439), 0x96);
    EXPECT_EQ(At(14440), 0x98);
    doc.SetGeneral(kGeneralSilverPoints, 0x1FF);
    EXPECT_EQ(At(68709), 0xFF);
    doc.SetGeneral(kGeneralSaves, 513);
    EXPECT_EQ(At(13743), 0x01);
    EXPECT_EQ(At(13744), 0x02);
    // 12:34 reads left to right from offsets 4120, 4119, 4118, 4117.
    doc.SetGeneral(kGeneralHourTens, 1);
    doc.SetGeneral(kGeneralHourUnits, 2);
    doc.SetGeneral(kGeneralMinuteTens, 3);
    doc.SetGeneral(kGeneralMinuteUnits, 4);
    EXPECT_EQ(At(4120), 1);
    EXPECT_EQ(At(4119), 2);
    EXPECT_EQ(At(4118), 3);
    EXPECT_EQ(At(4117), 4);
    EXPECT_EQ(doc.GetGeneral(7), 0u);
    EXPECT_EQ(doc.GetGeneral(-1), 0u);
}

TEST_F(Fields, NamesDecodeLettersAndPadWithBlanks) {
    Bytes bytes(kClassicSize, 0);
    const std::uint8_t crono[] = {0xA2, 0xCB, 0xC8, 0xC7, 0xC8, 0x77};
    const std::uint8_t frog[] = {0xA5, 0xCB, 0xC8, 0xC0, 0x00, 0x55};
    std::copy(std::begin(crono), std::end(crono), bytes.begin() + 14390);
    std::copy(std::begin(frog), std::end(frog), bytes.begin() + 14414);
    Load(bytes);
    EXPECT_EQ(doc.GetName(kCrono), "Crono");
    EXPECT_EQ(doc.GetName(kFrog), "Frog ");
    EXPECT_EQ(doc.GetName(kMagus), "     ");

    doc.SetName(kLucca, "Lucca");
    EXPECT_EQ(Bytes(doc.Image().begin() + 14402, doc.Image().begin() + 14407),
              (Bytes{0xAB, 0xCE, 0xBC, 0xBC, 0xBA}));
    doc.SetName(kCrono, "Al");
    EXPECT_EQ(Bytes(doc.Image().begin() + 14390, doc.Image().begin() + 14396),
              (Bytes{0xA0, 0xC5, 0x00, 0x00, 0x00, 0x77}));
    doc.SetName(kFrog, "Glenngard");
    EXPECT_EQ(doc.GetName(kFrog), "Glenn");
    EXPECT_EQ(At(14419), 0x55) << "the slot's sixth byte is never written";
}

TEST_F(Fields, NameCharactersWithoutACodeBecomeBlanks) {
    doc.SetName(kRobo, "R2-D2");
    EXPECT_EQ(Bytes(doc.Image().begin() + 14408, doc.Image().begin() + 14413),
              (Bytes{0xB1, 0x00, 0x00, 0xA3, 0x00}));
    EXPECT_EQ(doc.GetName(kRobo), "R  D ");
    // Five characters, not five bytes: "Zoë" is three letters and the rest is padding.
    doc.SetName(kAyla, "Zoë ist hier");
    EXPECT_EQ(doc.GetName(kAyla), "Zo  i");
    // A broken sequence is one blank and never swallows the letter after it; text ends at a
    // zero byte.
    for (const char* broken : {"A\xC3"
                               "Bcd",
                               "A\xE2\x82"
                               "Bc",
                               "A\xF0\x9F\x98"
                               "Bc",
                               "A\xC0\xAF"
                               "Bc"}) {
        doc.SetName(kAyla, broken);
        EXPECT_EQ(doc.GetName(kAyla).substr(0, 2), "A ") << broken;
        EXPECT_NE(doc.GetName(kAyla).find('B'), std::string::npos) << broken;
    }
    doc.SetName(kAyla, std::string_view("Ay\0la", 5));
    EXPECT_EQ(doc.GetName(kAyla), "Ay   ");
}

TEST_F(Fields, InventorySlotsByNameAndById) {
    Bytes bytes(kClassicSize, 0);
    bytes[12307] = 0xBD;  // slot 0: 5 Tonics
    bytes[12563] = 5;
    bytes[12307 + 242] = 0x94;  // last slot: an ID the catalogue lacks
    bytes[12563 + 242] = 3;
    bytes[12307 + 7] = 0xC0;  // amount 0: empty whatever the ID
    Load(bytes);

    EXPECT_EQ(doc.GetInventorySize(), 243);
    std::uint32_t amount = 99;
    std::string name = "untouched";
    doc.GetInventorySlot(7, amount, name);
    EXPECT_EQ(amount, 0u);
    EXPECT_EQ(name, "untouched");
    doc.GetInventorySlot(0, amount, name);
    EXPECT_EQ(amount, 5u);
    EXPECT_EQ(name, "Tonic");
    EXPECT_TRUE(warnings.texts.empty());

    doc.GetInventorySlot(242, amount, name);
    EXPECT_EQ(amount, 3u);
    EXPECT_EQ(name, "");
    EXPECT_EQ(warnings.texts, std::vector<std::string>{"Item ID not found!"});
    EXPECT_EQ(doc.GetInventoryItemId(242), 0x94u);

    amount = 42;
    name = "kept";
    doc.GetInventorySlot(243, amount, name);
    doc.GetInventorySlot(-1, amount, name);
    EXPECT_EQ(amount, 42u);
    EXPECT_EQ(name, "kept");

    doc.SetInventorySlot(1, 300, "Ether");
    EXPECT_EQ(At(12308), 0xC0);
    EXPECT_EQ(At(12564), 300 % 256);
    doc.SetInventorySlot(0, 0, "Megablast");
    EXPECT_EQ(At(12307), 0x00);
    EXPECT_EQ(At(12563), 0x00);
    doc.SetInventorySlot(2, 4, "No Such Thing");
    EXPECT_EQ(At(12309), 0x00);
    EXPECT_EQ(At(12565), 4);
    EXPECT_EQ(warnings.texts.back(), "Item name not found!");
    doc.SetInventorySlotById(242, 3, 0x94);
    EXPECT_EQ(At(12307 + 242), 0x94);
}

TEST_F(Fields, TechniqueBytesChangeOneAtATime) {
    const Bytes before = RandomBytes(kClassicSize, 5);
    Load(before);
    doc.SetTechLevel(kCrono, 0xC0);
    doc.SetComboTech(20, 0xE0);  // Lucca and Frog: the last pair byte
    doc.SetComboTech(41, 0x80);  // Crono, Robo and Ayla: the last triple byte
    doc.SetTechLevel(3, 0xFF);   // not a member
    doc.SetComboTech(65, 0xFF);  // Magus takes part in no technique
    EXPECT_EQ(SavedChanges(before), (std::set<std::size_t>{13386, 13407, 13416}));
    EXPECT_EQ(doc.GetTechLevel(kCrono), 0xC0);
    EXPECT_EQ(doc.GetComboTech(20), 0xE0);
    EXPECT_EQ(doc.GetComboTech(65), 0);
    EXPECT_EQ(doc.GetTechLevel(0), 0);
}

TEST(TechLevels, EncodingIsHighBitsFromBitSeven) {
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

// Offsets a setter call may change, from the field map.
std::set<std::size_t> FieldBytes(std::size_t offset, std::size_t width) {
    std::set<std::size_t> out;
    for (std::size_t i = 0; i < width; ++i) {
        out.insert(offset + i);
    }
    return out;
}

std::uint32_t Cut(std::uint32_t value, std::size_t width) {
    return width >= 4 ? value : value & ((1u << (8 * width)) - 1);
}

// Random images and random setter calls, including selectors outside every table: only the bytes
// of the fields that were set may change, and each getter returns the value cut to its width.
TEST_F(Fields, RandomSettersTouchOnlyTheirOwnBytes) {
    std::mt19937 rng(20261207);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (std::uint32_t round = 0; round < 40; ++round) {
        const Bytes before = RandomBytes(kClassicSize, 1000 + round);
        Load(before);
        std::set<std::size_t> allowed;
        for (int call = 0; call < 60; ++call) {
            const std::uint32_t value = static_cast<std::uint32_t>(rng());
            switch (pick(0, 4)) {
                case 0: {
                    const std::int32_t who = pick(0, 4) == 0 ? pick(-2, 130) : kAll[pick(0, 6)];
                    const std::int32_t stat = pick(-2, 21);
                    doc.SetStat(who, stat, value);
                    const MemberInfo* m = FindMember(who);
                    if (m != nullptr && stat >= 0 && stat < 20) {
                        const Field f = kStatFields[static_cast<std::size_t>(stat)];
                        allowed.merge(FieldBytes(m->recordStart + f.offset, f.width));
                        EXPECT_EQ(doc.GetStat(who, stat), Cut(value, f.width));
                    }
                    break;
                }
                case 1: {
                    const std::int32_t field = pick(-2, 8);
                    doc.SetGeneral(field, value);
                    if (field >= 0 && field < 7) {
                        const Field f = kGeneralFields[static_cast<std::size_t>(field)];
                        allowed.merge(FieldBytes(f.offset, f.width));
                        EXPECT_EQ(doc.GetGeneral(field), Cut(value, f.width));
                    }
                    break;
                }
                case 2: {
                    const int slot = pick(-3, 246);
                    doc.SetInventorySlot(slot, value % 300, pick(0, 1) ? "Tonic" : "<empty>");
                    if (slot >= 0 && slot < 243) {
                        allowed.insert(kInventoryIdStart + static_cast<std::size_t>(slot));
                        allowed.insert(kInventoryAmountStart + static_cast<std::size_t>(slot));
                    }
                    break;
                }
                case 3: {
                    const std::int32_t key = pick(0, 130);
                    doc.SetComboTech(key, static_cast<std::uint8_t>(value));
                    if (const auto offset = FindComboTechOffset(key)) {
                        allowed.insert(*offset);
                        EXPECT_EQ(doc.GetComboTech(key), static_cast<std::uint8_t>(value));
                    }
                    break;
                }
                default: {
                    const std::int32_t who = pick(0, 2) == 0 ? pick(-2, 130) : kAll[pick(0, 6)];
                    doc.SetTechLevel(who, static_cast<std::uint8_t>(value));
                    doc.SetName(who, pick(0, 1) ? "Ab cd" : "xyzzy!");
                    if (const MemberInfo* m = FindMember(who)) {
                        allowed.insert(m->techLevel);
                        allowed.merge(FieldBytes(m->nameSlot, 5));
                    }
                    break;
                }
            }
        }
        for (std::size_t offset : SavedChanges(before)) {
            ASSERT_TRUE(allowed.count(offset)) << "round " << round << " offset " << offset;
        }
    }
    EXPECT_TRUE(warnings.texts.empty());
}

}  // namespace
