// SPDX-License-Identifier: GPL-3.0-or-later
// bsnes's run-length coding as bsnes writes it, refused where a run passes its length; then the
// .bsz of quick states: which state opens first, the states in words, an edit saved into its own
// entry alone with a right CRC-32 and the directory in its order, a state copied into another.

#include <gtest/gtest.h>
#include <zlib.h>

#include <tuple>

#include "bsnes_bsz.h"
#include "bsnes_rle.h"
#include "decoded_state.h"
#include "fixtures.h"
#include "state_document.h"

using namespace orvane;
using namespace orvane::test;

namespace {

const char* const kBsz = "bsnes-115.bsz";
// bsnes 115's image: 290423 bytes, work RAM from 8836 on; gold at console address 7E2C53.
constexpr std::size_t kImageSize = 290423;
constexpr std::size_t kGold = 8836 + 0x2C53;

std::uint32_t Word(const Bytes& bytes, std::size_t at) {
    return bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 |
           std::uint32_t(bytes.at(at + 3)) << 24;
}

Bytes Held(ByteSpan bytes) {
    return Bytes(bytes.begin(), bytes.end());
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

// A coding written out: the declared length, then the runs.
Bytes Coding(std::uint64_t length, const Bytes& runs) {
    return Join({Patched(Bytes(8), LittleEndian(0, length, 8)), runs});
}

// Literals only, 128 at a time: a coding bsnes reads but never writes.
Bytes LiteralCoding(const Bytes& data) {
    Bytes runs;
    for (std::size_t at = 0; at < data.size(); at += 128) {
        const std::size_t count = std::min<std::size_t>(128, data.size() - at);
        runs.push_back(std::uint8_t(count - 1));
        runs.insert(runs.end(), data.begin() + std::ptrdiff_t(at),
                    data.begin() + std::ptrdiff_t(at + count));
    }
    return Coding(data.size(), runs);
}

// An entry's parts, by its header: the word 0x5A220000, the coded image's length, the coded
// preview's length.
Bytes CodedImage(const Bytes& entry) {
    return Bytes(entry.begin() + 12, entry.begin() + 12 + Word(entry, 4));
}
Bytes Preview(const Bytes& entry) {
    return Bytes(entry.end() - Word(entry, 8), entry.end());
}

Bytes Image(const Bytes& entry) {
    const auto image = DecodeBsnesRle(CodedImage(entry));
    EXPECT_TRUE(image) << image.Refusal();
    return image ? image->head : Bytes();
}

std::vector<ZipRecord> RealEntries() {
    return ReadZip(ReadBytes(TestData(kBsz)));
}

// A quick state whose image is the real slot 2's with the gold given, coded in literals, with
// the real preview.
Bytes StateWithGold(std::uint32_t gold) {
    const Bytes real = RealEntries()[1].data;
    const Bytes image = Patched(Image(real), LittleEndian(kGold, gold, 3));
    Bytes entry = Join({Bytes(12), LiteralCoding(image), Preview(real)});
    entry = Patched(entry, LittleEndian(0, 0x5A220000, 4));
    entry = Patched(entry, LittleEndian(4, LiteralCoding(image).size(), 4));
    return Patched(entry, LittleEndian(8, Preview(real).size(), 4));
}

std::uint32_t GoldIn(const DecodedState& state) {
    const ByteSpan ram = state.WorkRam();
    return ram[0x2C53] | ram[0x2C54] << 8 | ram[0x2C55] << 16;
}

std::vector<std::string> Titles(const DecodedState& state) {
    std::vector<std::string> titles;
    for (const StoredState& stored : state.States()) {
        titles.push_back(stored.title + (stored.opens ? "" : ": " + stored.why));
    }
    return titles;
}

struct RleCase {
    const char* what;
    Bytes data;
    Bytes runs;
};

Bytes Counting(std::size_t count) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = std::uint8_t(i);
    }
    return bytes;
}

TEST(BsnesRle, CodesFourEqualBytesOrMoreAsARunAndTheRestAsLiterals) {
    const Bytes a131(131, 'A');
    const RleCase cases[] = {
        {"nothing", {}, {}},
        {"three literals", {'A', 'B', 'C'}, {2, 'A', 'B', 'C'}},
        {"four equal bytes", {'A', 'A', 'A', 'A'}, {0x80, 'A'}},
        {"three equal bytes are literals", {'A', 'A', 'A', 'B'}, {3, 'A', 'A', 'A', 'B'}},
        {"literals around a run",
         {'A', 'B', 'C', 'C', 'C', 'C', 'D'},
         {1, 'A', 'B', 0x80, 'C', 0, 'D'}},
        {"the longest run", a131, {0xFF, 'A'}},
        {"a byte more than the longest run", Join({a131, {'A'}}), {0xFF, 'A', 0, 'A'}},
        {"the longest run, then a short one", Join({a131, Bytes(4, 'A')}), {0xFF, 'A', 0x80, 'A'}},
        {"129 literals", Counting(129), Join({{0x7F}, Counting(128), {0, 128}})},
    };
    for (const RleCase& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes coding = {0xEE};  // what the coding is appended to stays
        EncodeBsnesRle(c.data, coding);
        EXPECT_EQ(coding, Join({{0xEE}, Coding(c.data.size(), c.runs)}));
        const auto decoded = DecodeBsnesRle(Coding(c.data.size(), c.runs));
        ASSERT_TRUE(decoded) << decoded.Refusal();
        EXPECT_EQ(decoded->size, c.data.size());
        EXPECT_EQ(decoded->head, c.data);
        EXPECT_TRUE(BsnesRleGives(Coding(c.data.size(), c.runs), c.data));
        if (!c.data.empty()) {
            Bytes other = c.data;
            other.back() ^= 1;
            EXPECT_FALSE(BsnesRleGives(Coding(c.data.size(), c.runs), other));
            other.pop_back();
            EXPECT_FALSE(BsnesRleGives(Coding(c.data.size(), c.runs), other));
        }
    }
}

TEST(BsnesRle, GivesBackBsnesOwnCodingOfTheRealStates) {
    for (const ZipRecord& entry : RealEntries()) {
        SCOPED_TRACE(entry.name);
        const Bytes coding = CodedImage(entry.data);
        const auto image = DecodeBsnesRle(coding);
        ASSERT_TRUE(image) << image.Refusal();
        ASSERT_EQ(image->size, kImageSize);
        ASSERT_EQ(image->head.size(), kImageSize);
        EXPECT_EQ(std::string(image->head.begin(), image->head.begin() + 4), "BST1");
        EXPECT_EQ(Word(image->head, 4), kImageSize);
        Bytes again;
        EncodeBsnesRle(image->head, again);
        EXPECT_TRUE(again == coding);
        // The head alone, every run still walked.
        const auto head = DecodeBsnesRle(coding, 72);
        ASSERT_TRUE(head);
        EXPECT_EQ(head->size, kImageSize);
        EXPECT_EQ(head->head, Bytes(image->head.begin(), image->head.begin() + 72));
    }
}

TEST(BsnesRle, RefusesARunPastItsLengthAndACodingCutShort) {
    const std::string passes = "it is coded with a run that passes its declared length";
    const std::string early = "it is coded with runs that end before its declared length";
    const std::pair<Bytes, std::string> cases[] = {
        {Coding(3, {0x80, 'A'}), passes},
        {Coding(2, {2, 'A', 'B', 'C'}), passes},
        {Coding(5, {2, 'A', 'B', 'C', 0x80, 'D'}), passes},
        {Coding(5, {2, 'A', 'B', 'C'}), early},
        {Coding(3, {2, 'A', 'B'}), early},
        {Coding(4, {0x80}), early},
        {Bytes(7), "it is coded without the length it decodes to"},
        {Coding(17u << 20, {}), "it is coded to 17825792 bytes, more than 16 MiB"},
    };
    for (const auto& [coding, refusal] : cases) {
        SCOPED_TRACE(refusal);
        EXPECT_EQ(DecodeBsnesRle(coding).Refusal(), refusal);
        // Keeping only the first bytes walks every run all the same.
        EXPECT_EQ(DecodeBsnesRle(coding, 1).Refusal(), refusal);
        if (coding.size() >= 8 && coding[0] < 8) {
            EXPECT_FALSE(BsnesRleGives(coding, Bytes(coding[0], 'A')));
        }
    }
    // A larger limit lets a longer coding through to its runs.
    EXPECT_EQ(DecodeBsnesRle(Coding(17u << 20, {0x80, 0}), 1, 18u << 20).Refusal(), early);
}

TEST(BszFile, OpensTheNewestQuickSaveAndListsEveryState) {
    const Bytes file = ReadBytes(TestData(kBsz));
    const std::vector<ZipRecord> entries = ReadZip(file);
    ASSERT_EQ(entries.size(), 2u);
    ASSERT_EQ(entries[0].name, "Quick/Slot 1.bst");
    ASSERT_EQ(entries[1].name, "Quick/Slot 2.bst");
    ASSERT_TRUE(WriteZip(entries) == file);  // the tests lay out a ZIP as bsnes does
    auto state = DecodedState::Decode(file);
    ASSERT_TRUE(state) << state.Refusal();
    EXPECT_EQ(state->Name(), "bsnes 115 states (.bsz)");
    EXPECT_EQ(Titles(*state), (std::vector<std::string>{"Quick save 1", "Quick save 2"}));
    // Slot 2 was written two seconds after slot 1; the two images differ in 31 bytes.
    EXPECT_EQ(state->OpenState(), 1u);
    EXPECT_TRUE(Held(state->Body()) == Image(entries[1].data));
    EXPECT_EQ(state->Layout().workRam, 8836u);
    EXPECT_EQ(state->Layout().batteryRam, 558u);
    EXPECT_EQ(state->Layout().detail, "Quick save 2");
    EXPECT_EQ(state->Replacing(), WholeFileOnly::Compressed);
    EXPECT_FALSE(state->EditsInPlace());
    ASSERT_TRUE(state->OpenStoredState(0));
    EXPECT_TRUE(Held(state->Body()) == Image(entries[0].data));
    EXPECT_EQ(state->Layout().detail, "Quick save 1");
}

// Entries in the directory's order: name, DOS time, whether its CRC-32 is wrong.
using Listed = std::tuple<const char*, std::uint16_t, bool>;

struct Choice {
    const char* what;
    std::vector<Listed> entries;
    std::vector<std::string> titles;
    std::size_t opened;  // in entries, whose gold is 1000 times its place + 1
};

TEST(BszFile, OpensFirstTheNewestSlotThenUndoOrRedo) {
    const Choice choices[] = {
        {"the newest slot, not a newer Undo or Redo",
         {{"Quick/Redo.bst", 9, false},
          {"Quick/Slot 3.bst", 1, false},
          {"notes.txt", 12, false},
          {"Quick/Slot 1.bst", 2, false},
          {"Quick/Undo.bst", 8, false}},
         {"Quick save 1", "Quick save 3", "Undo", "Redo"},
         3},
        {"of two slots written in the same two seconds, the later entry",
         {{"Quick/Slot 2.bst", 4, false}, {"Quick/Slot 1.bst", 4, false}},
         {"Quick save 1", "Quick save 2"},
         1},
        {"without a slot, the newer of Undo and Redo",
         {{"Quick/Undo.bst", 3, false}, {"Quick/Redo.bst", 5, false}},
         {"Undo", "Redo"},
         1},
        {"the newest slot that opens",
         {{"Quick/Slot 1.bst", 1, false}, {"Quick/Slot 9.bst", 7, true}},
         {"Quick save 1", "Quick save 9: damaged: its bytes do not match its CRC-32"},
         0},
    };
    for (const Choice& choice : choices) {
        SCOPED_TRACE(choice.what);
        std::vector<ZipRecord> entries;
        for (const auto& [name, time, damaged] : choice.entries) {
            entries.push_back(
                StoredEntry(name, StateWithGold(std::uint32_t(1000 * (entries.size() + 1))), time));
            entries.back().crc ^= damaged ? 1 : 0;
        }
        const Bytes file = WriteZip(entries);
        const auto state = DecodedState::Decode(file);
        ASSERT_TRUE(state) << state.Refusal();
        EXPECT_EQ(Titles(*state), choice.titles);
        EXPECT_EQ(state->Layout().detail, choice.titles[state->OpenState()]);
        EXPECT_EQ(GoldIn(*state), 1000 * (choice.opened + 1));
    }
}

class BszDocument : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(doc.Load(WriteBytes(path, original))); }

    ScratchDir dir;
    const std::filesystem::path path = dir / kBsz;
    const Bytes original = ReadBytes(TestData(kBsz));
    StateDocument doc;
};

// Either state, edited and saved: its entry alone changes, coded as bsnes codes, its preview and
// time as they were and its CRC-32 right in both headers; the other entry keeps every byte and
// the directory its order.
TEST_F(BszDocument, SavesTheChosenStateIntoItsEntryAlone) {
    ASSERT_EQ(doc.StoredStates().size(), 2u);
    // The cartridge's first name and time digits 2, 23, 60 and 90, in both.
    EXPECT_EQ(doc.StoredStates()[0].label, "Quick save 1: Aleph, 223:6090");
    EXPECT_EQ(doc.StoredStates()[1].label, "Quick save 2: Aleph, 223:6090");
    const std::vector<ZipRecord> before = ReadZip(original);
    for (std::size_t chosen : {std::size_t{0}, std::size_t{1}}) {
        SCOPED_TRACE(chosen);
        ASSERT_TRUE(doc.Load(WriteBytes(path, original)));
        ASSERT_EQ(doc.OpenStoredState(chosen), "");
        doc.SetGeneral(kGeneralGold, 4321);
        ASSERT_TRUE(doc.Save());
        const Bytes saved = ReadBytes(path);
        const std::vector<ZipRecord> after = ReadZip(saved);
        ASSERT_EQ(after.size(), 2u);
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(after[i].name, before[i].name);
            EXPECT_EQ(after[i].method, 0);
            EXPECT_EQ(after[i].version, 20);
            EXPECT_EQ(after[i].flags, 0);
            EXPECT_EQ(after[i].extra, 0);
            EXPECT_EQ(after[i].time, before[i].time);
            EXPECT_EQ(after[i].date, before[i].date);
            EXPECT_EQ(after[i].size, after[i].data.size());
            EXPECT_EQ(after[i].crc, crc32(0, after[i].data.data(), uInt(after[i].data.size())));
        }
        const std::size_t other = 1 - chosen;
        const auto record = [](const Bytes& file, const ZipRecord& entry) {
            const auto from = file.begin() + std::ptrdiff_t(entry.at);
            return Bytes(from, from + std::ptrdiff_t(30 + entry.name.size() + entry.data.size()));
        };
        EXPECT_TRUE(record(saved, after[other]) == record(original, before[other]));
        EXPECT_EQ(after[other].madeBy, before[other].madeBy);
        EXPECT_LT(after[0].at, after[1].at);

        const Bytes& entry = after[chosen].data;
        EXPECT_EQ(Word(entry, 0), 0x5A220000u);
        EXPECT_EQ(12 + Word(entry, 4) + Word(entry, 8), entry.size());
        EXPECT_TRUE(Preview(entry) == Preview(before[chosen].data));
        const Bytes image = Image(entry);
        EXPECT_EQ(Changes(Image(before[chosen].data), image), LittleEndian(kGold, 4321, 3));
        Bytes coding;
        EncodeBsnesRle(image, coding);
        EXPECT_TRUE(coding == CodedImage(entry));
    }
}

// A state a user copies into another entry: that entry holds the open state as edited, with the
// open state's preview, under its own name and time.
TEST(BszFile, CopiesTheOpenStateIntoAnotherEntry) {
    // The real file with slot 1's preview unlike slot 2's, whose are alike.
    std::vector<ZipRecord> before = RealEntries();
    before[0].data.back() ^= 1;
    before[0] = StoredEntry(before[0].name, before[0].data, before[0].time, before[0].date);
    const Bytes file = WriteZip(before);
    auto state = DecodedState::Decode(file);
    ASSERT_TRUE(state);
    state->WorkRam()[0x2C53] ^= 0xFF;
    ASSERT_TRUE(state->CopyOpenStateTo(0));
    const std::vector<ZipRecord> after = ReadZip(Held(state->Stream()));
    ASSERT_EQ(after.size(), 2u);
    EXPECT_TRUE(after[1].data == before[1].data);
    EXPECT_EQ(after[0].name, before[0].name);
    EXPECT_EQ(after[0].time, before[0].time);
    EXPECT_TRUE(Image(after[0].data) == Held(state->Body()));
    EXPECT_TRUE(Preview(after[0].data) == Preview(before[1].data));
    EXPECT_FALSE(Preview(after[0].data) == Preview(before[0].data));
}

// The check of every save: whether an entry holds a body, told without opening it.
TEST(BszFile, TellsWhichStateHoldsABody) {
    const Bytes file = ReadBytes(TestData(kBsz));
    const auto found = ReadBsz(file);
    ASSERT_TRUE(found && found->body);
    auto body = found->body->Open(file, 1);
    ASSERT_TRUE(body);
    EXPECT_TRUE(found->body->Holds(file, 1, body->bytes, 8836));
    EXPECT_FALSE(found->body->Holds(file, 1, body->bytes, 8852));
    EXPECT_FALSE(found->body->Holds(file, 0, body->bytes, 8836));  // 31 bytes differ
    body->bytes[kGold] ^= 1;
    EXPECT_FALSE(found->body->Holds(file, 1, body->bytes, 8836));
    body->bytes.pop_back();
    EXPECT_FALSE(found->body->Holds(file, 1, body->bytes, 8836));
}

// A file whose entry another tool coded otherwise than bsnes: its coding saves an unchanged
// state without touching a byte, and codes a changed one as bsnes does.
TEST(BszFile, KeepsAnotherCodersEntryWhileItsStateIsUnchanged) {
    const Bytes file = WriteZip({StoredEntry("Quick/Slot 4.bst", StateWithGold(500))});
    const auto found = ReadBsz(file);
    ASSERT_TRUE(found && found->body) << found.Refusal();
    auto body = found->body->Open(file, 0);
    ASSERT_TRUE(body) << body.Refusal();
    auto saved = found->body->Encode(file, 0, body->bytes);
    ASSERT_TRUE(saved);
    EXPECT_TRUE(*saved == file);
    body->bytes[kGold] ^= 1;
    saved = found->body->Encode(file, 0, body->bytes);
    ASSERT_TRUE(saved);
    const Bytes entry = ReadZip(*saved).at(0).data;
    Bytes coding;
    EncodeBsnesRle(body->bytes, coding);
    EXPECT_TRUE(CodedImage(entry) == coding);
    EXPECT_LT(entry.size(), ReadZip(file).at(0).data.size());
}

}  // namespace
