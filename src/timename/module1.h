// Module1: tellim's name code and in-place byte access to a save-state file (no Qt).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Module1 {

// Entry per byte value; '\0' means the byte stands for no character.
using CodeTable = std::array<char, 256>;

inline constexpr int kNameLength = 5;

// Slot offsets in the order of the form's name boxes (Frog's box 3 and Robo's box 4 cross over).
inline constexpr std::array<std::int64_t, 7> kNameSlots = {14390, 14396, 14402, 14414,
                                                           14408, 14420, 14426};

// Play-time digit offsets in the order of the boxes: hours tens, hours units, minutes tens, units.
inline constexpr std::array<std::int64_t, 4> kTimeOffsets = {4120, 4119, 4118, 4117};

// A state must reach the sixth byte of the last name slot, the highest offset tellim reads.
inline constexpr std::int64_t kMinimumStateSize = 14426 + kNameLength + 1;

enum class FileError {
    None,
    Missing,
    NotRegular,
    ReadOnly,
    CannotOpen,
    TooShort,
    ReadFailed,
    WriteFailed,
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

    // Fails unless the file exists, is writable and holds at least minimumSize bytes.
    FileError Open(const std::filesystem::path& path, std::int64_t minimumSize);
    FileError Read(std::int64_t offset, std::uint8_t& value) const;
    FileError Write(std::int64_t offset, std::uint8_t value) const;
    void Close();

private:
    int m_fd = -1;
    std::int64_t m_size = 0;
};

// Reads length + 1 bytes at start; the name is the characters of the first length of them.
FileError ReadName(std::int64_t start, const std::filesystem::path& path, int length,
                   std::string& name);

// Pads text with spaces to length characters and writes the code of each; a character without a
// code leaves its byte alone. Characters past length are ignored, so the slot's sixth byte stays.
FileError WriteName(std::int64_t start, const std::filesystem::path& path, std::u32string_view text,
                    int length);

// A byte as it was before a save, so that a save failing half-way can be undone.
struct SavedByte {
    std::int64_t offset;
    std::uint8_t value;
};

// Every offset a save may write: the time digits, then the first five bytes of each name slot.
std::vector<std::int64_t> SaveOffsets();
// Reads the bytes at offsets; nothing is written.
FileError SnapshotBytes(const std::filesystem::path& path, const std::vector<std::int64_t>& offsets,
                        std::vector<SavedByte>& saved);
// Writes every saved byte back, going on past a failure; the first error is returned.
FileError RestoreBytes(const std::filesystem::path& path, const std::vector<SavedByte>& saved);

// The number at the start of a time box's text, rounded half to even; nullopt when it does not
// fit a byte. Text without a leading number counts as 0.
std::optional<std::uint8_t> TimeByteFromText(std::string_view text);

}  // namespace Module1
