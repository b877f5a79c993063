// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fixtures made by code: images of chosen or random bytes written into a scratch directory.

#include <cstdint>
#include <filesystem>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace testfiles {

using Bytes = std::vector<std::uint8_t>;

// The size of the states that ZSNES 1.42 and older write.
inline constexpr std::size_t kClassicSize = 274047;

// A save state in tests/data and what its README says of it.
struct RealState {
    const char* file;
    std::size_t size;
    std::size_t workRam;     // file offset of console address 0x7E0000
    std::size_t batteryRam;  // 8192 bytes; 0 where the version stores none
    std::size_t preview;     // 7168 bytes, up to the end of the file
};

inline constexpr RealState kRealStates[] = {
    {"state-1.42.zst", 274047, 0xC13, 0, 0x4127F},
    {"state-1.51.zst", 282459, 0xC13, 0x4135B, 0x4335B},
    {"state-2.0.12.zst", 282459, 0xC13, 0x4135B, 0x4335B},
    {"state-2.1.0.zst", 282489, 0xC31, 0x41379, 0x43379},
    {"state-2.2.3.zst", 282493, 0xC35, 0x4137D, 0x4337D},
};

inline void PrintTo(const RealState& state, std::ostream* out) {
    *out << state.file;
}

std::filesystem::path TestData(const std::string& name);
// The bytes the test cartridge stored in work RAM, by console address (tests/data/markers.json).
std::map<std::uint32_t, std::uint8_t> WorkRamMarkers();

// A fresh directory under the system's temporary folder, removed with everything in it.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::filesystem::path& name) const {
        return m_path / name;
    }
    // Names of the entries in the directory, to spot temporary files left behind.
    std::vector<std::string> Entries() const;

private:
    std::filesystem::path m_path;
};

Bytes RandomBytes(std::size_t size, std::uint32_t stream);
Bytes RandomImage(std::uint32_t stream, std::size_t size = kClassicSize);
void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);
Bytes ReadBytes(const std::filesystem::path& path);

}  // namespace testfiles
