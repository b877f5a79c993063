// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files for fuzz runs: a scratch folder per process, whole-file reads and writes, and the check
// that turns a broken promise into a crash the fuzzer records.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fuzzfiles {

inline void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

// Memory-backed when the machine has it: every run writes files, and syncing a disk is slow.
inline std::filesystem::path MakeScratch(const char* prefix) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path base =
        fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / (std::string(prefix) + "-XXXXXX")).string();
    Check(::mkdtemp(pattern.data()) != nullptr);
    return pattern;
}

inline std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::vector<std::uint8_t> bytes(std::filesystem::file_size(path));
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

}  // namespace fuzzfiles
