// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The save-state files that the emulator's versions write, told apart by header and size, and
// where each keeps the console's work RAM, which holds every field the editor knows.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace orvane {

inline constexpr std::size_t kHeaderSize = 28;

// The first 28 bytes of a state: the text and two bytes after it.
struct StateHeader {
    std::string_view text;
    std::uint8_t tail[2];
    std::string_view writtenBy;  // in words for the user
};

inline constexpr std::array<StateHeader, 2> kStateHeaders{{
    {"ZSNES Save State File V0.6", {0x1A, 0x3C}, "ZSNES 1.42 and older"},
    {"ZSNES Save State File V143", {0x1A, 0x8F}, "ZSNES 1.50 and later"},
}};

// What every state starts with, whatever the version; the version follows it.
inline constexpr std::string_view kHeaderPrefix = "ZSNES Save State File ";

struct FileLayout {
    std::size_t header;   // index into kStateHeaders
    bool headerOptional;  // files of this size without the header exist and are taken
    std::size_t size;
    std::size_t workRamStart;
    std::string_view writtenBy;
};

// The fork kept the V143 header when it moved work RAM, so only the size tells those apart.
// tellim keeps its own copy in src/timename/module1.h (it shares no code); a test checks both.
inline constexpr std::array<FileLayout, 4> kFileLayouts{{
    {0, true, 274047, 0xC13, "ZSNES 1.42 and older"},
    {1, false, 282459, 0xC13, "ZSNES 1.50 and 1.51 and the Linux fork 2.0"},
    {1, false, 282489, 0xC31, "the Linux fork 2.1"},
    {1, false, 282493, 0xC35, "the Linux fork 2.2 and later"},
}};

// Where work RAM starts in the layout that the field map's offsets are written for; a field of
// another layout lies as far from its work RAM start.
inline constexpr std::size_t kFieldMapWorkRamStart = 0xC13;

inline constexpr std::size_t kLargestStateSize =
    std::max_element(kFileLayouts.begin(), kFileLayouts.end(),
                     [](const FileLayout& a, const FileLayout& b) { return a.size < b.size; })
        ->size;

enum class HeaderKind {
    Known,    // one of kStateHeaders
    Unknown,  // the emulator's prefix with a version this program does not know
    None,     // no state header at all
};

// What a file's first bytes and size say about it.
struct Recognition {
    const FileLayout* layout = nullptr;  // null when the program cannot open the file
    HeaderKind headerKind = HeaderKind::None;
    const StateHeader* header = nullptr;  // for HeaderKind::Known
    std::string_view version;             // for HeaderKind::Unknown: the text after the prefix
};

Recognition RecognizeState(std::span<const std::uint8_t> head, std::uintmax_t size);

}  // namespace orvane
