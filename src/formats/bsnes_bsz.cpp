// SPDX-License-Identifier: GPL-3.0-or-later
#include "bsnes_bsz.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <string_view>
#include <vector>

#include "bsnes_rle.h"
#include "bsnes_state.h"
#include "zip_archive.h"

namespace orvane {

namespace {

constexpr std::uint32_t kEntryWord = 0x5A220000;
constexpr std::size_t kEntryHeader = 12;  // the word, then the two coded lengths
constexpr std::uint16_t kBsnesZipVersion = 20;

struct QuickState {
    std::string_view entry;
    const char* title;
};

// In the order the user sees them: the slots, then what bsnes keeps to undo and redo a save.
constexpr std::size_t kSlotCount = 9;
constexpr std::array<QuickState, 11> kQuickStates{{
    {"Quick/Slot 1.bst", "Quick save 1"},
    {"Quick/Slot 2.bst", "Quick save 2"},
    {"Quick/Slot 3.bst", "Quick save 3"},
    {"Quick/Slot 4.bst", "Quick save 4"},
    {"Quick/Slot 5.bst", "Quick save 5"},
    {"Quick/Slot 6.bst", "Quick save 6"},
    {"Quick/Slot 7.bst", "Quick save 7"},
    {"Quick/Slot 8.bst", "Quick save 8"},
    {"Quick/Slot 9.bst", "Quick save 9"},
    {"Quick/Undo.bst", "Undo"},
    {"Quick/Redo.bst", "Redo"},
}};

// A quick state the archive holds: its entry, and which of kQuickStates it is.
struct Held {
    std::size_t entry;
    std::size_t kind;
};

// Of a name that appears twice the first entry is taken; the other is kept as it is.
std::vector<Held> HeldStates(const ZipArchive& zip) {
    std::vector<Held> held;
    const std::vector<ZipEntry>& entries = zip.Entries();
    for (std::size_t kind = 0; kind < kQuickStates.size(); ++kind) {
        const auto found = std::find_if(entries.begin(), entries.end(), [kind](const ZipEntry& e) {
            return e.name == kQuickStates[kind].entry;
        });
        if (found != entries.end()) {
            held.push_back({static_cast<std::size_t>(found - entries.begin()), kind});
        }
    }
    return held;
}

// A clause about an entry ("it is deflated") said of its state: "Quick save 2 is deflated".
std::string Of(const Held& held, const std::string& clause) {
    return kQuickStates[held.kind].title + clause.substr(2);
}

std::string FileWhose(const Held& held, const std::string& clause) {
    return "it is a bsnes .bsz file whose " + Of(held, clause);
}

struct StateEntry {
    Bytes bytes;        // as stored
    std::size_t coded;  // the coded image's length, from kEntryHeader on

    ByteSpan CodedImage() const { return ByteSpan(bytes).subspan(kEntryHeader, coded); }
};

// The entry once every check of its container holds: bsnes's, and its CRC-32 too, which bsnes
// does not check but every other tool does: a damaged state is not opened. Its coded image is
// left to the caller, who decodes as much of it as it needs.
Outcome<StateEntry> ReadEntry(const ZipArchive& zip, std::size_t index) {
    using Result = Outcome<StateEntry>;
    const ZipEntry& entry = zip.Entries()[index];
    if (entry.method != 0) {
        return Result::Refused("it is " +
                               (entry.method == 8
                                    ? std::string("deflated")
                                    : "compressed with method " + std::to_string(entry.method)) +
                               ", where bsnes stores its states as they are");
    }
    if (entry.encrypted) {
        return Result::Refused("it is encrypted");
    }
    auto bytes = zip.Stored(index);
    if (!bytes) {
        return Result::Refused(bytes);
    }
    if (bytes->size() != entry.size) {
        return Result::Refused("it is stored with a length other than its own");
    }
    if (Load32(*bytes, 0) != kEntryWord) {
        return Result::Refused("it does not start with bsnes's word 0x5A220000");
    }
    const auto coded = Load32(*bytes, 4);
    const auto preview = Load32(*bytes, 8);
    if (!coded || !preview || std::uint64_t{*coded} + *preview > bytes->size() - kEntryHeader) {
        return Result::Refused("it is shorter than the lengths in its header say");
    }
    return StateEntry{std::move(*bytes), *coded};
}

// Whether the state opens: all of its coded image is checked, but only its head decoded.
Outcome<StreamLayout> CheckEntry(const ZipArchive& zip, std::size_t index) {
    const auto entry = ReadEntry(zip, index);
    if (!entry) {
        return Outcome<StreamLayout>::Refused(entry);
    }
    const auto image = DecodeBsnesRle(entry->CodedImage(), kBsnesImageHead);
    if (!image) {
        return Outcome<StreamLayout>::Refused(image);
    }
    return ParseBsnesImageHead(image->head, image->size);
}

// The state opened into bsnes 115's image, or why it does not open, as a clause.
Outcome<Body> OpenEntry(const StateEntry& entry, const Held& held) {
    auto image = DecodeBsnesRle(entry.CodedImage());
    if (!image) {
        return Outcome<Body>::Refused(image);
    }
    auto layout = ParseBsnesImage(image->head);
    if (!layout) {
        return Outcome<Body>::Refused(layout);
    }
    layout->detail = kQuickStates[held.kind].title;
    return Body{std::move(image->head), std::move(*layout)};
}

// What a state that does not open is, in words after its title: "Quick save 2: deflated, ...".
std::string Why(const std::string& clause) {
    return clause.substr(clause.compare(0, 6, "it is ") == 0 ? 6 : 3);
}

// The quick states as the user chooses among them, each opened into bsnes 115's image.
class QuickStates final : public BodyCoding {
public:
    explicit QuickStates(std::size_t first) : m_first(first) {}

    std::vector<StoredState> States(ByteSpan stream) const override {
        std::vector<StoredState> states;
        const auto zip = ZipArchive::Open(stream);
        if (!zip) {
            return states;
        }
        for (const Held& held : HeldStates(*zip)) {
            const auto checked = CheckEntry(*zip, held.entry);
            states.push_back({kQuickStates[held.kind].title, static_cast<bool>(checked),
                              checked ? std::string() : Why(checked.Refusal())});
        }
        return states;
    }

    std::size_t FirstToOpen(ByteSpan) const override { return m_first; }

    Outcome<Body> Open(ByteSpan stream, std::size_t state) const override {
        const auto found = Find(stream, state);
        if (!found) {
            return Outcome<Body>::Refused(found);
        }
        const Held& held = found->held[state];
        auto body = OpenEntry(found->entry, held);
        if (!body) {
            return Outcome<Body>::Refused(FileWhose(held, body.Refusal()));
        }
        return body;
    }

    // Without decoding into memory of its own: the check of every save.
    bool Holds(ByteSpan stream, std::size_t state, ByteSpan body,
               std::size_t workRam) const override {
        const auto found = Find(stream, state);
        if (!found || !BsnesRleGives(found->entry.CodedImage(), body)) {
            return false;
        }
        const auto layout = ParseBsnesImage(body);
        return layout && layout->workRam == workRam;
    }

    // The entry is coded again only where the image changed: a state saved unchanged keeps the
    // file as it was, whatever coder wrote it.
    Outcome<Bytes> Encode(ByteSpan stream, std::size_t state, ByteSpan body) const override {
        // A stream that was taken, and is written anew with every header checked.
        const auto found = Find(stream, state, ZipArchive::Headers::Trusted);
        if (!found) {
            return Outcome<Bytes>::Refused(found);
        }
        const StateEntry& entry = found->entry;
        if (LoadLittle(entry.CodedImage(), 0, 8) != body.size()) {
            return Outcome<Bytes>::Refused("the state would not keep its length");
        }
        const ByteSpan old(entry.bytes);
        Bytes coded(old.begin(), old.begin() + kEntryHeader);
        EncodeBsnesRle(body, coded);
        const std::size_t length = coded.size() - kEntryHeader;
        const ByteSpan oldImage = entry.CodedImage();
        if (std::equal(coded.begin() + kEntryHeader, coded.end(), oldImage.begin(),
                       oldImage.end()) ||
            BsnesRleGives(oldImage, body)) {
            return Bytes(stream.begin(), stream.end());
        }
        // The image is within the decode limit, so its coding fits the header's u32.
        StoreLittle(coded, 4, length, 4);
        // The preview and whatever follows it, as they were.
        coded.insert(coded.end(), old.begin() + kEntryHeader + entry.coded, old.end());
        return WithStoredEntry(stream, found->held[state].entry, coded, kBsnesZipVersion);
    }

    // The entry of `to` takes the bytes of `from`'s, its preview picture included; its name and
    // time stay.
    Outcome<Bytes> Copy(ByteSpan stream, std::size_t from, std::size_t to) const override {
        const auto found = Find(stream, from);
        if (!found || to >= found->held.size()) {
            return Outcome<Bytes>::Refused(found ? "it holds no such state to copy into"
                                                 : found.Refusal());
        }
        return WithStoredEntry(stream, found->held[to].entry, found->entry.bytes, kBsnesZipVersion);
    }

    WholeFileOnly Replacing() const override { return WholeFileOnly::Compressed; }

private:
    // The archive, the quick states it holds, and the entry of `state` with its container's
    // checks made.
    struct Found {
        ZipArchive zip;
        std::vector<Held> held;
        StateEntry entry;
    };

    static Outcome<Found> Find(ByteSpan stream, std::size_t state,
                               ZipArchive::Headers headers = ZipArchive::Headers::Checked) {
        auto zip = ZipArchive::Open(stream, headers);
        if (!zip) {
            return Outcome<Found>::Refused(zip);
        }
        auto held = HeldStates(*zip);
        if (state >= held.size()) {
            return Outcome<Found>::Refused("it is a bsnes .bsz file that holds " +
                                           std::to_string(held.size()) + " states");
        }
        auto entry = ReadEntry(*zip, held[state].entry);
        if (!entry) {
            return Outcome<Found>::Refused(FileWhose(held[state], entry.Refusal()));
        }
        return Found{std::move(*zip), std::move(held), std::move(*entry)};
    }

    std::size_t m_first;
};

}  // namespace

Outcome<FormatFound> ReadBsz(ByteSpan data) {
    auto zip = ZipArchive::Open(data);
    if (!zip) {
        return Outcome<FormatFound>::Refused(zip);
    }
    const std::vector<Held> held = HeldStates(*zip);
    if (held.empty()) {
        return Outcome<FormatFound>::Refused(
            "it is a ZIP file without any of bsnes's quick states");
    }
    // The newest first, the slots before Undo and Redo; of two written in the same two seconds
    // (the DOS time's steps), the later entry.
    const std::vector<ZipEntry>& entries = zip->Entries();
    std::vector<std::size_t> order(held.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const bool slotA = held[a].kind < kSlotCount;
        const bool slotB = held[b].kind < kSlotCount;
        const ZipEntry& entryA = entries[held[a].entry];
        const ZipEntry& entryB = entries[held[b].entry];
        if (slotA != slotB) {
            return slotA;
        }
        if (entryA.time != entryB.time) {
            return entryA.time > entryB.time;
        }
        return held[a].entry > held[b].entry;
    });
    // The state found is opened at once: the user sees it next.
    std::vector<std::string> refusals(held.size());
    for (std::size_t state : order) {
        const auto entry = ReadEntry(*zip, held[state].entry);
        auto body = entry ? OpenEntry(*entry, held[state]) : Outcome<Body>::Refused(entry);
        if (body) {
            const std::string writer = body->layout.writer;
            return FormatFound{StreamLayout{0, std::nullopt, writer, {}},
                               std::make_shared<const QuickStates>(state), std::move(*body)};
        }
        refusals[state] = Of(held[state], body.Refusal());
    }
    std::string words;
    for (const std::string& refusal : refusals) {
        words += (words.empty() ? "" : "; ") + refusal;
    }
    return Outcome<FormatFound>::Refused("it is a bsnes .bsz file in which no state opens: " +
                                         words);
}

}  // namespace orvane
