// SPDX-License-Identifier: GPL-3.0-or-later
// Mesen's states, and anything else. The first byte chooses. Below 0x80 the rest of the input is
// a file as the programs open it. From 0x80 it is a body that the target puts behind a header of
// its own, compressed at level 1 or (Mesen2 with bit 0x01) stored as it is, so that the fuzzer
// reaches past zlib to the body's structure: Mesen2's records up to 0xBF, then Mesen-S's
// components, in RetroArch's wrapper with bit 0x02. Such a file is taken exactly when the body,
// walked here apart from the program's own code, holds work RAM where the format keeps it, which
// then reads those bytes; an edit keeps everything before the body's sizes, writes them right
// and a check value that zlib's inflate takes, and Mesen-S's core data keeps its length.

#include <zlib.h>

#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "decoded_state.h"
#include "fuzz_input.h"
#include "fuzz_states.h"

using namespace orvane;
using namespace fuzzstates;

namespace {

using Buffer = std::vector<std::uint8_t>;

constexpr std::size_t kWorkRam = 131072;

void Append32(Buffer& out, std::uint64_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void AppendText(Buffer& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

Buffer Deflated(ByteSpan bytes) {
    Buffer out(compressBound(bytes.size()));
    uLongf length = out.size();
    Check(compress2(out.data(), &length, bytes.data(), bytes.size(), 1) == Z_OK);
    out.resize(length);
    return out;
}

// Mesen2's records: a key, NUL, a u32 length, the value. Work RAM's offset where they fill the
// body and exactly one is work RAM, 131072 bytes long.
std::optional<std::size_t> RecordsWorkRam(ByteSpan body) {
    std::optional<std::size_t> workRam;
    bool twice = false;
    for (std::size_t at = 0; at < body.size();) {
        const void* nul = std::memchr(body.data() + at, 0, body.size() - at);
        if (nul == nullptr) {
            return std::nullopt;
        }
        const std::size_t keyLength = static_cast<const std::uint8_t*>(nul) - (body.data() + at);
        const std::size_t value = at + keyLength + 5;
        if (value > body.size()) {
            return std::nullopt;
        }
        const std::uint64_t length = Little(body, value - 4, 4);
        if (length > body.size() - value) {
            return std::nullopt;
        }
        if (HasAt(body, at, "memoryManager.workRam", 22)) {
            twice = twice || workRam.has_value();
            workRam = length == kWorkRam ? std::optional<std::size_t>(value) : std::nullopt;
            if (!workRam) {
                return std::nullopt;
            }
        }
        at = value + length;
    }
    return twice ? std::nullopt : workRam;
}

// Mesen-S's components, each behind a u32 length; inside the second, its values likewise, of
// which the second is work RAM.
std::optional<std::size_t> ComponentsWorkRam(ByteSpan body) {
    const auto nth = [](ByteSpan bytes, std::size_t from, std::size_t to, std::size_t n,
                        std::size_t& at, std::size_t& length) {
        std::size_t count = 0;
        for (std::size_t next = from; next < to; ++count) {
            if (to - next < 4 || Little(bytes, next, 4) > to - next - 4) {
                return false;
            }
            if (count == n) {
                at = next + 4;
                length = Little(bytes, next, 4);
            }
            next += 4 + Little(bytes, next, 4);
        }
        return count > n;
    };
    std::size_t manager = 0;
    std::size_t managerLength = 0;
    std::size_t workRam = 0;
    std::size_t length = 0;
    if (!nth(body, 0, body.size(), 1, manager, managerLength) ||
        !nth(body, manager, manager + managerLength, 1, workRam, length) || length != kWorkRam) {
        return std::nullopt;
    }
    return workRam;
}

// The header of a Mesen2 file up to the body's flag, with a picture of four black bytes.
Buffer Mesen2Head(bool stored) {
    Buffer head;
    AppendText(head, "MSS");
    for (std::uint32_t value : {0x020101u, 4u, 0u, 4u, 1u, 1u, 100u}) {
        Append32(head, value);
    }
    const std::uint8_t frame[4] = {};
    const Buffer picture = Deflated(frame);
    Append32(head, picture.size());
    head.insert(head.end(), picture.begin(), picture.end());
    Append32(head, 5);
    AppendText(head, "a.sfc");
    head.push_back(stored ? 0 : 1);
    return head;
}

// Mesen-S's header up to the body's sizes.
Buffer MesenSHead() {
    Buffer head;
    AppendText(head, "MSS");
    Append32(head, 0x400);
    Append32(head, 8);
    head.insert(head.end(), 40, '0');
    head.push_back(0);
    Append32(head, 10);
    AppendText(head, "orvane.sfc");
    return head;
}

// Around Mesen-S's core data, padded to eight bytes as RetroArch writes its blocks.
Buffer InRaState(const Buffer& core) {
    Buffer state;
    AppendText(state, "RASTATE\x01MEM ");
    Append32(state, core.size());
    state.insert(state.end(), core.begin(), core.end());
    state.resize(state.size() + (8 - core.size() % 8) % 8, 0);
    AppendText(state, std::string_view("END \0\0\0\0", 8));
    return state;
}

// An edit of the open body saved: the head as it was, the sizes right, the body compressed with
// zlib's check value or stored, and Mesen-S's core data of the same length, zeros after the body.
void CheckSaved(DecodedState& state, ByteSpan file, std::size_t coreAt, std::size_t sizes,
                bool stored, bool keepsLength, std::uint32_t edit) {
    state.WorkRam()[edit % kWorkRam] ^= 0xA5;
    const Buffer body(state.Body().begin(), state.Body().end());
    const auto saved = state.Encode();
    if (!saved) {
        // Only a body that no longer fits Mesen-S's core data is refused.
        Check(keepsLength && saved.Refusal().rfind("compressed again, ", 0) == 0);
        return;
    }
    const ByteSpan out = *saved;
    Check(Same(out.first(coreAt + sizes), file.first(coreAt + sizes)));
    const std::size_t at = coreAt + sizes;
    Check(Little(out, at, 4) == body.size());
    if (stored) {
        Check(Same(out.subspan(at + 4), body));
        return;
    }
    const std::size_t length = Little(out, at + 4, 4);
    Check(length <= out.size() - at - 8);
    Buffer inflated(body.size());
    uLongf produced = inflated.size();
    Check(uncompress(inflated.data(), &produced, out.data() + at + 8, length) == Z_OK &&
          produced == body.size() && Same(inflated, body));
    if (!keepsLength) {
        Check(at + 8 + length == out.size());
        return;
    }
    Check(out.size() == file.size());
    const std::size_t end = coreAt == 0 ? file.size() : 16 + Little(file, 12, 4);
    for (std::size_t i = at + 8 + length; i < end; ++i) {
        Check(out[i] == 0);
    }
    Check(Same(out.subspan(end), file.subspan(end)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t shape = in.Byte();
    if (shape < 0x80) {
        CheckWholeState(in.Take(in.Remaining()), size);
        return 0;
    }
    const std::size_t slack = in.Byte() * std::size_t{64};
    const std::uint32_t edit = in.U32();
    const ByteSpan body = in.Take(in.Remaining());
    const bool mesen2 = shape < 0xC0;
    const bool stored = mesen2 && (shape & 1) != 0;
    const bool wrapped = !mesen2 && (shape & 2) != 0;

    Buffer file = mesen2 ? Mesen2Head(stored) : MesenSHead();
    const std::size_t sizes = file.size();
    Append32(file, body.size());
    if (stored) {
        file.insert(file.end(), body.begin(), body.end());
    } else {
        const Buffer compressed = Deflated(body);
        Append32(file, compressed.size());
        file.insert(file.end(), compressed.begin(), compressed.end());
    }
    if (!mesen2) {
        file.resize(file.size() + slack, 0);
    }
    if (wrapped) {
        file = InRaState(file);
    }

    const std::optional<std::size_t> workRam =
        mesen2 ? RecordsWorkRam(body) : ComponentsWorkRam(body);
    auto state = DecodedState::Decode(file);
    Check(static_cast<bool>(state) == workRam.has_value());
    if (!state) {
        CheckRefusal(state);
        return 0;
    }
    Check(state->StateIsCoded() && state->Layout().workRam == *workRam &&
          Same(state->WorkRam(), body.subspan(*workRam, kWorkRam)));
    CheckSaved(*state, file, wrapped ? 16 : 0, sizes, stored, !mesen2, edit);
    CheckWholeState(file, edit);
    return 0;
}
