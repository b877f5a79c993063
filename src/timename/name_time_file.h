// SPDX-License-Identifier: GPL-3.0-or-later
// tellim's file side: the name code, and the names and the play time read from a save state of
// any emulator or a slot of the game's battery save and written back, in place byte by byte where
// the file is a plain state, else as a whole file in its own container (no Qt).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "body_coding.h"
#include "file_io.h"
#include "name_time_places.h"

namespace tellim {

// Entry per byte value; '\0' means the byte stands for no character.
using CodeTable = std::array<char, 256>;

inline constexpr int kNameLength = static_cast<int>(orvane::kNameLength);

// The work-RAM places of the window's boxes: the name slots in the order of the name frames,
// which is the caption string table's (Frog's box 3 before Robo's box 4), and the play-time
// digits as HH:MM reads.
std::array<std::size_t, 7> NameSlotsByBox();
inline constexpr std::array<std::size_t, 4> kTimeDigitsByBox = {
    orvane::kPlayTimeDigits[orvane::kHourTens], orvane::kPlayTimeDigits[orvane::kHourUnits],
    orvane::kPlayTimeDigits[orvane::kMinuteTens], orvane::kPlayTimeDigits[orvane::kMinuteUnits]};

enum class FileError {
    None,
    Missing,
    NotRegular,
    ReadOnly,
    CannotOpen,
    TooLarge,       // larger than any save state
    UnknownFormat,  // FileKind::refusal says what the file is instead
    SlotClosed,     // the slot asked for does not open; FileKind::refusal says why
    TooShort,
    ReadFailed,
    WriteFailed,
    FlushFailed,
    CannotEncode,   // FileKind::refusal says why
    CannotReplace,  // FileKind::replace says why
};

// One of the states a file keeps, such as a battery save's slots, in words: "Slot 1: Crono,
// 07:42", or "Slot 2: never saved".
struct SlotSummary {
    std::string label;
    bool opens = true;
};

// What a file was found to be, and why it was refused or could not be replaced.
struct FileKind {
    std::string name;  // "snes9x state, format 12, compressed"
    // Why it is only ever replaced as a whole; No where its bytes are edited in place.
    orvane::WholeFileOnly replacing = orvane::WholeFileOnly::No;
    std::string refusal;
    orvane::WriteResult replace;
    // The states the file keeps and which of them is open; none where it is one state.
    std::vector<SlotSummary> heldSlots;
    std::size_t openSlot = 0;
};

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
    // The whole file as it is now, through this descriptor, so that what is recognised is what
    // later reads and writes reach; a file larger than any state is refused unread.
    FileError ReadAll(std::vector<std::uint8_t>& bytes) const;
    FileError Read(std::int64_t offset, std::uint8_t& value) const;
    // Refused at or past the file's current end, so a file cut short meanwhile never grows back.
    FileError Write(std::int64_t offset, std::uint8_t value) const;
    // Returns once what was written is on the disk.
    FileError Flush() const;
    void Close();

private:
    int m_fd = -1;
};

// The name in a six-byte slot: the characters of its first five bytes; the sixth is read with
// the slot but belongs to no character, and a byte without one contributes nothing.
std::string ReadName(std::span<const std::uint8_t> slot);

// Where a save writes one byte: into the file in place, or into a decoded stream.
using ByteWriter = std::function<FileError(std::int64_t offset, std::uint8_t value)>;

// Pads text with spaces to length characters and writes the code of each from start; a character
// without a code leaves its byte alone. Characters past length are ignored, so the slot's sixth
// byte stays.
FileError WriteName(const ByteWriter& write, std::int64_t start, std::u32string_view text,
                    int length);

// The time digits and the names, in the order of the window's boxes.
struct StateFields {
    std::array<std::uint8_t, 4> times{};
    std::array<std::string, 7> names;
};

struct StateEdits {
    std::array<std::uint8_t, 4> times{};
    std::array<std::u32string, 7> names;
};

// Opens path once, reads it through that descriptor, decodes it and reads every field: of the
// slot given, in a file that keeps several states, else of the one a user expects. On a failure
// fields is left alone; kind tells what the file was found to be.
FileError ReadState(const std::filesystem::path& path, StateFields& fields, FileKind& kind,
                    std::optional<std::size_t> slot = std::nullopt);

// Opens path once and decodes what it holds. A file that is not compressed gets the edits in
// place, byte by byte through that descriptor, after every byte the save may change was read, and
// flushed; a failure half-way puts the bytes read back. A compressed file, or one that keeps
// checksums over its states, gets them in its decoded state (of the slot given, as ReadState),
// which is encoded in its own container, checked, and replaces the file as a whole. undone tells
// whether the file is as it was (always so when nothing was written).
FileError WriteState(const std::filesystem::path& path, const StateEdits& edits, FileKind& kind,
                     bool& undone, std::optional<std::size_t> slot = std::nullopt);

// Every work-RAM place a save may write: the time digits, then the first five bytes of each name
// slot.
std::vector<std::size_t> SavePlaces();

// The number at the start of a time box's text, rounded half to even; nullopt when it does not
// fit a byte. Text without a leading number counts as 0.
std::optional<std::uint8_t> TimeByteFromText(std::string_view text);

}  // namespace tellim
