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

// Every byte an accessor may write.
std::vector<bool> FieldMapBytes() {
    std::vector<bool> mask(kImageSize, false);
    auto mark = [&mask](std::size_t offset, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i) {
            mask.at(offset + i) = true;
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
std::vector<std::pair<std::size_t, std::size_t>> BytesOutsideFields() {
    const std::vector<bool> fields = FieldMapBytes();
    std::vector<std::pair<std::size_t, std::size_t>> gaps;
    for (std::size_t i = 0; i < kImageSize;) {
        if (fields[i]) {
            ++i;
            continue;
        }
        const std::size_t from = i;
        while (i < kImageSize && !fields[i]) {
            ++i;
        }
        gaps.emplace_back(from, i);
    }
    return gaps;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<std::pair<std::size_t, std::size_t>> gaps = BytesOutsideFields();
    FuzzInput in(data, size);

    // The first byte chooses between the raw input as the file (any length, so refused sizes are
    // reached) and a whole image made by repeating the input, which keeps inputs short and fast.
    const bool asImage = (in.Byte() & 1) != 0;
    std::vector<std::uint8_t> file(data, data + size);
    if (asImage) {
        file.resize(kImageSize);
        for (std::size_t at = size; size > 0 && at < kImageSize; at += size) {
            std::memcpy(file.data() + at, data, std::min(size, kImageSize - at));
        }
    }
    static const fs::path scratch = fuzzfiles::MakeScratch("fuzz-doc");
    const fs::path path = scratch / "state.zst";
    fuzzfiles::WriteFile(path, file);

    StateDocument doc;
    std::size_t warnings = 0;
    doc.SetWarningSink([&warnings](std::string_view) { ++warnings; });
    const LoadResult result = doc.Load(path);
    Check(static_cast<bool>(result) == (file.size() == kImageSize));
    if (!result) {
        Check(!doc.IsLoaded());
        return 0;
    }
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

    for (const auto& [from, to] : gaps) {
        Check(std::memcmp(doc.Image().data() + from, loaded.data() + from, to - from) == 0);
    }
    Check(doc.Save());
    const std::vector<std::uint8_t> saved = ReadFile(path);
    Check(saved.size() == kImageSize &&
          std::memcmp(saved.data(), doc.Image().data(), kImageSize) == 0);
    return 0;
}
