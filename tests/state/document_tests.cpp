// SPDX-License-Identifier: GPL-3.0-or-later
// The document's fields on the states that real emulator builds wrote: every field reads the
// cartridge's markers, and a save changes exactly the edited bytes where each layout keeps them.
// On a filler image: what the accessors make of names, inventory slots and selectors that real
// states cannot show, and saving whole files where the editor's tests cannot look: as another
// user, beside hard links, with attributes, under a kill or a failing flush.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "decoded_state.h"
#include "fixtures.h"
#include "state_document.h"

using namespace orvane;
using namespace orvane::test;
namespace fs = std::filesystem;

namespace {

// Offset and width in a member's 80-byte record by CharacterStat, face to Tech Left; the records
// lie one after another from 12819 in a state whose work RAM starts at 0xC13.
constexpr std::size_t kStats[20][2] = {
    {0, 1},  {3, 2},  {5, 2},  {7, 1},  {9, 1},  {11, 1}, {12, 1}, {13, 1}, {14, 1}, {15, 1},
    {16, 1}, {17, 1}, {18, 1}, {19, 3}, {43, 2}, {39, 1}, {40, 1}, {41, 1}, {42, 1}, {45, 2}};
// By GeneralField: gold, silver points, saves, then the play time's minute units, minute tens,
// hour units and hour tens, so that HH:MM reads from 4120 down to 4117.
constexpr std::size_t kGenerals[7][2] = {{14438, 3}, {68709, 1}, {13743, 2}, {4117, 1},
                                         {4118, 1},  {4119, 1},  {4120, 1}};
// The technique bytes from 13393 on: the pairs (Lucca with Frog last), then the triples.
constexpr MemberSetKey kComboKeys[24] = {3,  5,  9,  17, 33, 6,  10, 18, 34, 12, 36, 24,
                                         40, 48, 20, 7,  11, 19, 35, 13, 21, 37, 25, 41};

class RealStates : public ::testing::TestWithParam<RealState> {
protected:
    void SetUp() override {
        ASSERT_EQ(loadedStream.size(), GetParam().size);
        ASSERT_TRUE(doc.Load(WriteBytes(path, original)));
    }
    // The work-RAM bytes of the field that a ZSNES 1.42 state, whose work RAM starts at 0xC13,
    // keeps at offset, read from the decoded stream where the state's work RAM starts.
    std::uint32_t InWorkRam(std::size_t offset, std::size_t width) const {
        std::uint32_t value = 0;
        for (std::size_t i = width; i-- > 0;) {
            value = value * 256 + loadedStream.at(GetParam().workRam + offset + i - 0xC13);
        }
        return value;
    }

    const Bytes original = ReadBytes(TestData(GetParam().file));
    const Bytes loadedStream = DecodedBody(original);
    ScratchDir dir;
    const std::filesystem::path path = dir / GetParam().file;
    StateDocument doc;
};

// Work RAM is where the table says: every byte the cartridge stored is there. Some emulators
// fill the rest of work RAM with noise at power-on, others with the cartridge's 0x55.
TEST_P(RealStates, TheCartridgesMarkersAreWhereWorkRamIs) {
    for (const auto& [address, value] : WorkRamMarkers()) {
        ASSERT_EQ(loadedStream.at(GetParam().workRam + address - 0x7E0000), value) << address;
    }
    if (GetParam().batteryRam != 0) {
        EXPECT_EQ(std::string(loadedStream.begin() + GetParam().batteryRam,
                              loadedStream.begin() + GetParam().batteryRam + 16),
                  "ORVANE-SRAM-HEAD");
    }
}

TEST_P(RealStates, EveryFieldReadsItsWorkRamBytes) {
    ASSERT_NE(doc.State(), nullptr);
    EXPECT_EQ(doc.State()->Name(), GetParam().name);
    EXPECT_EQ(doc.State()->Body().size(), GetParam().size);
    const char* names[] = {"Aleph", "Bravo", "Cobra", "Delta", "Ember", "Fjord", "Gizmo"};
    for (std::size_t m = 0; m < 7; ++m) {
        const std::int32_t who = 1 << m;
        for (std::int32_t s = 0; s < 20; ++s) {
            EXPECT_EQ(doc.GetStat(who, s), InWorkRam(12819 + 80 * m + kStats[s][0], kStats[s][1]))
                << who << " stat " << s;
        }
        EXPECT_EQ(doc.GetTechLevel(who), InWorkRam(13386 + m, 1)) << who;
        EXPECT_EQ(doc.GetName(who), names[m]);
    }
    for (std::int32_t g = 0; g < 7; ++g) {
        EXPECT_EQ(doc.GetGeneral(g), InWorkRam(kGenerals[g][0], kGenerals[g][1])) << g;
    }
    EXPECT_EQ(doc.GetGeneral(kGeneralGold), 1234567u);
    EXPECT_EQ(doc.GetStat(kMagus, kStatLevel), 26u);
    for (std::size_t k = 0; k < 24; ++k) {
        EXPECT_EQ(doc.GetComboTech(kComboKeys[k]), InWorkRam(13393 + k, 1)) << kComboKeys[k];
    }
    for (int slot = 0; slot < 243; ++slot) {
        std::uint32_t amount = 0;
        std::string name;
        doc.GetInventorySlot(slot, amount, name);
        EXPECT_EQ(amount, InWorkRam(12563 + std::size_t(slot), 1)) << slot;
        EXPECT_EQ(doc.GetInventoryItemId(slot), InWorkRam(12307 + std::size_t(slot), 1)) << slot;
    }
}

TEST_P(RealStates, SaveChangesExactlyTheEditedBytesWhereTheFormatKeepsThem) {
    Bytes expected = loadedStream;
    // Every field gets the complement of its value: each of its bytes changes, and the bits above
    // its width are dropped.
    const auto put = [&](std::size_t offset, std::size_t width, std::uint32_t value) {
        for (std::size_t i = 0; i < width; ++i) {
            expected[offset + i - 0xC13 + GetParam().workRam] = std::uint8_t(value >> (8 * i));
        }
        return value;
    };
    for (std::size_t m = 0; m < 7; ++m) {
        const std::int32_t who = 1 << m;
        for (std::int32_t s = 0; s < 20; ++s) {
            const std::uint32_t value = ~doc.GetStat(who, s);
            doc.SetStat(who, s, put(12819 + 80 * m + kStats[s][0], kStats[s][1], value));
        }
        const auto level = static_cast<std::uint8_t>(~doc.GetTechLevel(who));
        doc.SetTechLevel(who, static_cast<std::uint8_t>(put(13386 + m, 1, level)));
    }
    for (std::int32_t g = 0; g < 7; ++g) {
        doc.SetGeneral(g, put(kGenerals[g][0], kGenerals[g][1], ~doc.GetGeneral(g)));
    }
    for (std::size_t k = 0; k < 24; ++k) {
        const auto value = static_cast<std::uint8_t>(~doc.GetComboTech(kComboKeys[k]));
        doc.SetComboTech(kComboKeys[k], static_cast<std::uint8_t>(put(13393 + k, 1, value)));
    }
    doc.SetName(kRobo, "Zeal");
    put(14408, 3, 0xBABEB9);    // Robo's name slot: Zea
    put(14408 + 3, 2, 0x00C5);  // l, then a blank
    doc.SetInventorySlotById(242, 9, 0x0A);
    put(12307 + 242, 1, 0x0A);
    put(12563 + 242, 1, 9);
    ASSERT_TRUE(doc.Save());
    const Bytes saved = ReadBytes(path);
    // The whole stream is compared: battery RAM, previews and every block the editor does not
    // know come back as they were read.
    EXPECT_EQ(Changes(expected, DecodedBody(saved)), Patch{});
    // The same container: a compressed one keeps its kind and its header; a stream that keeps
    // the body coded keeps what precedes it; any other plain file is the stream.
    if (GetParam().compressed) {
        const std::size_t header = ContainerHeaderSize(original);
        EXPECT_EQ(Bytes(saved.begin(), saved.begin() + header),
                  Bytes(original.begin(), original.begin() + header));
    }
    if (doc.State()->StateIsCoded()) {
        const auto head = [this](const Bytes& file) {
            const Bytes stream = DecodedStream(file);
            return Bytes(stream.begin(), stream.begin() + std::ptrdiff_t(GetParam().keptHead));
        };
        EXPECT_EQ(head(saved), head(original));
    } else if (!GetParam().compressed) {
        EXPECT_EQ(saved, expected);
    }
    // Save As keeps the format of the loaded file.
    ASSERT_TRUE(doc.SaveAs(dir / "copy"));
    EXPECT_EQ(ReadBytes(dir / "copy"), saved);
}

TEST_P(RealStates, SaveWithoutChangesGivesBackTheEmulatorsOwnBytes) {
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(ReadBytes(path), original);
}

INSTANTIATE_TEST_SUITE_P(EveryEmulator, RealStates, ::testing::ValuesIn(EveryRealState()),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

class Document : public ::testing::Test {
protected:
    void SetUp() override {
        doc.SetWarningSink(warnings.Sink());
        Load({});
    }
    // A filler image with these bytes.
    void Load(const Patch& bytes) {
        original = Patched(FillerBytes(kClassicSize), bytes);
        ASSERT_TRUE(doc.Load(WriteBytes(loaded, original)));
    }
    Bytes Image() const {
        return Bytes(doc.State()->Stream().begin(), doc.State()->Stream().end());
    }
    // The image differs from the file loaded by these bytes only.
    void ExpectOnly(const Patch& bytes) {
        EXPECT_EQ(Changes(Patched(original, bytes), Image()), Patch{});
    }

    ScratchDir dir;
    const fs::path loaded = dir / "loaded.zst";
    Bytes original;
    StateDocument doc;
    WarningRecorder warnings;
};

TEST_F(Document, SelectorsOutsideTheTablesReadZeroAndStoreNothing) {
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
TEST_F(Document, NamesReadFiveLettersAndWriteFiveBytes) {
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
TEST_F(Document, InventorySlotsByNameAndById) {
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

TEST_F(Document, TheOldestSizeOpensWhateverItsHeader) {
    const Bytes newerHeader = WithHeader(original, kNewHeader);
    ASSERT_TRUE(doc.Load(WriteBytes(dir / "odd.zst", newerHeader)));
    EXPECT_EQ(Image(), newerHeader);
}

TEST_F(Document, SaveKeepsPermissionBitsAttributesAndSymlinks) {
    ASSERT_EQ(::chmod(loaded.c_str(), 0640), 0);
    const bool attributes = ::setxattr(loaded.c_str(), "user.origin", "emulator", 8, 0) == 0;
    doc.SetGeneral(kGeneralGold, 5);
    ASSERT_TRUE(doc.Save());
    struct stat st {};
    ASSERT_EQ(::stat(loaded.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    char value[16] = {};
    if (attributes) {
        EXPECT_EQ(::getxattr(loaded.c_str(), "user.origin", value, sizeof value), 8);
        EXPECT_EQ(std::string(value), "emulator");
    }
    const fs::path link = dir / "link.zst";
    fs::create_symlink(loaded, link);
    doc.SetGeneral(kGeneralGold, 6);
    ASSERT_TRUE(doc.SaveAs(link));
    EXPECT_TRUE(fs::is_symlink(link)) << "the link itself must survive";
    EXPECT_EQ(ReadBytes(loaded), Image());
}

// A link whose file does not exist yet gets it made where it points, through a chain of links,
// each relative one read from its own folder.
TEST_F(Document, SaveAsThroughADanglingLinkMakesTheFileItNames) {
    fs::create_directory(dir / "links");
    fs::create_directory(dir / "saves");
    fs::create_symlink("../saves/slot", dir / "links" / "state.zst");
    fs::create_symlink("slot.zst", dir / "saves" / "slot");
    doc.SetGeneral(kGeneralGold, 6);
    ASSERT_TRUE(doc.SaveAs(dir / "links" / "state.zst"));
    EXPECT_TRUE(fs::is_symlink(dir / "links" / "state.zst"));
    EXPECT_TRUE(fs::is_symlink(dir / "saves" / "slot"));
    EXPECT_EQ(ReadBytes(dir / "saves" / "slot.zst"), Image());
    EXPECT_EQ(Entries(dir / "saves"), (std::vector<std::string>{"slot", "slot.zst"}));
}

// A kill must leave no file: the new content has no name until it is complete.
TEST_F(Document, SaveKilledWhileWritingLeavesNoFileBehind) {
    doc.SetGeneral(kGeneralGold, 777);
    EXPECT_EQ(InChild([&] { return bool(doc.Save()); }, 100000, OverLimit::Kills), std::nullopt);
    EXPECT_EQ(ReadBytes(loaded), original);
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"loaded.zst"});
}

// Where no new file can take the target's place, the changed bytes are written in place: beside
// another hard link, in a folder the user cannot write, as another user's file in a sticky folder.
TEST_F(Document, FilesThatCannotBeReplacedAreWrittenInPlace) {
    fs::create_hard_link(loaded, dir / "other-name.zst");
    doc.SetGeneral(kGeneralGold, 31337);
    ASSERT_TRUE(doc.Save());
    EXPECT_EQ(ReadBytes(dir / "other-name.zst"), Image());
    fs::remove(dir / "other-name.zst");
    ASSERT_EQ(::chmod(loaded.c_str(), 0666), 0);
    for (mode_t folder : {0555, 01777}) {
        ASSERT_EQ(::chmod(dir.Path().c_str(), folder), 0);
        doc.SetGeneral(kGeneralGold, folder);
        EXPECT_EQ(InChild([this] { return BecomeNobody() && doc.Save(); }), true);
        ::chmod(dir.Path().c_str(), 0755);
        EXPECT_EQ(ReadBytes(loaded), Image());
        EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"loaded.zst"});
    }
}

// The new content must be on the disk before it replaces the target, in place or by a new file.
// In place, a file that grew or shrank on disk since the load gets its old length and tail back.
TEST_F(Document, FailedFlushFailsTheSaveAndKeepsTheTarget) {
    doc.SetGeneral(kGeneralGold, 4711);
    FailFlushes(true);
    EXPECT_EQ(doc.Save().error, WriteError::CannotWrite);
    EXPECT_EQ(ReadBytes(loaded), original);
    fs::create_hard_link(loaded, dir / "other-name.zst");
    EXPECT_EQ(doc.Save().error, WriteError::CannotWrite);
    EXPECT_EQ(ReadBytes(loaded), original);
    Bytes longer = original;
    longer.insert(longer.end(), original.begin(), original.begin() + 5000);
    for (const Bytes& onDisk : {longer, Bytes(original.begin(), original.end() - 5000)}) {
        WriteBytes(loaded, onDisk);
        EXPECT_EQ(doc.Save().error, WriteError::CannotWrite);
        EXPECT_EQ(ReadBytes(loaded), onDisk) << onDisk.size() << " bytes on disk";
    }
    FailFlushes(false);
    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"loaded.zst", "other-name.zst"}));
}

// What was written is read back before it counts: a disk that does not keep it fails the save,
// whether a new file or the file itself was written.
TEST_F(Document, SaveThatReadsBackOtherwiseKeepsTheTarget) {
    doc.SetGeneral(kGeneralGold, 4711);
    CorruptPositionalReads(true);
    EXPECT_EQ(doc.Save().error, WriteError::ReadBackDiffers);
    EXPECT_EQ(ReadBytes(loaded), original);
    fs::create_hard_link(loaded, dir / "other-name.zst");
    EXPECT_EQ(doc.Save().error, WriteError::ReadBackDiffers);
    CorruptPositionalReads(false);
    EXPECT_EQ(ReadBytes(loaded), original);
    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"loaded.zst", "other-name.zst"}));
}

// A compressed file is whole or it is no state, and a battery save's slot torn from its checksum
// is one the game shows as empty: where only writing into the file itself could serve (another
// hard link, a folder that refuses new files), the save is refused.
class WholeOnlyFile : public ::testing::TestWithParam<const char*> {};

TEST_P(WholeOnlyFile, IsNeverWrittenInPlace) {
    ScratchDir dir;
    const Bytes original = ReadBytes(TestData(GetParam()));
    const fs::path path = WriteBytes(dir / GetParam(), original);
    StateDocument doc;
    ASSERT_TRUE(doc.Load(path));
    doc.SetGeneral(kGeneralGold, 5);
    fs::create_hard_link(path, dir / "other name");
    EXPECT_EQ(doc.Save().error, WriteError::WholeOnlyHardLinked);
    EXPECT_EQ(ReadBytes(path), original);
    fs::remove(dir / "other name");
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0555), 0);
    EXPECT_EQ(InChild([&doc] {
                  return BecomeNobody() && doc.Save().error == WriteError::WholeOnlyRefused;
              }),
              true);
    ::chmod(dir.Path().c_str(), 0755);
    EXPECT_EQ(ReadBytes(path), original);
    ASSERT_TRUE(doc.Save());
    StateDocument again;
    ASSERT_TRUE(again.Load(path));
    EXPECT_EQ(again.GetGeneral(kGeneralGold), 5u);
}

INSTANTIATE_TEST_SUITE_P(CompressedOrChecksummed, WholeOnlyFile,
                         ::testing::Values("snes9x-1.63.000", kOneSlot, "bsnes-115.bsz"));

TEST_F(Document, FailedWriteInPlacePutsTheOldBytesBack) {
    fs::create_hard_link(loaded, dir / "other-name.zst");
    doc.SetGeneral(kGeneralGold, 999999);        // offset 14438, below the limit
    doc.SetGeneral(kGeneralSilverPoints, 0x5A);  // offset 68709, past it
    EXPECT_EQ(InChild([this] { return doc.Save().error == WriteError::CannotWrite; }, 50000), true);
    EXPECT_EQ(ReadBytes(loaded), original);
}

// The editor's tests ask before a Save replaces new content; these count as changes or not.
TEST_F(Document, ChangedOnDiskGoesByTheFileNotByItsName) {
    ASSERT_TRUE(doc.SaveAs(dir / "." / "loaded.zst"));
    EXPECT_FALSE(doc.ChangedOnDisk()) << "Save As onto the loaded file counts as its save";
    const timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, loaded.c_str(), times, 0), 0);
    EXPECT_TRUE(doc.ChangedOnDisk()) << "same content, another modification time";
    fs::remove(loaded);
    EXPECT_FALSE(doc.ChangedOnDisk()) << "a file that is gone has nothing to lose";
}

}  // namespace
