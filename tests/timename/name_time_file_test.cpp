// SPDX-License-Identifier: GPL-3.0-or-later
// tellim's file side: the name code, names read from a slot and written through a byte at a
// time, a file never read or written past its end, and a save's failures. The window tests open
// and save every real state.

#include "name_time_file.h"

#include <gtest/gtest.h>

#include "fixtures.h"

using namespace orvane::test;
using tellim::FileError;
namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kSlot = 14390;  // Crono's slot in a ZSNES 1.42 state

tellim::ByteWriter Writer(const tellim::ByteFile& file) {
    return [&file](std::int64_t offset, std::uint8_t value) { return file.Write(offset, value); };
}

TEST(CodeTable, HoldsLettersDigitsAndSpaceAndNothingElse) {
    std::string expected(256, '\0');
    for (int i = 0; i < 26; ++i) {
        expected[0xA0 + i] = static_cast<char>('A' + i);
        expected[0xBA + i] = static_cast<char>('a' + i);
    }
    for (int i = 0; i < 10; ++i) {
        expected[0xD4 + i] = static_cast<char>('0' + i);
    }
    expected[0xEF] = ' ';
    const tellim::CodeTable table = tellim::BuildCodeTable();
    EXPECT_EQ(std::string(table.begin(), table.end()), expected);
}

// A character without a code leaves its byte alone, a byte without one reads as nothing, and the
// slot's sixth byte is never read or written. The window tests type and read the rest.
TEST(NameSlot, ReadsFiveCharactersAndWritesPaddedCodes) {
    const Bytes odd = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
    const std::tuple<Bytes, const char32_t*, Bytes, const char*> cases[] = {
        // slot, text written (none when null), slot after, name read
        {{0xA2, 0xCB, 0xC8, 0xC7, 0xC8, 0xA0}, nullptr, {}, "Crono"},
        {{0xA0, 0x00, 0xA1, 0xFF, 0x9F, 0x00}, nullptr, {}, "AB"},
        {odd, U"\u00e9tA\U0001F600", {0x11, 0xCD, 0xA0, 0x44, 0xEF, 0x66}, "tA "},
        {odd, U"Marlene", {0xAC, 0xBA, 0xCB, 0xC5, 0xBE, 0x66}, "Marle"},
    };
    ScratchDir files;
    for (const auto& [slot, text, after, read] : cases) {
        SCOPED_TRACE(read);
        Bytes bytes = Patched(FillerBytes(kClassicSize), BytesAt(kSlot, slot));
        const fs::path path = WriteBytes(files / "slot.zst", bytes);
        tellim::ByteFile file;
        ASSERT_EQ(file.Open(path), FileError::None);
        if (text != nullptr) {
            EXPECT_EQ(tellim::WriteName(Writer(file), kSlot, text, tellim::kNameLength),
                      FileError::None);
            bytes = Patched(bytes, BytesAt(kSlot, after));
        }
        const Bytes written = ReadBytes(path);
        EXPECT_EQ(Changes(bytes, written), Patch{});
        EXPECT_EQ(tellim::ReadName(std::span(written).subspan(kSlot, 6)), read);
    }
}

// Missing, odd and read-only files are the failure tests' business.
TEST(ByteFile, NeverReadsOrWritesPastTheEndNorGrowsTheFile) {
    ScratchDir files;
    const Bytes bytes = FillerBytes(kClassicSize);
    const fs::path path = WriteBytes(files / "slot.zst", bytes);
    tellim::ByteFile file;
    ASSERT_EQ(file.Open(path), FileError::None);
    std::uint8_t byte = 0;
    EXPECT_EQ(file.Read(274046, byte), FileError::None);
    EXPECT_EQ(byte, bytes[274046]);
    EXPECT_EQ(file.Read(274047, byte), FileError::TooShort);
    EXPECT_EQ(file.Write(274047, 0x42), FileError::TooShort);
    EXPECT_EQ(file.Write(-1, 0x42), FileError::WriteFailed);
    ASSERT_EQ(file.Write(3, 0x42), FileError::None);
    EXPECT_EQ(Changes(bytes, ReadBytes(path)), (Patch{{3, 0x42}}));
    fs::resize_file(path, kSlot + 2);  // cut short after opening
    EXPECT_EQ(tellim::WriteName(Writer(file), kSlot, U"Crono", tellim::kNameLength),
              FileError::TooShort);
    file.Close();
    EXPECT_EQ(fs::file_size(path), kSlot + 2);
}

// Success is said only once the bytes are on the disk, and bytes put back count only once flushed.
TEST(WriteState, AFailedFlushIsReportedAndLeavesTheFileNotKnownUndone) {
    ScratchDir files;
    const fs::path path = WriteBytes(files / "state.zst", FillerBytes(274047));
    tellim::FileKind kind;
    bool undone = true;
    FailFlushes(true);
    EXPECT_EQ(tellim::WriteState(path, {}, kind, undone), FileError::FlushFailed);
    FailFlushes(false);
    EXPECT_FALSE(undone);
}

// A battery save: the boxes reach the chosen slot, whose checksum the save makes right; the file
// is written whole, and nothing but that slot's name and time bytes and its checksum changes.
TEST(BatterySave, NamesAndTimeGoIntoTheChosenSlotWithItsChecksum) {
    ScratchDir files;
    const Bytes file = WithSlotCopied(ReadBytes(TestData(kOneSlot)), 0, 1);
    const fs::path path = WriteBytes(files / "game.srm", file);
    tellim::StateFields fields;
    tellim::FileKind kind;
    ASSERT_EQ(tellim::ReadState(path, fields, kind), FileError::None);
    EXPECT_EQ(kind.replacing, orvane::WholeFileOnly::Checksummed);
    EXPECT_EQ(kind.openSlot, 0u);
    std::vector<std::string> labels;
    for (const tellim::SlotSummary& slot : kind.heldSlots) {
        labels.push_back(slot.label + (slot.opens ? "" : " (closed)"));
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"Slot 1: Lee, 07:42", "Slot 2: Lee, 07:42",
                                                "Slot 3: never saved (closed)"}));
    EXPECT_EQ(tellim::ReadState(path, fields, kind, 2), FileError::SlotClosed);
    EXPECT_EQ(kind.refusal, "it is a battery save whose Slot 3 is never saved");

    tellim::StateEdits edits;
    edits.times = {1, 2, 3, 4};
    edits.names = {U"Zeal", U"Marle", U"Lucca", U"Frog", U"Robo", U"Ayla", U"Magus"};
    bool undone = false;
    ASSERT_EQ(tellim::WriteState(path, edits, kind, undone, 1), FileError::None);
    Bytes expected = file;
    // Zeal padded with tellim's space, in Crono's slot; the time's digits from 7E0405 down.
    const Bytes zeal = {0xB9, 0xBE, 0xBA, 0xC5, 0xEF};
    for (std::size_t i = 0; i < zeal.size(); ++i) {
        expected[*InSlot(0x7E2C23 + std::uint32_t(i), 1)] = zeal[i];
    }
    // The other names as the game wrote them; the four-letter ones now padded with a space.
    for (const std::uint32_t blank : {0x7E2C39u, 0x7E2C3Fu, 0x7E2C45u}) {
        expected[*InSlot(blank, 1)] = 0xEF;
    }
    const std::uint8_t digits[] = {4, 3, 2, 1};
    for (std::uint32_t i = 0; i < 4; ++i) {
        expected[*InSlot(0x7E0402 + i, 1)] = digits[i];
    }
    expected = Patched(expected, SlotSeal(expected, 1));
    EXPECT_EQ(Changes(expected, ReadBytes(path)), Patch{});
    ASSERT_EQ(tellim::ReadState(path, fields, kind, 1), FileError::None);
    EXPECT_EQ(fields.names[0], "Zeal ");
    EXPECT_EQ(kind.heldSlots[1].label, "Slot 2: Zeal, 12:34");
}

// What tellim writes lies where a battery save's slot keeps work RAM.
TEST(BatterySave, KeepsEveryPlaceTellimWrites) {
    for (const std::size_t place : tellim::SavePlaces()) {
        EXPECT_TRUE(InSlot(static_cast<std::uint32_t>(0x7E0000 + place), 0)) << place;
    }
}

TEST(TimeByteFromText, TakesTheRoundedNumberAtTheStartIfItFitsAByte) {
    const std::pair<const char*, std::optional<std::uint8_t>> cases[] = {
        {"12", 12},  {"7", 7},       {"", 0},        {"x5", 0},    {"12ab", 12},
        {" 5", 5},   {"0", 0},       {"255", 255},   {"256", {}},  {"-1", {}},
        {"2.5", 2},  {"3.5", 4},     {"2.50001", 3}, {"2.49", 2},  {".5", 0},
        {"-0.4", 0}, {"254.5", 254}, {"255.5", {}},  {"-0.6", {}}, {"99999999999999999999", {}},
    };
    for (const auto& [text, byte] : cases) {
        EXPECT_EQ(tellim::TimeByteFromText(text), byte) << text;
    }
}

}  // namespace
