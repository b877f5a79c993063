// SPDX-License-Identifier: GPL-3.0-or-later
// Loads arbitrary bytes as a save state, drives every setter with selectors and values from the
// input, saves, and checks that nothing outside the field map changed and the file is the image.

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "field_map.h"
#include "fuzz_files.h"
#include "fuzz_input.h"
#include "state_document.h"

namespace fs = std::filesystem;
using fuzzfiles::Check;
using fuzzfiles::ReadFile;
using namespace orvane;

namespace {

// The layouts as the emulator's README describes them, kept apart from the model's own table:
// size, how far work RAM lies behind where the field map expects it, and whether the file must
// start with the newer header.
struct KnownLayout {
    std::size_t size;
    std::size_t shift;
    bool needsHeader;
};
constexpr KnownLayout kKnown[] = {
    {274047, 0, false}, {282459, 0, true}, {282489, 0x1E, true}, {282493, 0x22, true}};
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

// Every byte an accessor may write in a file of the layout.
std::vector<bool> FieldMapBytes(const KnownLayout& layout) {
    std::vector<bool> mask(layout.size, false);
    auto mark = [&mask, &layout](std::size_t offset, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i) {
            mask.at(layout.shift + offset + i) = true;
        }
    };
    for (const MemberInfo& m : kMembers) {
        for (const Field& f : kStatFields) {
            mark(m.recordStart + f.offset, f.width);
        }
        mark(m.nameSlot, 5);
        mark(m.techLevel, 1);
    }
    for (const Field& f : kGeneralFields) {
        mark(f.offset, f.width);
    }
    mark(kInventoryIdStart, kInventorySlots);
    mark(kInventoryAmountStart, kInventorySlots);
    for (const ComboTechInfo& t : kComboTechs) {
        mark(t.offset, 1);
    }
    return mask;
}

// The runs of bytes no accessor may write, as [from, to) ranges; compared with memcmp because
// byte loops in the harness would drown the fuzzer in its own comparison tracing.
using Gaps = std::vector<std::pair<std::size_t, std::size_t>>;

Gaps BytesOutsideFields(const KnownLayout& layout) {
    const std::vector<bool> fields = FieldMapBytes(layout);
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);

    // The first byte chooses between the raw input as the file (any length, so refused sizes are
    // reached) and a file of a layout's size, give or take a few bytes, made by repeating the
    // input, with or without the newer header: short inputs reach every layout and its neighbours.
    const std::uint8_t shape = in.Byte();
    std::vector<std::uint8_t> file(data, data + size);
    if ((shape & 0x80) == 0) {
        std::size_t length = kKnown[shape & 3].size;
        if ((shape & 0x08) != 0) {
            length = length + (in.Byte() % 64) - 32;
        }
        file.resize(length);
        for (std::size_t at = size; size > 0 && at < length; at += size) {
            std::memcpy(file.data() + at, data, std::min(size, length - at));
        }
        if ((shape & 0x04) != 0) {
            std::memcpy(file.data(), kNewerHeader, std::min(kHeaderLength, length));
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
    Check(static_cast<bool>(result) == (layout != nullptr));
    if (!result) {
        Check(!doc.IsLoaded());
        return 0;
    }
    static const Gaps gaps[] = {BytesOutsideFields(kKnown[0]), BytesOutsideFields(kKnown[1]),
                                BytesOutsideFields(kKnown[2]), BytesOutsideFields(kKnown[3])};
    const std::vector<std::uint8_t> loaded(doc.Image().begin(), doc.Image().end());

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

    for (const auto& [from, to] : gaps[layout - kKnown]) {
        Check(std::memcmp(doc.Image().data() + from, loaded.data() + from, to - from) == 0);
    }
    Check(static_cast<bool>(doc.Save()));
    const std::vector<std::uint8_t> saved = ReadFile(path);
    Check(saved.size() == file.size() &&
          std::memcmp(saved.data(), doc.Image().data(), saved.size()) == 0);
    return 0;
}
