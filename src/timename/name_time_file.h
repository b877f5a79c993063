// SPDX-License-Identifier: GPL-3.0-or-later
// tellim's file side: the name code and in-place byte access to a save-state file (no Qt).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tellim {

// Entry per byte value; '\0' means the byte stands for no character.
using CodeTable = std::array<char, 256>;

inline constexpr int kNameLength = 5;

// The first bytes of a state: a text naming the format, then two bytes.
using StateHeader = std::array<std::uint8_t, 28>;

constexpr StateHeader MakeHeader(std::string_view text, std::uint8_t first, std::uint8_t second) {
    StateHeader header{};
    for (std::size_t i = 0; i < text.size() && i + 2 < header.size(); ++i) {
        header[i] = static_cast<std::uint8_t>(text[i]);
    }
    header[header.size() - 2] = first;
    header[header.size() - 1] = second;
    return header;
}

// How one range of emulator versions lays out a state. Every field tellim edits lies in the
// console's work RAM, so the start of that is all tellim needs to know of a layout.
struct StateLayout {
    StateHeader header;
    std::int64_t size;
    std::int64_t workRam;
    // States of this size open whatever their first bytes hold: some were written without one.
    bool headerOptional;
    // The versions that write it, as the user knows them.
    const char* versions;
};

// A file is one of these when its size and header match a row. orvane keeps its own copy of this
// table in src/state: the two programs share no code on purpose.
inline constexpr std::array<StateLayout, 4> kStateLayouts = {{
    {MakeHeader("ZSNES Save State File V0.6", 0x1A, 0x3C), 274047, 0xC13, true,
     "ZSNES 1.42 and older"},
    {MakeHeader("ZSNES Save State File V143", 0x1A, 0x8F), 282459, 0xC13, false,
     "ZSNES 1.50 and 1.51 and the Linux fork 2.0"},
    {MakeHeader("ZSNES Save State File V143", 0x1A, 0x8F), 282489, 0xC31, false,
     "the Linux fork 2.1"},
    {MakeHeader("ZSNES Save State File V143", 0x1A, 0x8F), 282493, 0xC35, false,
     "the Linux fork 2.2 and later"},
}};

// The field offsets below are those of a state whose work RAM starts here; in any other layout
// they move with its work RAM.
inline constexpr std::int64_t kFieldsWorkRam = 0xC13;

// Slot offsets in the order of the window's name boxes (Frog's box 3 and Robo's box 4 cross over).
inline constexpr std::array<std::int64_t, 7> kNameSlots = {14390, 14396, 14402, 14414,
                                                           14408, 14420, 14426};

// Play-time digit offsets in the order of the boxes: hours tens, hours units, minutes tens, units.
inline constexpr std::array<std::int64_t, 4> kTimeOffsets = {4120, 4119, 4118, 4117};

// Where a field given at its offset above lies in a state of this layout.
constexpr std::int64_t FieldOffset(const StateLayout& layout, std::int64_t offset) {
    return offset + (layout.workRam - kFieldsWorkRam);
}

enum class FileError {
    None,
    Missing,
    NotRegular,
    ReadOnly,
    CannotOpen,
    UnknownLayout,
    TooShort,
    ReadFailed,
    WriteFailed,
    FlushFailed,
};

// What a file was found to be: its layout, or for a file without one what it has instead.
struct FileKind {
    std::int64_t size = 0;
    const StateLayout* layout = nullptr;
    // A layout of the file's size whose header the file lacks.
    const StateLayout* sizeOf = nullptr;
    // A layout whose header the file starts with, though its size is another.
    const StateLayout* headerOf = nullptr;
};

// By size first: the sizes of the known layouts all differ.
FileKind RecogniseLayout(std::int64_t size, std::span<const std::uint8_t> head);

CodeTable BuildCodeTable();

// A file opened by path for single-byte reads and writes. It is never created, truncated or
// extended, and a file without any write permission bit is refused even where the OS would not.
class ByteFile {
public:
    ByteFile() = default;
    ByteFile(const ByteFile&) = delete;
    ByteFile& operator=(const ByteFile&) = delete;
    ~ByteFile();

    FileError Open(const std::filesystem::path& path);
    // Looks at the size and the first bytes the file has now, through this descriptor, so what is
    // recognised is what later reads and writes reach.
    FileError Recognise(FileKind& kind) const;
    FileError Read(std::int64_t offset, std::uint8_t& value) const;
    // Refused at or past the file's current end, so a file cut short meanwhile never grows back.
    FileError Write(std::int64_t offset, std::uint8_t value) const;
    // Returns once what was written is on the disk.
    FileError Flush() const;
    void Close();

private:
    int m_fd = -1;
};

// Reads length + 1 bytes at start; the name is the characters of the first length of them.
FileError ReadName(const ByteFile& file, std::int64_t start, int length, std::string& name);

// Pads text with spaces to length characters and writes the code of each; a character without a
// code leaves its byte alone. Characters past length are ignored, so the slot's sixth byte stays.
FileError WriteName(const ByteFile& file, std::int64_t start, std::u32string_view text, int length);

// The time digits and the names, in the order of the window's boxes.
struct StateFields {
    std::array<std::uint8_t, 4> times{};
    std::array<std::string, 7> names;
};

struct StateEdits {
    std::array<std::uint8_t, 4> times{};
    std::array<std::u32string, 7> names;
};

// Opens path once, recognises its layout and reads every field through that descriptor. On a
// failure fields is left alone; kind tells what the file was found to be.
FileError ReadState(const std::filesystem::path& path, StateFields& fields, FileKind& kind);

// Opens path once, recognises its layout, reads every byte the save may change, writes the edits
// and flushes them, all through that descriptor. A failure half-way puts the bytes read back;
// undone tells whether the file is as it was (always so when nothing was written).
FileError WriteState(const std::filesystem::path& path, const StateEdits& edits, FileKind& kind,
                     bool& undone);

// Every offset a save may write in a state of this layout: the time digits, then the first five
// bytes of each name slot.
std::vector<std::int64_t> SaveOffsets(const StateLayout& layout);

// The number at the start of a time box's text, rounded half to even; nullopt when it does not
// fit a byte. Text without a leading number counts as 0.
std::optional<std::uint8_t> TimeByteFromText(std::string_view text);

}  // namespace tellim
