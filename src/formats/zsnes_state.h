// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The save-state files that ZSNES's versions write, told apart by header and size, and where
// each keeps the console's work RAM and the cartridge's battery RAM. They are not compressed: the
// file is the stream.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "byte_view.h"
#include "outcome.h"
#include "stream_layout.h"

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
    std::optional<std::size_t> batteryRamStart;  // versions before 1.50 store none
    std::string_view writtenBy;
};

// The fork kept the V143 header when it moved work RAM, so only the size tells those apart.
inline constexpr std::array<FileLayout, 4> kFileLayouts{{
    {0, true, 274047, 0xC13, std::nullopt, "ZSNES 1.42 and older"},
    {1, false, 282459, 0xC13, 0x4135B, "ZSNES 1.50 and 1.51 and its Linux fork 2.0"},
    {1, false, 282489, 0xC31, 0x41379, "ZSNES's Linux fork 2.1"},
    {1, false, 282493, 0xC35, 0x4137D, "ZSNES's Linux fork 2.2 and later"},
}};

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

Recognition RecognizeState(ByteSpan head, std::uintmax_t size);

// The layout of a whole file, or what its size and first bytes say instead ("it is 282490 bytes
// long with the header of a state of ZSNES 1.50 and later"). Every file that is nothing else
// ends here, so its refusal speaks of any file.
Outcome<StreamLayout> ParseZsnesState(ByteSpan file);

}  // namespace orvane
