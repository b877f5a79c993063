// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every container target checks of what a decoder answers: a refusal says why, the places
// it finds lie inside the stream, and a state the programs open writes back to the very file it
// came from, and after an edit to a file that gives back exactly the edited stream (or, where
// the file keeps its states coded, the edited state).

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "byte_view.h"
#include "decoded_state.h"
#include "fuzz_files.h"
#include "outcome.h"
#include "stream_layout.h"

namespace fuzzstates {

using fuzzfiles::Check;
using orvane::ByteSpan;

// Below the programs' own limit, so that a file claiming a large stream costs the fuzzer little,
// and above the largest real stream (1557631 bytes), so the real states still decode.
inline constexpr std::size_t kFuzzLimit = 2u << 20;

// memcmp rather than byte loops, which would drown the fuzzer in its own comparison tracing.
inline bool Same(ByteSpan a, ByteSpan b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

inline bool HasAt(ByteSpan bytes, std::size_t at, const char* text, std::size_t length) {
    return at <= bytes.size() && length <= bytes.size() - at &&
           std::memcmp(bytes.data() + at, text, length) == 0;
}

// A little-endian number of `width` bytes at `at`, read here rather than by the decoders' own
// code so that the checks do not share their faults.
inline std::uint64_t Little(ByteSpan bytes, std::size_t at, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) {
        value = value << 8 | bytes[at + i];
    }
    return value;
}

// Whether another format than ZSNES's layouts may take the file: another emulator's container or
// stream by its start (a ZIP for bsnes's .bsz), or by its size the game's battery save or
// snes9x2005's core data. The programs try those first.
inline bool OtherEmulatorsStart(ByteSpan file) {
    return file.size() == 8192 || file.size() == 562192 || file.size() == 564544 ||
           HasAt(file, 0, "\x1F\x8B", 2) || HasAt(file, 0, "#RZIPv\x01#", 8) ||
           HasAt(file, 0, "RASTATE", 7) || HasAt(file, 0, "BST1", 4) ||
           HasAt(file, 0, "#!s9xsnp:", 9) || HasAt(file, 0, "#!snes9x:", 9) ||
           HasAt(file, 0, "MDFNSVST", 8) || HasAt(file, 0, "MSS", 3) ||
           HasAt(file, 0, "PK\x03\x04", 4) || HasAt(file, 0, "PK\x05\x06", 4);
}

// A clause about the file, as the programs put it after "The file cannot be opened: ".
template <typename T>
void CheckRefusal(const orvane::Outcome<T>& outcome) {
    const std::string& why = outcome.Refusal();
    Check(why.size() > 3 && why.compare(0, 3, "it ") == 0);
}

inline void CheckInside(const orvane::StreamLayout& layout, std::size_t size) {
    Check(layout.workRam <= size && size - layout.workRam >= 131072);
    Check(!layout.batteryRam || (*layout.batteryRam <= size && size - *layout.batteryRam >= 8192));
    Check(!layout.writer.empty());
}

// The game's checksum of a battery-save slot, done here apart from the program's own: its
// little-endian words added with each carry fed into the next addition.
inline std::uint16_t GameChecksum(ByteSpan slot) {
    std::uint32_t sum = 0;
    std::uint32_t carry = 0;
    for (std::size_t i = 0; i + 1 < slot.size(); i += 2) {
        const std::uint32_t total = sum + static_cast<std::uint32_t>(Little(slot, i, 2)) + carry;
        sum = total & 0xFFFF;
        carry = total >> 16;
    }
    return static_cast<std::uint16_t>(sum);
}

// A file whose states are kept coded (a battery save's slots) as the programs open it: every
// state opens or says why not, the file encodes unchanged to itself, and an edit of the open
// state's work RAM is refused with a reason or saved so that the file gives it back.
inline void CheckStoredStates(orvane::DecodedState& state, ByteSpan file, std::size_t edit) {
    const std::size_t open = state.OpenState();
    const auto states = state.States();
    Check(states.empty() ? open == 0 : open < states.size() && states[open].opens);
    const auto unchanged = state.Encode();
    Check(unchanged && Same(*unchanged, file));
    for (std::size_t i = 0; i < states.size(); ++i) {
        const auto workRam = state.StoredWorkRam(i);
        Check(static_cast<bool>(workRam) == states[i].opens);
        Check(states[i].opens || (!states[i].why.empty() && !state.OpenStoredState(i)));
    }
    Check(state.OpenState() == open && state.OpenStoredState(open));
    state.WorkRam()[edit % 131072] ^= 0xA5;
    const auto edited = state.Encode();
    if (!edited) {
        Check(!edited.Refusal().empty());
        return;
    }
    auto again = orvane::DecodedState::Decode(*edited);
    Check(again && again->Name() == state.Name() && again->OpenStoredState(open) &&
          Same(again->WorkRam(), state.WorkRam()));
}

// The file as the programs open it. A state taken lies inside a stream of at most the limit,
// encodes unchanged to the file it came from, and with one work-RAM byte changed (the one at
// `edit`, modulo its size) encodes to a file that decodes to the edited stream, the same places
// and the same kind of state.
inline void CheckWholeState(ByteSpan file, std::size_t edit) {
    auto state = orvane::DecodedState::Decode(file);
    if (!state) {
        CheckRefusal(state);
        return;
    }
    const ByteSpan stream = state->Stream();
    Check(stream.size() <= orvane::kDecodeLimit);
    Check(state->WorkRam().size() == 131072);
    if (state->StateIsCoded()) {
        CheckStoredStates(*state, file, edit);
        return;
    }
    CheckInside(state->Layout(), stream.size());
    Check(state->BatteryRam().size() == (state->Layout().batteryRam ? 8192 : 0));
    Check(!state->Name().empty());
    Check(state->GetCompression() != orvane::Compression::None || Same(stream, file));

    const auto unchanged = state->Encode();
    Check(unchanged && Same(*unchanged, file));

    const std::size_t at = state->Layout().workRam + edit % 131072;
    const std::uint8_t loaded = stream[at];
    state->WorkRam()[edit % 131072] ^= 0xA5;
    const auto edited = state->Encode();
    Check(static_cast<bool>(edited));
    const auto again = orvane::DecodedState::Decode(*edited);
    Check(again && again->Layout().workRam == state->Layout().workRam &&
          again->Layout().batteryRam == state->Layout().batteryRam &&
          again->GetCompression() == state->GetCompression() && again->Name() == state->Name());
    Check(Same(again->Stream(), state->Stream()) && again->Stream()[at] == (loaded ^ 0xA5));
}

}  // namespace fuzzstates
