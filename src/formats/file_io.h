// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whole-file reads that never block and notice a file changing under them, and whole-file
// replacement that never leaves a damaged target.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace orvane {

// Which file, at which moment: a file with the same identity holds what it held before.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uintmax_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    bool operator==(const FileIdentity&) const = default;
};

enum class ReadError {
    None,
    CannotOpen,
    NotRegularFile,
    TooLarge,  // larger than any save state
    CannotRead,
    ChangedWhileRead,
};

struct ReadResult {
    ReadError error = ReadError::None;
    int systemError = 0;    // errno of the call that failed, 0 when none did
    FileIdentity identity;  // of the file as it was read
    std::size_t bytesRead = 0;

    explicit operator bool() const { return error == ReadError::None; }
};

// Reads the whole file into `out`, refusing one of more than `limit` bytes before reading it. Only
// regular files are opened, and the read fails if the file's size or modification time changed
// while it was read.
ReadResult ReadWholeFile(const std::filesystem::path& path, std::size_t limit,
                         std::vector<std::uint8_t>& out);

enum class WriteError {
    None,
    NoFolder,         // the folder does not exist (any more)
    NotRegularFile,   // the target is a folder, a device or a pipe
    ReadOnly,         // the target has no write permission
    CannotCreate,     // no new file could be made beside the target
    CannotWrite,      // writing or flushing failed: a full disk, a size limit, an I/O error
    CannotReplace,    // the new file could not take the target's place
    ReadBackDiffers,  // what was written reads back otherwise
    TooLarge,         // to be written in place, the target is larger than any save state
    // Only a new file may replace the target, and none can: the target has other hard links,
    // or the folder refuses a new file or the rename (systemError says why).
    WholeOnlyHardLinked,
    WholeOnlyRefused,
    CannotEncode,  // the state could not be put back into its container (detail says why)
};

struct WriteResult {
    WriteError error = WriteError::None;
    int systemError = 0;    // errno of the call that failed, 0 when none did
    FileIdentity identity;  // of the file as written
    std::string detail;     // for CannotEncode

    explicit operator bool() const { return error == WriteError::None; }
};

// Whether the changed bytes may be written into the target itself where no new file can take its
// place: only where any mix of old and new bytes is still a file the emulator takes, which a
// compressed file is not.
enum class InPlace { Allowed, Refused };

// Writes a new file beside the target, flushes it, reads it back and renames it over the target,
// keeping the target's permission bits, owner (where allowed) and extended attributes. A symbolic
// link stays one: the file it names is written, made if missing. Where no rename can serve (a
// folder the user cannot write, a file with other hard links) the changed bytes are written in
// place instead, where allowed and the target is no larger than a state may be, flushed, read
// back, and put back if anything fails. A target without any write permission bit is refused,
// whatever the caller's privileges. On failure the target is as it was and no temporary file
// remains.
WriteResult ReplaceFileContents(const std::filesystem::path& path,
                                std::span<const std::uint8_t> bytes,
                                InPlace inPlace = InPlace::Allowed);

}  // namespace orvane
