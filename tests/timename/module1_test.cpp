// SPDX-License-Identifier: GPL-3.0-or-later
#include "module1.h"

#include <gtest/gtest.h>

#include "fixtures.h"

using namespace orvane::test;

namespace {

using Module1::FileError;

constexpr std::int64_t kSlot = 14390;  // Crono's slot

TEST(CodeTable, HoldsLettersDigitsAndSpaceAndNothingElse) {
    const Module1::CodeTable table = Module1::BuildCodeTable();
    int characters = 0;
    for (char entry : table) {
        characters += entry != '\0' ? 1 : 0;
    }
    EXPECT_EQ(characters, 26 + 26 + 10 + 1);
    EXPECT_EQ(table[0xA0], 'A');
    EXPECT_EQ(table[0xB9], 'Z');
    EXPECT_EQ(table[0xBA], 'a');
    EXPECT_EQ(table[0xD3], 'z');
    EXPECT_EQ(table[0xD4], '0');
    EXPECT_EQ(table[0xDD], '9');
    EXPECT_EQ(table[0xEF], ' ');
    EXPECT_EQ(table[0x00], '\0');
    EXPECT_EQ(table[0xDE], '\0');
}

class NameSlot : public testing::Test {
protected:
    void Save() {
        m_path = WriteBytes(m_files / "slot.zst", m_bytes);
        ASSERT_EQ(m_file.Open(m_path), FileError::None);
    }

    std::string Read() {
        std::string name = "unread";
        EXPECT_EQ(Module1::ReadName(m_file, kSlot, Module1::kNameLength, name), FileError::None);
        return name;
    }

    // Writes text and checks that no byte outside offsets changed.
    void WriteAndExpectChanged(std::u32string_view text, std::vector<std::int64_t> offsets) {
        EXPECT_EQ(Module1::WriteName(m_file, kSlot, text, Module1::kNameLength), FileError::None);
        EXPECT_EQ(DiffOffsets(m_bytes, ReadBytes(m_path)), offsets);
    }

    Bytes SlotAfterWrite() {
        const Bytes after = ReadBytes(m_path);
        return Bytes(after.begin() + kSlot, after.begin() + kSlot + 6);
    }

    ScratchDir m_files;
    Bytes m_bytes = FillerBytes(274047);
    std::filesystem::path m_path;
    Module1::ByteFile m_file;
};

TEST_F(NameSlot, ReadsFiveLettersAndIgnoresTheSixthByte) {
    SetBytes(m_bytes, kSlot, {0xA2, 0xCB, 0xC8, 0xC7, 0xC8, 0xA0});
    Save();
    EXPECT_EQ(Read(), "Crono");
}

TEST_F(NameSlot, ReadsAShortNameEndedByZeros) {
    SetBytes(m_bytes, kSlot, {0xA0, 0xD2, 0xC5, 0xBA, 0x00, 0x00});
    Save();
    EXPECT_EQ(Read(), "Ayla");
}

TEST_F(NameSlot, DropsBytesWithoutACharacterAnywhere) {
    SetBytes(m_bytes, kSlot, {0xA0, 0x00, 0xA1, 0xFF, 0x9F});
    Save();
    EXPECT_EQ(Read(), "AB");
}

TEST_F(NameSlot, PadsAShortNameWithSpaceCodes) {
    SetBytes(m_bytes, kSlot, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    Save();
    WriteAndExpectChanged(U"Ayla", {kSlot, kSlot + 1, kSlot + 2, kSlot + 3, kSlot + 4});
    EXPECT_EQ(SlotAfterWrite(), (Bytes{0xA0, 0xD2, 0xC5, 0xBA, 0xEF, 0x00}));
    EXPECT_EQ(Read(), "Ayla ");
}

TEST_F(NameSlot, EmptyNameBecomesFiveSpaces) {
    SetBytes(m_bytes, kSlot, {0xA2, 0xCB, 0xC8, 0xC7, 0xC8, 0x00});
    Save();
    WriteAndExpectChanged(U"", {kSlot, kSlot + 1, kSlot + 2, kSlot + 3, kSlot + 4});
    EXPECT_EQ(SlotAfterWrite(), (Bytes{0xEF, 0xEF, 0xEF, 0xEF, 0xEF, 0x00}));
}

TEST_F(NameSlot, CharactersWithoutCodeKeepTheirOldByte) {
    SetBytes(m_bytes, kSlot, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66});
    Save();
    WriteAndExpectChanged(U"R2-D2", {kSlot, kSlot + 1, kSlot + 3, kSlot + 4});
    EXPECT_EQ(SlotAfterWrite(), (Bytes{0xB1, 0xD6, 0x33, 0xA3, 0xD6, 0x66}));

    WriteAndExpectChanged(U"\u00e9tA\U0001F600",
                          {kSlot, kSlot + 1, kSlot + 2, kSlot + 3, kSlot + 4});
    EXPECT_EQ(SlotAfterWrite(), (Bytes{0xB1, 0xCD, 0xA0, 0xA3, 0xEF, 0x66}));
}

TEST_F(NameSlot, UpperAndLowerCaseHaveTheirOwnCodes) {
    Save();
    EXPECT_EQ(Module1::WriteName(m_file, kSlot, U"aAzZ9", Module1::kNameLength), FileError::None);
    EXPECT_EQ(SlotAfterWrite(), (Bytes{0xBA, 0xA0, 0xD3, 0xB9, 0xDD, m_bytes[kSlot + 5]}));
}

TEST_F(NameSlot, TextLongerThanTheNameNeverReachesTheSixthByte) {
    SetBytes(m_bytes, kSlot, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    Save();
    WriteAndExpectChanged(U"Marlene", {kSlot, kSlot + 1, kSlot + 2, kSlot + 3, kSlot + 4});
    EXPECT_EQ(SlotAfterWrite().back(), 0x00);
}

class FileAccess : public NameSlot {};

TEST_F(FileAccess, MissingFileIsReportedAndNotCreated) {
    const std::filesystem::path missing = m_files / "missing.zst";
    EXPECT_EQ(m_file.Open(missing), FileError::Missing);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(FileAccess, FileWithoutWriteBitsIsRefusedAndUnchanged) {
    m_path = WriteBytes(m_files / "slot.zst", m_bytes);
    MakeReadOnly(m_path);
    EXPECT_EQ(m_file.Open(m_path), FileError::ReadOnly);
    EXPECT_EQ(ReadBytes(m_path), m_bytes);
}

TEST_F(FileAccess, FolderIsNotAFile) {
    EXPECT_EQ(m_file.Open(m_files / ""), FileError::NotRegular);
}

TEST_F(FileAccess, BytesPastTheEndAreNeitherReadNorWritten) {
    Save();
    std::uint8_t byte = 0;
    EXPECT_EQ(m_file.Read(274046, byte), FileError::None);
    EXPECT_EQ(byte, m_bytes[274046]);
    EXPECT_EQ(m_file.Read(274047, byte), FileError::TooShort);
    EXPECT_EQ(m_file.Write(274047, 0x42), FileError::TooShort);
    EXPECT_EQ(m_file.Write(-1, 0x42), FileError::WriteFailed);
    ASSERT_EQ(m_file.Write(3, 0x42), FileError::None);
    EXPECT_EQ(DiffOffsets(m_bytes, ReadBytes(m_path)), std::vector<std::int64_t>{3});
}

TEST_F(FileAccess, FileCutShortAfterOpeningIsNotExtendedByAWrite) {
    Save();
    std::filesystem::resize_file(m_path, kSlot + 2);
    EXPECT_EQ(Module1::WriteName(m_file, kSlot, U"Crono", Module1::kNameLength),
              FileError::TooShort);
    m_file.Close();
    EXPECT_EQ(std::filesystem::file_size(m_path), kSlot + 2);
}

// A file is known by its size and header; anything else is refused with what it was found to be.
TEST(LayoutRecognition, KnowsEachEmulatorsStatesBySizeAndHeader) {
    struct Case {
        const char* what;
        std::size_t size;
        std::string header;
        std::size_t headerAt;
        std::int64_t workRam;          // 0: refused
        std::int64_t refusedSizeOf;    // the size of the layout it matches in size only
        std::int64_t refusedHeaderOf;  // the size of the first layout whose header it has
    };
    const std::vector<Case> cases = {
        {"1.42", 274047, kOldHeader, 0, 0xC13, 0, 0},
        {"1.42 without header", 274047, "", 0, 0xC13, 0, 0},
        {"1.42 size, new header", 274047, kNewHeader, 0, 0xC13, 0, 0},
        {"1.51 and fork 2.0", 282459, kNewHeader, 0, 0xC13, 0, 0},
        {"fork 2.1", 282489, kNewHeader, 0, 0xC31, 0, 0},
        {"fork 2.2", 282493, kNewHeader, 0, 0xC35, 0, 0},
        {"fork 2.2 size, no header", 282493, "", 0, 0, 282493, 0},
        {"fork 2.0 size, old header", 282459, kOldHeader, 0, 0, 282459, 274047},
        {"fork 2.1 size, header shifted", 282489, kNewHeader, 1, 0, 282489, 0},
        {"new header, trailing bytes of the old", 282459,
         std::string("ZSNES Save State File V143\x1A\x3C", 28), 0, 0, 282459, 0},
        {"new header, size between two", 282490, kNewHeader, 0, 0, 0, 282459},
        {"new header, cut short", 280000, kNewHeader, 0, 0, 0, 282459},
        {"old header, one byte more", 274048, kOldHeader, 0, 0, 0, 274047},
        {"nothing known", 1000, "", 0, 0, 0, 0},
        {"empty", 0, "", 0, 0, 0, 0},
    };
    ScratchDir files;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Module1::ByteFile file;
        ASSERT_EQ(file.Open(WriteBytes(files / "state.zst",
                                       WithHeader(FillerBytes(c.size), c.header, c.headerAt))),
                  FileError::None);
        Module1::FileKind kind;
        const FileError error = file.Recognise(kind);
        EXPECT_EQ(kind.size, static_cast<std::int64_t>(c.size));
        if (c.workRam != 0) {
            ASSERT_EQ(error, FileError::None);
            EXPECT_EQ(kind.layout->workRam, c.workRam);
            continue;
        }
        EXPECT_EQ(error, FileError::UnknownLayout);
        EXPECT_EQ(kind.layout, nullptr);
        EXPECT_EQ(kind.sizeOf != nullptr ? kind.sizeOf->size : 0, c.refusedSizeOf);
        EXPECT_EQ(kind.headerOf != nullptr ? kind.headerOf->size : 0, c.refusedHeaderOf);
    }
}

TEST(TimeByteFromText, TakesTheNumberAtTheStartOfTheText) {
    EXPECT_EQ(Module1::TimeByteFromText("12"), 12);
    EXPECT_EQ(Module1::TimeByteFromText("7"), 7);
    EXPECT_EQ(Module1::TimeByteFromText(""), 0);
    EXPECT_EQ(Module1::TimeByteFromText("x5"), 0);
    EXPECT_EQ(Module1::TimeByteFromText("12ab"), 12);
    EXPECT_EQ(Module1::TimeByteFromText(" 5"), 5);
    EXPECT_EQ(Module1::TimeByteFromText("255"), 255);
}

TEST(TimeByteFromText, RoundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(Module1::TimeByteFromText("2.5"), 2);
    EXPECT_EQ(Module1::TimeByteFromText("3.5"), 4);
    EXPECT_EQ(Module1::TimeByteFromText("2.50001"), 3);
    EXPECT_EQ(Module1::TimeByteFromText("2.49"), 2);
    EXPECT_EQ(Module1::TimeByteFromText(".5"), 0);
    EXPECT_EQ(Module1::TimeByteFromText("-0.4"), 0);
    EXPECT_EQ(Module1::TimeByteFromText("254.5"), 254);
}

TEST(TimeByteFromText, RefusesNumbersThatDoNotFitAByte) {
    EXPECT_EQ(Module1::TimeByteFromText("256"), std::nullopt);
    EXPECT_EQ(Module1::TimeByteFromText("255.5"), std::nullopt);
    EXPECT_EQ(Module1::TimeByteFromText("-1"), std::nullopt);
    EXPECT_EQ(Module1::TimeByteFromText("-0.6"), std::nullopt);
    EXPECT_EQ(Module1::TimeByteFromText("99999999999999999999"), std::nullopt);
}

}  // namespace
