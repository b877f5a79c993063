#include "module1.h"

#include <gtest/gtest.h>

#include "state_files.h"

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
    std::filesystem::path Save() { return m_path = m_files.Write("slot.zst", m_bytes); }

    std::string Read() {
        std::string name = "unread";
        EXPECT_EQ(Module1::ReadName(kSlot, m_path, Module1::kNameLength, name), FileError::None);
        return name;
    }

    // Writes text and checks that no byte outside offsets changed.
    void WriteAndExpectChanged(std::u32string_view text, std::vector<std::int64_t> offsets) {
        EXPECT_EQ(Module1::WriteName(kSlot, m_path, text, Module1::kNameLength), FileError::None);
        EXPECT_EQ(ChangedOffsets(m_bytes, ReadAll(m_path)), offsets);
    }

    Bytes SlotAfterWrite() {
        const Bytes after = ReadAll(m_path);
        return Bytes(after.begin() + kSlot, after.begin() + kSlot + 6);
    }

    StateFiles m_files;
    Bytes m_bytes = FillerState(Module1::kMinimumStateSize);
    std::filesystem::path m_path;
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
    EXPECT_EQ(Module1::WriteName(kSlot, m_path, U"aAzZ9", Module1::kNameLength), FileError::None);
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
    const std::filesystem::path missing = m_files.PathOf("missing.zst");
    std::string name;
    EXPECT_EQ(Module1::ReadName(kSlot, missing, Module1::kNameLength, name), FileError::Missing);
    EXPECT_EQ(Module1::WriteName(kSlot, missing, U"Crono", Module1::kNameLength),
              FileError::Missing);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(FileAccess, FileWithoutWriteBitsIsRefusedAndUnchanged) {
    Save();
    MakeReadOnly(m_path);
    std::string name;
    EXPECT_EQ(Module1::ReadName(kSlot, m_path, Module1::kNameLength, name), FileError::ReadOnly);
    EXPECT_EQ(Module1::WriteName(kSlot, m_path, U"Crono", Module1::kNameLength),
              FileError::ReadOnly);
    EXPECT_EQ(ReadAll(m_path), m_bytes);
}

TEST_F(FileAccess, FolderIsNotAFile) {
    std::string name;
    EXPECT_EQ(Module1::ReadName(kSlot, m_files.PathOf(""), Module1::kNameLength, name),
              FileError::NotRegular);
}

TEST_F(FileAccess, ShortFileIsNeitherWrittenNorExtended) {
    m_bytes.resize(kSlot + 3);
    Save();
    EXPECT_EQ(Module1::WriteName(kSlot, m_path, U"Crono", Module1::kNameLength),
              FileError::TooShort);
    EXPECT_EQ(ReadAll(m_path), m_bytes);
}

TEST_F(FileAccess, ReadingANameNeedsItsSixthByte) {
    m_bytes.resize(kSlot + Module1::kNameLength);
    Save();
    std::string name = "kept";
    EXPECT_EQ(Module1::ReadName(kSlot, m_path, Module1::kNameLength, name), FileError::TooShort);
    EXPECT_EQ(name, "kept");
}

TEST_F(FileAccess, BytesAtOrPastTheEndAreRefused) {
    m_bytes.resize(10);
    Save();
    Module1::ByteFile file;
    ASSERT_EQ(file.Open(m_path, 10), FileError::None);
    std::uint8_t byte = 0;
    EXPECT_EQ(file.Read(9, byte), FileError::None);
    EXPECT_EQ(byte, m_bytes[9]);
    EXPECT_EQ(file.Read(10, byte), FileError::TooShort);
    EXPECT_EQ(file.Write(10, 0x42), FileError::TooShort);
    EXPECT_EQ(file.Write(-1, 0x42), FileError::WriteFailed);
    ASSERT_EQ(file.Write(3, 0x42), FileError::None);
    file.Close();
    EXPECT_EQ(ChangedOffsets(m_bytes, ReadAll(m_path)), std::vector<std::int64_t>{3});
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
