// SPDX-License-Identifier: GPL-3.0-or-later
// The game's battery save: a player's real file and files made from it. Which slots open, in
// words; what a save writes (the slot's bytes, its checksum by the game's own sum, the mark) and
// nothing else; copies between slots; and every file that is no battery save of the game
// refused with its reason and left as it was.

#include <gtest/gtest.h>

#include "decoded_state.h"
#include "fixtures.h"
#include "state_document.h"

using namespace orvane;
using namespace orvane::test;

namespace {

const Bytes kPlayers = ReadBytes(TestData(kOneSlot));

std::vector<std::string> Words(const DecodedState& state) {
    std::vector<std::string> words;
    for (const StoredState& stored : state.States()) {
        words.push_back(stored.title + (stored.opens ? "" : ": " + stored.why));
    }
    return words;
}

TEST(BatterySave, OpensThePlayersSlotWithTheGamesOwnChecksum) {
    EXPECT_EQ(GameChecksum(std::span(kPlayers).first(kSlotBytes)), 0xF35E);
    EXPECT_EQ(kPlayers[0x1FF0] | kPlayers[0x1FF1] << 8, 0xF35E);

    auto state = DecodedState::Decode(kPlayers);
    ASSERT_TRUE(state) << state.Refusal();
    EXPECT_EQ(state->Name(), "battery save");
    EXPECT_EQ(state->Writer(), Emulator::BatterySave);
    EXPECT_EQ(state->Replacing(), WholeFileOnly::Checksummed);
    EXPECT_FALSE(state->EditsInPlace());
    EXPECT_EQ(Words(*state),
              (std::vector<std::string>{"Slot 1", "Slot 2: never saved", "Slot 3: never saved"}));
    EXPECT_EQ(state->OpenState(), 0u);
    // Every byte of the four ranges, where work RAM keeps it; nothing else.
    const ByteSpan workRam = state->WorkRam();
    ASSERT_EQ(workRam.size(), 131072u);
    for (std::uint32_t address = 0x7E0000; address < 0x800000; ++address) {
        const auto at = InSlot(address, 0);
        ASSERT_EQ(workRam[address - 0x7E0000], at ? kPlayers[*at] : 0) << std::hex << address;
    }
    EXPECT_EQ(workRam[0x2C53] | workRam[0x2C54] << 8 | workRam[0x2C55] << 16, 21962);

    const auto unchanged = state->Encode();
    ASSERT_TRUE(unchanged);
    EXPECT_TRUE(*unchanged == kPlayers);
}

// An edit in each range changes that byte in the slot, and the checksum; the mark, the other
// slots, the game's settings and the bytes past what the game writes stay.
TEST(BatterySave, SavesTheSlotsBytesAndItsChecksumOnly) {
    auto state = DecodedState::Decode(kPlayers);
    ASSERT_TRUE(state);
    Patch expected;
    for (const std::uint32_t address : {0x7E2400u, 0x7E29AFu, 0x7E2C23u, 0x7E2C55u, 0x7E0400u,
                                        0x7E041Fu, 0x7F0000u, 0x7F0052u, 0x7F01FFu}) {
        std::uint8_t& byte = state->WorkRam()[address - 0x7E0000];
        byte ^= 0x5A;
        expected[*InSlot(address, 0)] = byte;
    }
    const auto saved = state->Encode();
    ASSERT_TRUE(saved);
    expected.merge(LittleEndian(0x1FF0, GameChecksum(std::span(*saved).first(kSlotBytes)), 2));
    EXPECT_EQ(Changes(kPlayers, *saved), Changes(kPlayers, Patched(kPlayers, expected)));
    EXPECT_NE((*saved)[0x1FF0] | (*saved)[0x1FF1] << 8, 0xF35E);

    // A place no slot keeps cannot be saved, rather than being lost.
    state->WorkRam()[0x7E2C56 - 0x7E0000] = 1;
    EXPECT_EQ(state->Encode().Refusal(),
              "a value was changed where a battery save keeps nothing of work RAM");
}

// Slot 1's bytes, marked and checksummed, copied into slots 2 and 3, with one damaged or
// emptied as the cases say; the game's last-used slot at 0x1FE0.
Bytes ThreeSlots(std::uint8_t lastUsed) {
    Bytes file = WithSlotCopied(WithSlotCopied(kPlayers, 0, 1), 0, 2);
    file[0x1FE0] = lastUsed;
    // Tell the slots apart: slot 2 has a name of its own, slot 3 other gold.
    file = Patched(file, {{*InSlot(0x7E2C23, 1), 0xA0}, {*InSlot(0x7E2C53, 2), 0x01}});
    return Patched(Patched(file, SlotSeal(file, 1)), SlotSeal(file, 2));
}

TEST(BatterySave, OpensTheSlotTheGameUsedLastWhereItIsSaved) {
    const Bytes three = ThreeSlots(2);
    auto state = DecodedState::Decode(three);
    ASSERT_TRUE(state);
    EXPECT_EQ(Words(*state), (std::vector<std::string>{"Slot 1", "Slot 2", "Slot 3"}));
    EXPECT_EQ(state->OpenState(), 2u);
    EXPECT_EQ(state->WorkRam()[0x2C53], 0x01);

    // Damaged: marked, its checksum wrong; the game shows it as empty, so it never opens.
    Bytes damaged = three;
    damaged[0x1FF4] ^= 1;
    state = DecodedState::Decode(damaged);
    ASSERT_TRUE(state);
    EXPECT_EQ(Words(*state),
              (std::vector<std::string>{"Slot 1", "Slot 2",
                                        "Slot 3: damaged, the game shows it as empty"}));
    EXPECT_EQ(state->OpenState(), 0u);
    EXPECT_EQ(state->OpenStoredState(2).Refusal(),
              "it is a battery save whose Slot 3 is damaged, the game shows it as empty");
    EXPECT_EQ(state->OpenState(), 0u);
    ASSERT_TRUE(state->OpenStoredState(1));
    EXPECT_EQ(state->WorkRam()[0x2C23], 0xA0);

    // A last-used byte the game never writes falls back to the first saved slot.
    state = DecodedState::Decode(ThreeSlots(7));
    ASSERT_TRUE(state);
    EXPECT_EQ(state->OpenState(), 0u);
}

// The open slot as edited becomes the other slot, with the mark and its own checksum; the slot
// the copy came from keeps its bytes until it is saved itself.
TEST(BatterySave, CopiesTheOpenSlotAsEditedIntoAnother) {
    auto state = DecodedState::Decode(kPlayers);
    ASSERT_TRUE(state);
    state->WorkRam()[0x2C23] = 0xA0;  // Crono's name starts with A
    ASSERT_TRUE(state->CopyOpenStateTo(2));
    EXPECT_EQ(Words(*state), (std::vector<std::string>{"Slot 1", "Slot 2: never saved", "Slot 3"}));
    Bytes copied = kPlayers;
    std::copy_n(kPlayers.begin(), kSlotBytes, copied.begin() + 2 * kSlotBytes);
    copied[*InSlot(0x7E2C23, 2)] = 0xA0;
    copied = Patched(copied, SlotSeal(copied, 2));
    EXPECT_EQ(Changes(copied, state->Stream()), Patch{});
    EXPECT_FALSE(state->CopyOpenStateTo(0));

    const auto saved = state->Encode();
    ASSERT_TRUE(saved);
    copied[*InSlot(0x7E2C23, 0)] = 0xA0;
    EXPECT_EQ(Changes(Patched(copied, SlotSeal(copied, 0)), *saved), Patch{});
}

struct Refused {
    const char* what;
    std::function<Bytes()> make;
    const char* refusal;
};

void PrintTo(const Refused& refused, std::ostream* out) {
    *out << refused.what;
}

const Refused kRefused[] = {
    {"no slot saved", [] { return Bytes(8192, 0); },
     "it holds no saved game: the game shows three empty slots"},
    {"another game's 8 KiB", [] { return FillerBytes(8192); },
     "it holds no saved game: the game shows three empty slots"},
    {"its one saved slot damaged",
     [] {
         return Patched(kPlayers, {{0x1FF0, 0x5F}});
     },
     "it is a battery save that holds no saved game (Slot 1 is damaged, the game shows it as "
     "empty)"},
    {"the mark without data",
     [] {
         Bytes file(8192, 0x60);
         file[0x1FFA] = 0x1B;
         file[0x1FFB] = 0xE4;
         return Patched(
             file, LittleEndian(0x1FF2, GameChecksum(std::span(file).subspan(0xA00, 0xA00)), 2));
     },
     "it is a battery save that holds no saved game (Slot 2 is marked as saved, but holds no "
     "game)"},
    {"a byte short", [] { return Bytes(kPlayers.begin(), kPlayers.end() - 1); },
     "it is 8191 bytes long and does not start with the header of a save state"},
    {"a byte long",
     [] {
         Bytes file = kPlayers;
         file.push_back(0);
         return file;
     },
     "it is 8193 bytes long and does not start with the header of a save state"},
};

class NoBatterySave : public ::testing::TestWithParam<Refused> {};

TEST_P(NoBatterySave, IsRefusedWithItsReasonAndLeftAlone) {
    const Bytes file = GetParam().make();
    ScratchDir dir;
    const auto path = WriteBytes(dir / "game.srm", file);
    StateDocument doc;
    const LoadResult result = doc.Load(path);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.refusal, GetParam().refusal);
    EXPECT_FALSE(doc.IsLoaded());
    EXPECT_TRUE(ReadBytes(path) == file);
}

INSTANTIATE_TEST_SUITE_P(EveryWay, NoBatterySave, ::testing::ValuesIn(kRefused));

}  // namespace
