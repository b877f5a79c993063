// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every test program shares, free of Qt: byte buffers and files made by code in a scratch
// folder, the real states in tests/data, the byte diff, work in a child process and a recorder
// for the model's warnings.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <ostream>
#include <ranges>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::test {

using Bytes = std::vector<std::uint8_t>;

// The size of the states that ZSNES 1.42 and older write.
inline constexpr std::size_t kClassicSize = 274047;

// The first bytes the emulator writes: "ZSNES Save State File V0.6" 1A 3C before 1.50,
// "ZSNES Save State File V143" 1A 8F from 1.50 on.
inline const std::string kOldHeader("ZSNES Save State File V0.6\x1A\x3C", 28);
inline const std::string kNewHeader("ZSNES Save State File V143\x1A\x8F", 28);

// The same bytes for the same stream number, every run.
Bytes RandomBytes(std::size_t size, std::uint32_t stream);
// Every byte set from a pattern that matches no structure, so that a stray read or write shows.
Bytes FillerBytes(std::size_t size);
// The bytes with header written from offset at, cut where the bytes end.
Bytes WithHeader(Bytes bytes, std::string_view header, std::size_t at = 0);
void SetBytes(Bytes& bytes, std::size_t offset, std::initializer_list<std::uint8_t> values);

// Offsets at which two buffers differ. Buffers of different lengths give the one offset -1, and
// the two lengths on the error stream.
std::vector<long> DiffOffsets(std::span<const std::byte> before, std::span<const std::byte> after);
template <std::ranges::contiguous_range Before, std::ranges::contiguous_range After>
std::vector<long> DiffOffsets(const Before& before, const After& after) {
    return DiffOffsets(std::as_bytes(std::span(before)), std::as_bytes(std::span(after)));
}

// Returns the path written.
std::filesystem::path WriteBytes(const std::filesystem::path& path, const Bytes& bytes);
// Nothing when the file cannot be read.
Bytes ReadBytes(const std::filesystem::path& path);
// Clears every write permission bit.
void MakeReadOnly(const std::filesystem::path& path);
// The names in a directory, sorted, hidden ones included (none where there is no directory): to
// spot temporary files left behind.
std::vector<std::string> Entries(const std::filesystem::path& dir);

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
    std::vector<std::string> Entries() const { return test::Entries(m_path); }

private:
    std::filesystem::path m_path;
};

// What a path holds: a file's bytes, a directory's entries, or nothing.
struct Snapshot {
    bool exists = false;
    bool isDirectory = false;
    Bytes bytes;
    std::vector<std::string> entries;

    static Snapshot Of(const std::filesystem::path& path);
    bool operator==(const Snapshot&) const = default;
};

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

// Runs work in a child process and returns its exit status, or -1 when the child did not exit
// (it was killed or never started).
int InChild(const std::function<int()>& work);
enum class OverLimit { Fails, Kills };
// In a child: files may not grow past bytes, which is how a full disk looks to a writer. A write
// past the limit fails, or kills the process as a user's kill would.
void LimitFileSize(std::uint64_t bytes, OverLimit overLimit = OverLimit::Fails);
// In a child run by root: gives up root's right to write anywhere by becoming user nobody.
bool BecomeNobody();
// The work's result in a child whose writes fail past limit, or nothing when the child did not
// exit normally; the parent then inspects what the child left on disk.
std::optional<bool> RunWithFileSizeLimit(std::uint64_t limit, const std::function<bool()>& work);

// Collects the texts the model sends to its warning sink, in order.
struct WarningRecorder {
    std::vector<std::string> texts;

    std::function<void(std::string_view)> Sink() {
        return [this](std::string_view text) { texts.emplace_back(text); };
    }
};

// ---- For the model's tests ----

// While set, every fsync of the test program fails with EIO, as on a disk that reports an error
// when it flushes: fixtures.cpp defines fsync.
void FailFlushes(bool fail);

// The unsigned little-endian number in width bytes at offset.
inline std::uint32_t LittleEndian(std::span<const std::uint8_t> bytes, std::size_t offset,
                                  std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;) {
        value = value * 256 + bytes[offset + i];
    }
    return value;
}

}  // namespace orvane::test
