// SPDX-License-Identifier: GPL-3.0-or-later
// tellim's file side: names and play-time digits read and written in place, at the offsets given
// here, in every layout. The two programs keep the facts they share apart on purpose, each in its
// own code: the file layouts, the name slots and the play-time digits; they must still agree.

#include "name_time_file.h"

#include <gtest/gtest.h>

#include "field_map.h"
#include "fixtures.h"
#include "zsnes_state.h"

using namespace orvane::test;
using tellim::FileError;
namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kSlot = 14390;  // Crono's slot

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
            EXPECT_EQ(tellim::WriteName(file, kSlot, text, tellim::kNameLength), FileError::None);
            bytes = Patched(bytes, BytesAt(kSlot, after));
        }
        EXPECT_EQ(Changes(bytes, ReadBytes(path)), Patch{});
        std::string name = "unread";
        EXPECT_EQ(tellim::ReadName(file, kSlot, tellim::kNameLength, name), FileError::None);
        EXPECT_EQ(name, read);
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
    EXPECT_EQ(tellim::WriteName(file, kSlot, U"Crono", tellim::kNameLength), FileError::TooShort);
    file.Close();
    EXPECT_EQ(fs::file_size(path), kSlot + 2);
}

// A file is known by its size and header (the window tests open each real state); anything else is
// refused with what it was found to be: the layouts it matches in size only and by header only.
TEST(LayoutRecognition, KnowsEachEmulatorsStatesBySizeAndHeader) {
    const std::string oldTail("ZSNES Save State File V143\x1A\x3C", 28);
    const std::tuple<const char*, std::size_t, std::string, std::size_t, std::int64_t, std::int64_t,
                     std::int64_t>
        cases[] = {
            // what, size, header, header at, work RAM (0: refused), size of, header of
            {"1.42", 274047, kOldHeader, 0, 0xC13, 0, 0},
            {"1.42 without header", 274047, "", 0, 0xC13, 0, 0},
            {"1.42 size, new header", 274047, kNewHeader, 0, 0xC13, 0, 0},
            {"fork 2.2 size, no header", 282493, "", 0, 0, 282493, 0},
            {"fork 2.0 size, old header", 282459, kOldHeader, 0, 0, 282459, 274047},
            {"fork 2.1 size, header shifted", 282489, kNewHeader, 1, 0, 282489, 0},
            {"new header, trailing bytes of the old", 282459, oldTail, 0, 0, 282459, 0},
            {"new header, size between two", 282490, kNewHeader, 0, 0, 0, 282459},
            {"new header, cut short", 280000, kNewHeader, 0, 0, 0, 282459},
            {"old header, one byte more", 274048, kOldHeader, 0, 0, 0, 274047},
            {"nothing known", 1000, "", 0, 0, 0, 0},
            {"empty", 0, "", 0, 0, 0, 0},
        };
    ScratchDir files;
    for (const auto& [what, size, header, at, workRam, sizeOf, headerOf] : cases) {
        SCOPED_TRACE(what);
        tellim::ByteFile file;
        ASSERT_EQ(
            file.Open(WriteBytes(files / "state.zst", WithHeader(FillerBytes(size), header, at))),
            FileError::None);
        tellim::FileKind kind;
        EXPECT_EQ(file.Recognise(kind), workRam != 0 ? FileError::None : FileError::UnknownLayout);
        EXPECT_EQ(kind.size, static_cast<std::int64_t>(size));
        EXPECT_EQ(kind.layout != nullptr ? kind.layout->workRam : 0, workRam);
        if (workRam == 0) {
            EXPECT_EQ(kind.sizeOf != nullptr ? kind.sizeOf->size : 0, sizeOf);
            EXPECT_EQ(kind.headerOf != nullptr ? kind.headerOf->size : 0, headerOf);
        }
    }
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

TEST(TablesAgree, LayoutsNameSlotsAndPlayTime) {
    ASSERT_EQ(tellim::kStateLayouts.size(), orvane::kFileLayouts.size());
    for (std::size_t i = 0; i < orvane::kFileLayouts.size(); ++i) {
        const orvane::FileLayout& editor = orvane::kFileLayouts[i];
        const tellim::StateLayout& companion = tellim::kStateLayouts[i];
        const orvane::StateHeader& header = orvane::kStateHeaders[editor.header];
        std::string bytes(header.text);
        bytes.append({static_cast<char>(header.tail[0]), static_cast<char>(header.tail[1])});
        EXPECT_EQ(std::string(companion.header.begin(), companion.header.end()), bytes) << i;
        EXPECT_EQ(std::size_t(companion.size), editor.size) << i;
        EXPECT_EQ(std::size_t(companion.workRam), editor.workRamStart) << i;
        EXPECT_EQ(companion.headerOptional, editor.headerOptional) << i;
    }
    // The companion's boxes in form order, Frog's before Robo's; its time boxes HH:MM.
    const orvane::CharacterId boxes[] = {orvane::kCrono, orvane::kMarle, orvane::kLucca,
                                         orvane::kFrog,  orvane::kRobo,  orvane::kAyla,
                                         orvane::kMagus};
    for (std::size_t box = 0; box < std::size(boxes); ++box) {
        EXPECT_EQ(std::size_t(tellim::kNameSlots[box] - tellim::kFieldsWorkRam),
                  orvane::FindMember(boxes[box])->nameSlot);
    }
    const orvane::GeneralField digits[] = {orvane::kGeneralHourTens, orvane::kGeneralHourUnits,
                                           orvane::kGeneralMinuteTens, orvane::kGeneralMinuteUnits};
    for (std::size_t box = 0; box < std::size(digits); ++box) {
        EXPECT_EQ(std::size_t(tellim::kTimeOffsets[box] - tellim::kFieldsWorkRam),
                  orvane::kGeneralFields[std::size_t(digits[box])].offset);
    }
}

}  // namespace
