#pragma once
// Whole-file reads of an exact size and whole-file replacement that never leaves a damaged target.

#include <cstdint>
#include <filesystem>
#include <span>

namespace orvane {

enum class LoadError;
struct LoadResult;

// Fills `out` only when the file is a regular file of exactly out.size() bytes and reads fully.
LoadResult ReadWholeFile(const std::filesystem::path& path, std::span<std::uint8_t> out);

// Writes a temporary file beside the target, flushes it to disk and renames it over the target,
// keeping the target's permission bits. A target without any write permission bit is refused,
// whatever the caller's privileges. On failure the target is untouched and no temporary remains.
bool ReplaceFileContents(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace orvane
