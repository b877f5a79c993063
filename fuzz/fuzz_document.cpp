// SPDX-License-Identifier: GPL-3.0-or-later
// Loads arbitrary bytes as a save state, drives every setter with selectors and values from the
// input, saves, and checks that nothing outside the field map's work-RAM bytes changed in the
// decoded stream and that the saved file decodes to the document's stream.

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "decoded_state.h"
#include "field_map.h"
#include "fuzz_files.h"
#include "fuzz_input.h"
#include "fuzz_states.h"
#include "state_document.h"

namespace fs = std::filesystem;
using fuzzfiles::Check;
using fuzzfiles::ReadFile;
using fuzzstates::HasAt;
using fuzzstates::Same;
using namespace orvane;

namespace {

// The layouts of ZSNES's versions as the emulator's README describes them, kept apart from the
// model's own table: size, where work RAM starts, and whether the file must start with the newer
// header.
struct KnownLayout {
    std::size_t size;
    std::size_t workRam;
    bool needsHeader;
};
constexpr KnownLayout kKnown[] = {
    {274047, 0xC13, false}, {282459, 0xC13, true}, {282489, 0xC31, true}, {282493, 0xC35, true}};
constexpr char kNewerHeader[] = "ZSNES Save State File V143\x1A\x8F";
constexpr std::size_t kHeaderLength = sizeof kNewerHeader - 1;

const KnownLayout* Accepted(const std::vector<std::uint8_t>& file) {
    for (const KnownLayout& layout : kKnown) {
        if (file.size() == layout.size &&
            (!layout.needsHeader || std::memcmp(file.data(), kNewerHeader, kHeaderLength) == 0)) {
            return &layout;
        }
    }
    return nullptr;
}

// Real states to edit, one of each layout and container: ZSNES's oldest and newest, snes9x's
// gzip, RetroArch's RZIP of both cores and plain bsnes-mercury, mednafen's two modules, Mesen-S's
// core data and Mesen2's file; and a player's battery save.
constexpr const char* kBaseFiles[] = {
    "state-1.42.zst",
    "state-2.2.3.zst",
    "snes9x-1.63.000",
    "retroarch-1.14-snes9x-1.63-rzip.state",
    "retroarch-1.14-bsnes-115-rzip.state",
    "retroarch-1.14-bsnes-mercury-accuracy.state",
    "mednafen-1.29-snes_faust.mc0",
    "mednafen-1.29-snes.mc0",
    "retroarch-1.14-mesen-s-0.4.0.state",
    "mesen2-2.1.1.mss",
    "one-slot.srm",
};
constexpr std::size_t kBaseCount = sizeof kBaseFiles / sizeof kBaseFiles[0];

struct Base {
    std::vector<std::uint8_t> file;
    std::vector<std::uint8_t> stream;  // decoded
};

const Base& RealBase(std::size_t index) {
    static const std::vector<Base> bases = [] {
        std::vector<Base> all;
        for (const char* name : kBaseFiles) {
            Base base{ReadFile(fs::path(ORVANE_TEST_DATA) / name), {}};
            const auto state = DecodedState::Decode(base.file);
            Check(static_cast<bool>(state));
            base.stream.assign(state->Stream().begin(), state->Stream().end());
            all.push_back(std::move(base));
        }
        return all;
    }();
    return bases[index];
}

// Every work-RAM byte an accessor may write.
std::vector<bool> FieldMapBytes() {
    std::vector<bool> mask(131072, false);
    for (const Field& field : EveryField()) {
        for (std::size_t i = 0; i < field.width; ++i) {
            mask.at(field.offset + i) = true;
        }
    }
    return mask;
}

// The runs of work-RAM bytes no accessor may write, as [from, to) ranges; compared with memcmp
// because byte loops in the harness would drown the fuzzer in its own comparison tracing.
using Gaps = std::vector<std::pair<std::size_t, std::size_t>>;

Gaps BytesOutsideFields() {
    const std::vector<bool> fields = FieldMapBytes();
    Gaps gaps;
    for (std::size_t i = 0; i < fields.size();) {
        if (fields[i]) {
            ++i;
            continue;
        }
        const std::size_t from = i;
        while (i < fields.size() && !fields[i]) {
            ++i;
        }
        gaps.emplace_back(from, i);
    }
    return gaps;
}

bool SameOutsideFields(ByteSpan now, ByteSpan loaded, std::size_t workRam) {
    static const Gaps gaps = BytesOutsideFields();
    if (now.size() != loaded.size() || !Same(now.first(workRam), loaded.first(workRam)) ||
        !Same(now.subspan(workRam + 131072), loaded.subspan(workRam + 131072))) {
        return false;
    }
    for (const auto& [from, to] : gaps) {
        if (std::memcmp(now.data() + workRam + from, loaded.data() + workRam + from, to - from) !=
            0) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);

    // The first byte chooses the file. Below 0x80: a file of a ZSNES layout's size, give or take
    // a few bytes, made by repeating the input, with or without the newer header, so that short
    // inputs reach every layout and its neighbours. Up to 0xBF: the rest of the input (any
    // length, any emulator's container). From 0xC0: a real state as it was written, or (0x20) its
    // decoded stream uncompressed with up to three runs of bytes from the input written into it.
    const std::uint8_t shape = in.Byte();
    std::vector<std::uint8_t> file;
    bool mustLoad = false;
    if (shape < 0x80) {
        std::size_t length = kKnown[shape & 3].size;
        if ((shape & 0x08) != 0) {
            length = length + (in.Byte() % 64) - 32;
        }
        file.resize(length);
        for (std::size_t at = 0; size > 0 && at < length; at += size) {
            std::memcpy(file.data() + at, data, std::min(size, length - at));
        }
        if ((shape & 0x04) != 0) {
            std::memcpy(file.data(), kNewerHeader, std::min(kHeaderLength, length));
        }
    } else if (shape < 0xC0) {
        file.assign(data + 1, data + size);
    } else {
        const Base& base = RealBase((shape & 0x1F) % kBaseCount);
        if ((shape & 0x20) == 0) {
            file = base.file;
            mustLoad = true;
        } else {
            file = base.stream;
            const int runs = in.Byte() % 4;
            mustLoad = runs == 0;
            for (int run = 0; run < runs; ++run) {
                const std::size_t at = in.U32() % file.size();
                const auto bytes = in.Take(std::min<std::size_t>(in.Byte() % 32, file.size() - at));
                std::memcpy(file.data() + at, bytes.data(), bytes.size());
            }
        }
    }
    static const fs::path scratch = fuzzfiles::MakeScratch("fuzz-doc");
    const fs::path path = scratch / "state.zst";
    fuzzfiles::WriteFile(path, file);

    StateDocument doc;
    std::size_t warnings = 0;
    doc.SetWarningSink([&warnings](std::string_view) { ++warnings; });
    const LoadResult result = doc.Load(path);
    const KnownLayout* layout = Accepted(file);
    if (!fuzzstates::OtherEmulatorsStart(file)) {
        Check(static_cast<bool>(result) == (layout != nullptr));
    }
    Check(static_cast<bool>(result) || !mustLoad);
    if (!result) {
        Check(!doc.IsLoaded());
        Check(!result.read || result.refusal.compare(0, 3, "it ") == 0);
        return 0;
    }
    const DecodedState& state = *doc.State();
    const std::size_t workRam = state.Layout().workRam;
    Check(state.Writer() != Emulator::Zsnes || (layout != nullptr && workRam == layout->workRam));
    const std::vector<std::uint8_t> loaded(state.Stream().begin(), state.Stream().end());

    std::string name;
    std::uint32_t amount = 0;
    for (int step = 0; step < 64 && !in.Empty(); ++step) {
        const std::uint8_t op = in.Byte() % 10;
        const std::int32_t sel = in.I32() % 300;
        switch (op) {
            case 0:
                doc.SetStat(sel, in.I32() % 24, in.U32());
                break;
            case 1:
                doc.SetName(sel, in.Text(12));
                break;
            case 2:
                doc.SetGeneral(sel % 10, in.U32());
                break;
            case 3:
                doc.SetInventorySlot(sel, in.U32() % 260, in.Text(16));
                break;
            case 4:
                doc.SetInventorySlotById(sel, in.Byte(), in.U32());
                break;
            case 5:
                doc.SetTechLevel(sel, in.Byte());
                break;
            case 6:
                doc.SetComboTech(sel, in.Byte());
                break;
            case 7:
                doc.GetInventorySlot(sel, amount, name);
                doc.GetInventoryItemId(sel);
                break;
            case 8:
                doc.GetStat(sel, in.I32() % 24);
                doc.GetName(sel);
                doc.GetGeneral(sel);
                break;
            default:
                doc.GetTechLevel(sel);
                doc.GetComboTech(sel);
                break;
        }
    }

    // A state kept coded (a battery save's slot, a compressed body): the saved file gives back
    // the edited work RAM; a battery save changes only the open slot, sealed with the game's
    // checksum.
    if (state.StateIsCoded()) {
        const std::size_t open = state.OpenState();
        const std::vector<std::uint8_t> edited(state.WorkRam().begin(), state.WorkRam().end());
        Check(static_cast<bool>(doc.Save()));
        const std::vector<std::uint8_t> saved = ReadFile(path);
        auto again = DecodedState::Decode(saved);
        Check(again && again->OpenStoredState(open) && Same(again->WorkRam(), edited));
        if (state.Writer() == Emulator::BatterySave) {
            const std::size_t slot = 0xA00 * open;
            Check(Same(ByteSpan(saved).first(slot), ByteSpan(loaded).first(slot)) &&
                  Same(ByteSpan(saved).subspan(slot + 0xA00, 0x1FF0 - slot - 0xA00),
                       ByteSpan(loaded).subspan(slot + 0xA00, 0x1FF0 - slot - 0xA00)));
            Check(fuzzstates::Little(saved, 0x1FF0 + 2 * open, 2) ==
                  fuzzstates::GameChecksum(ByteSpan(saved).subspan(slot, 0xA00)));
        }
        return 0;
    }
    Check(SameOutsideFields(state.Stream(), loaded, workRam));
    Check(static_cast<bool>(doc.Save()));
    const std::vector<std::uint8_t> saved = ReadFile(path);
    Check(state.GetCompression() != Compression::None || Same(saved, state.Stream()));
    const auto again = DecodedState::Decode(saved);
    Check(again && Same(again->Stream(), state.Stream()) && again->Layout().workRam == workRam &&
          again->GetCompression() == state.GetCompression() && again->Name() == state.Name());
    return 0;
}
