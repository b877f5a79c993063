// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every container target checks of what a decoder answers: a refusal says why, the places
// it finds lie inside the stream, and a state the programs open writes back to the very file it
// came from, and after an edit to a file that gives back exactly the edited stream.

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

// Whether the file starts as a container or stream of another emulator than ZSNES, which the
// programs try before taking a file of a ZSNES layout's size.
inline bool OtherEmulatorsStart(ByteSpan file) {
    return HasAt(file, 0, "\x1F\x8B", 2) || HasAt(file, 0, "#RZIPv\x01#", 8) ||
           HasAt(file, 0, "RASTATE", 7) || HasAt(file, 0, "BST1", 4) ||
           HasAt(file, 0, "#!s9xsnp:", 9) || HasAt(file, 0, "MDFNSVST", 8);
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
    CheckInside(state->Layout(), stream.size());
    Check(state->WorkRam().size() == 131072);
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
