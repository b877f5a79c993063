// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whole-file reads that never block and notice a file changing under them, and whole-file
// replacement that never leaves a damaged target.

#include <cstdint>
#include <filesystem>
#include <span>

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

enum class ReadError { None, CannotOpen, NotRegularFile, CannotRead, ChangedWhileRead };

struct ReadResult {
    ReadError error = ReadError::None;
    int systemError = 0;    // errno of the call that failed, 0 when none did
    FileIdentity identity;  // of the file as it was read
    std::size_t bytesRead = 0;

    explicit operator bool() const { return error == ReadError::None; }
};

// Reads the whole file into `out` when it fits, else as much of its start as fits (enough to
// recognise it). Only regular files are opened, and the read fails if the file's size or
// modification time changed while it was read.
ReadResult ReadFileStart(const std::filesystem::path& path, std::span<std::uint8_t> out);

// Writes a temporary file beside the target, flushes it to disk and renames it over the target,
// keeping the target's permission bits. A target without any write permission bit is refused,
// whatever the caller's privileges. On failure the target is untouched and no temporary remains.
bool ReplaceFileContents(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace orvane
