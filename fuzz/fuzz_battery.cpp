// SPDX-License-Identifier: GPL-3.0-or-later
// The game's battery save: 8192 bytes from the input, its slots then sealed (checksum and mark)
// as the rest of the input asks. A file is taken exactly when a slot is saved and whole, opens
// at the slot the game used last if that one is, and saves an edit of the open slot into that
// slot alone, with the game's checksum; a copy becomes the open slot's twin. Then the whole file
// as the programs open it.

#include <cstring>
#include <vector>

#include "battery_save.h"
#include "decoded_state.h"
#include "fuzz_input.h"
#include "fuzz_states.h"

using namespace orvane;
using namespace fuzzstates;

namespace {

constexpr std::size_t kFile = 8192;
constexpr std::size_t kSlot = 0xA00;

// The ranges a slot keeps, written out here apart from the program's table: slot offset, work-RAM
// place (console address less 0x7E0000) and length.
constexpr std::size_t kRanges[4][3] = {{0x000, 0x02400, 0x5B0},
                                       {0x5B0, 0x02C23, 0x33},
                                       {0x5E3, 0x00400, 0x20},
                                       {0x603, 0x10000, 0x200}};

void Seal(std::vector<std::uint8_t>& file, std::size_t slot) {
    const std::uint16_t sum = GameChecksum(ByteSpan(file).subspan(slot * kSlot, kSlot));
    file[0x1FF0 + 2 * slot] = static_cast<std::uint8_t>(sum);
    file[0x1FF1 + 2 * slot] = static_cast<std::uint8_t>(sum >> 8);
    file[0x1FF8 + 2 * slot] = 0x1B;
    file[0x1FF9 + 2 * slot] = 0xE4;
}

bool Saved(ByteSpan file, std::size_t slot) {
    const ByteSpan bytes = file.subspan(slot * kSlot, kSlot);
    bool varies = false;
    for (std::size_t i = 1; i < 0x834 && !varies; ++i) {
        varies = bytes[i] != bytes[0];
    }
    return Little(file, 0x1FF8 + 2 * slot, 2) == 0xE41B &&
           Little(file, 0x1FF0 + 2 * slot, 2) == GameChecksum(bytes) && varies;
}

// Whether after differs from before only in slot n's bytes and its checksum and mark.
bool OnlySlotChanged(ByteSpan before, ByteSpan after, std::size_t slot) {
    const std::size_t from = slot * kSlot;
    return before.size() == after.size() && Same(before.first(from), after.first(from)) &&
           Same(before.subspan(from + kSlot, 0x1FF0 - from - kSlot),
                after.subspan(from + kSlot, 0x1FF0 - from - kSlot)) &&
           std::memcmp(before.data() + 0x1FF0, after.data() + 0x1FF0, 2 * slot) == 0 &&
           std::memcmp(before.data() + 0x1FF2 + 2 * slot, after.data() + 0x1FF2 + 2 * slot,
                       6 - 2 * slot) == 0 &&
           std::memcmp(before.data() + 0x1FF8, after.data() + 0x1FF8, 2 * slot) == 0 &&
           std::memcmp(before.data() + 0x1FFA + 2 * slot, after.data() + 0x1FFA + 2 * slot,
                       6 - 2 * slot) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> file(kFile, 0);
    std::memcpy(file.data(), data, std::min(size, kFile));
    FuzzInput in(data + std::min(size, kFile), size - std::min(size, kFile));
    for (int seals = in.Byte() % 4; seals > 0; --seals) {
        Seal(file, in.Byte() % 3);
    }

    bool anySaved = false;
    for (std::size_t slot = 0; slot < 3; ++slot) {
        anySaved = anySaved || Saved(file, slot);
    }
    auto state = DecodedState::Decode(file);
    Check(static_cast<bool>(state) == anySaved);
    if (!state) {
        CheckRefusal(state);
        return 0;
    }
    const auto states = state->States();
    Check(states.size() == 3);
    for (std::size_t slot = 0; slot < 3; ++slot) {
        Check(states[slot].opens == Saved(file, slot));
    }
    const std::size_t last = file[0x1FE0];
    std::size_t expected = last < 3 && Saved(file, last) ? last : 0;
    while (!Saved(file, expected)) {
        ++expected;
    }
    const std::size_t open = state->OpenState();
    Check(open == expected);

    // An edit where a slot keeps work RAM lands at its slot offset, sealed.
    const auto& range = kRanges[in.Byte() % 4];
    const std::size_t offset = in.U32() % range[2];
    const std::uint8_t value = in.Byte();
    state->WorkRam()[range[1] + offset] = value;
    const auto saved = state->Encode();
    Check(static_cast<bool>(saved));
    Check(OnlySlotChanged(file, *saved, open) &&
          (*saved)[open * kSlot + range[0] + offset] == value);
    Check(Saved(*saved, open));

    // A copy of the open slot as edited, into another.
    const std::size_t other = (open + 1 + in.Byte() % 2) % 3;
    Check(static_cast<bool>(state->CopyOpenStateTo(other)));
    const ByteSpan copied = state->Stream();
    Check(OnlySlotChanged(file, copied, other) && Saved(copied, other));
    Check(
        Same(copied.subspan(other * kSlot, kSlot), ByteSpan(*saved).subspan(open * kSlot, kSlot)));

    CheckWholeState(file, in.U32());
    return 0;
}
