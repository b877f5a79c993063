// SPDX-License-Identifier: GPL-3.0-or-later
// bsnes's .bsz files, and anything else: a file taken is a ZIP whose quick states are listed by
// their entries' names in bsnes's order, the open one among them; an edit of the open state is
// saved into its own entry, every other entry keeping its name and stored bytes in the same
// order; then the whole file as the programs open it.

#include <string>
#include <vector>

#include "decoded_state.h"
#include "fuzz_states.h"
#include "zip_archive.h"

using namespace orvane;
using namespace fuzzstates;

namespace {

// The entry each title stands for, written out here apart from the program's table.
std::string EntryOf(const std::string& title) {
    if (title == "Undo" || title == "Redo") {
        return "Quick/" + title + ".bst";
    }
    Check(title.size() == 12 && title.compare(0, 11, "Quick save ") == 0 && title[11] >= '1' &&
          title[11] <= '9');
    return std::string("Quick/Slot ") + title[11] + ".bst";
}

std::size_t Order(const std::string& title) {
    return title == "Undo" ? 10 : title == "Redo" ? 11 : static_cast<std::size_t>(title[11] - '0');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteSpan file(data, size);
    auto state = DecodedState::Decode(file);
    if (!state || state->Writer() != Emulator::Bsnes) {
        CheckWholeState(file, size);
        return 0;
    }
    Check(HasAt(file, 0, "PK", 2) && state->StateIsCoded());
    const auto zip = ZipArchive::Open(file);
    Check(static_cast<bool>(zip));
    const std::vector<ZipEntry>& entries = zip->Entries();
    const auto states = state->States();
    Check(!states.empty() && state->OpenState() < states.size());
    for (std::size_t i = 0; i < states.size(); ++i) {
        Check(i == 0 || Order(states[i - 1].title) < Order(states[i].title));
        std::size_t named = 0;
        for (const ZipEntry& entry : entries) {
            named += entry.name == EntryOf(states[i].title);
        }
        Check(named >= 1);
    }
    const std::string opened = EntryOf(states[state->OpenState()].title);
    Check(state->Layout().detail == states[state->OpenState()].title);

    state->WorkRam()[size % 131072] ^= 0x5A;
    const auto edited = state->Encode();
    Check(static_cast<bool>(edited));
    const auto after = ZipArchive::Open(*edited);
    Check(after && after->Entries().size() == entries.size());
    bool seenOpened = false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ZipEntry& entry = after->Entries()[i];
        Check(entry.name == entries[i].name);
        // The first entry of the open state's name is the one saved.
        if (entry.name == opened && !seenOpened) {
            seenOpened = true;
            Check(entry.method == 0 && entry.size == entry.storedSize);
            continue;
        }
        const auto before = zip->Stored(i);
        const auto now = after->Stored(i);
        Check(static_cast<bool>(before) == static_cast<bool>(now) &&
              (!before || Same(*before, *now)));
        Check(entry.method == entries[i].method && entry.crc == entries[i].crc &&
              entry.time == entries[i].time);
    }
    Check(seenOpened);

    CheckWholeState(file, size);
    return 0;
}
