// SPDX-License-Identifier: GPL-3.0-or-later
// Mesen's states: an edit compresses the body again behind the head kept as it was, with sizes
// and a check value that zlib's own inflate takes, in a MEM block of the same length; saving
// again after a save keeps the edit; a body that no longer fits is refused; Mesen2's records are
// found by key wherever they lie, and a body stored uncompressed stays so.

#include <gtest/gtest.h>

#include "decoded_state.h"
#include "fixtures.h"
#include "mesen_bodies.h"
#include "rastate.h"

using namespace orvane;
using namespace orvane::test;

namespace {

constexpr std::size_t kGold = 0x2C53;  // in work RAM

Bytes Head(const Bytes& bytes, std::size_t length) {
    return Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(std::min(length, bytes.size())));
}

TEST(MesenStates, EditCompressesTheBodyAgainBehindTheSameHead) {
    for (const RealState& real : kMesenStates) {
        SCOPED_TRACE(real.file);
        const Bytes file = ReadBytes(TestData(real.file));
        auto state = DecodedState::Decode(file);
        ASSERT_TRUE(state);
        const auto gold = std::uint8_t(state->WorkRam()[kGold] ^ 0xFF);
        state->WorkRam()[kGold] = gold;
        const auto saved = state->Encode();
        ASSERT_TRUE(saved) << saved.Refusal();

        const Bytes before = DecodedStream(file);
        const Bytes after = DecodedStream(*saved);
        const std::size_t sizes = real.keptHead;
        EXPECT_EQ(Head(after, sizes), Head(before, sizes));
        ASSERT_EQ(*Load32(after, sizes), real.size);
        const std::size_t length = *Load32(after, sizes + 4);
        ASSERT_LE(sizes + 8 + length, after.size());
        EXPECT_EQ(Head(Bytes(after.begin() + std::ptrdiff_t(sizes + 8), after.end()), 2),
                  (Bytes{0x78, 0x01}));  // zlib's header for level 1
        EXPECT_EQ(Changes(MesenBody(before, sizes), MesenBody(after, sizes)),
                  (Patch{{real.workRam + kGold, gold}}));

        const std::size_t end = sizes + 8 + length;
        if (IsRaState(before)) {
            // The core's data keeps the MEM block's length, zeros after the body, and RetroArch's
            // END block follows.
            ASSERT_EQ(after.size(), before.size());
            EXPECT_EQ(*Load32(after, kMesenSData - 4), 544768u);
            const std::size_t data = kMesenSData + 544768;
            EXPECT_TRUE(std::all_of(after.begin() + std::ptrdiff_t(end),
                                    after.begin() + std::ptrdiff_t(data),
                                    [](std::uint8_t byte) { return byte == 0; }));
            EXPECT_EQ(Bytes(after.begin() + std::ptrdiff_t(data), after.end()),
                      Bytes(before.begin() + std::ptrdiff_t(data), before.end()));
        } else {
            EXPECT_EQ(end, after.size());
        }
    }
}

// A compressed file's stream stays as it was loaded while the body moves on with each save.
TEST(MesenStates, SavingAgainAfterASaveKeepsTheEdit) {
    for (const RealState& real : kMesenStates) {
        SCOPED_TRACE(real.file);
        auto state = DecodedState::Decode(ReadBytes(TestData(real.file)));
        ASSERT_TRUE(state);
        state->WorkRam()[kGold] ^= 0xFF;
        const Bytes edited(state->Body().begin(), state->Body().end());
        const auto first = state->Encode();
        ASSERT_TRUE(first);
        state->Saved(*first);
        EXPECT_FALSE(state->OpenStateEdited());
        const auto second = state->Encode();
        ASSERT_TRUE(second) << second.Refusal();
        EXPECT_EQ(DecodedBody(*second), edited);
    }
}

// The core's data cut to end where the compressed body does, in a RetroArch state of its own.
Bytes MesenSFilledToTheBrim() {
    const Bytes file = ReadBytes(TestData(kMesenStates[0].file));
    const std::size_t length = kMesenSSizes - kMesenSData + 8 + *Load32(file, kMesenSSizes + 4);
    Bytes state = {'R', 'A', 'S', 'T', 'A', 'T', 'E', 1, 'M', 'E', 'M', ' ', 0, 0, 0, 0};
    state = Patched(state, LittleEndian(12, length, 4));
    state.insert(state.end(), file.begin() + std::ptrdiff_t(kMesenSData),
                 file.begin() + std::ptrdiff_t(kMesenSData + length));
    state.resize(state.size() + (8 - length % 8) % 8, 0);
    for (char c : std::string("END \0\0\0\0", 8)) {
        state.push_back(std::uint8_t(c));
    }
    return state;
}

TEST(MesenS, BodyThatNoLongerFitsTheCoreDataIsRefused) {
    const Bytes file = MesenSFilledToTheBrim();
    auto state = DecodedState::Decode(file);
    ASSERT_TRUE(state) << state.Refusal();
    const auto unchanged = state->Encode();
    EXPECT_TRUE(unchanged && *unchanged == file);
    // Work RAM of noise compresses to more than it takes now.
    std::uint32_t noise = 12345;
    for (std::uint8_t& byte : state->WorkRam()) {
        noise = noise * 1103515245 + 12345;
        byte = std::uint8_t(noise >> 16);
    }
    const auto saved = state->Encode();
    ASSERT_FALSE(saved);
    EXPECT_TRUE(saved.Refusal().starts_with("compressed again, the edited state takes "));
    EXPECT_TRUE(
        saved.Refusal().ends_with(" bytes, more than the 272424 that the core's data holds"))
        << saved.Refusal();
}

// Mesen2's file with a record of a newer version ahead of all others.
TEST(Mesen2, RecordsAreFoundByTheirKeysWhereverTheyLie) {
    Bytes file = ReadBytes(TestData("mesen2-2.1.1.mss"));
    Bytes body = MesenBody(file, kMesen2Sizes);
    const std::string key("aNewerRecord\0", 13);
    Bytes record(key.begin(), key.end());
    record.resize(key.size() + 4 + 100, 0x5A);
    record = Patched(record, LittleEndian(key.size(), 100, 4));
    body.insert(body.begin(), record.begin(), record.end());
    PutMesenBody(file, kMesen2Sizes, body, body.size());

    auto state = DecodedState::Decode(file);
    ASSERT_TRUE(state) << state.Refusal();
    EXPECT_EQ(state->Layout().workRam, 580 + record.size());
    EXPECT_EQ(state->Layout().batteryRam.value_or(0), 244568 + record.size());
    for (const auto& [address, value] : WorkRamMarkers()) {
        ASSERT_EQ(state->WorkRam()[address - 0x7E0000], value) << address;
    }
    state->WorkRam()[kGold] ^= 0xFF;
    const auto saved = state->Encode();
    ASSERT_TRUE(saved);
    EXPECT_EQ(Changes(body, MesenBody(*saved, kMesen2Sizes)),
              (Patch{{580 + record.size() + kGold, state->WorkRam()[kGold]}}));
}

TEST(Mesen2, BodyStoredUncompressedStaysSo) {
    const Bytes compressed = ReadBytes(TestData("mesen2-2.1.1.mss"));
    const Bytes body = MesenBody(compressed, kMesen2Sizes);
    // The flag 0 before the body, then its size and the body as it is.
    Bytes file = Head(compressed, kMesen2Sizes);
    file.back() = 0;
    file.resize(kMesen2Sizes + 4);
    file = Patched(file, LittleEndian(kMesen2Sizes, body.size(), 4));
    file.insert(file.end(), body.begin(), body.end());

    auto state = DecodedState::Decode(file);
    ASSERT_TRUE(state) << state.Refusal();
    EXPECT_EQ(state->Name(), "Mesen2 state, format 4");
    EXPECT_EQ(state->Layout().workRam, 580u);
    const auto unchanged = state->Encode();
    EXPECT_TRUE(unchanged && *unchanged == file);
    state->WorkRam()[kGold] ^= 0xFF;
    const auto saved = state->Encode();
    ASSERT_TRUE(saved);
    EXPECT_EQ(Changes(file, *saved),
              (Patch{{kMesen2Sizes + 4 + 580 + kGold, state->WorkRam()[kGold]}}));
}

}  // namespace
