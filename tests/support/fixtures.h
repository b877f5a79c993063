// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every test program shares, free of Qt: byte buffers and files made by code in a scratch
// folder, the real states in tests/data, the bytes a save changed, work in a child process and a
// recorder for the model's warnings.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::test {

using Bytes = std::vector<std::uint8_t>;
// Bytes by file offset: those set in a state made by code, or those a save changed.
using Patch = std::map<std::size_t, std::uint8_t>;

inline constexpr std::size_t kClassicSize = 274047;  // states of ZSNES 1.42 and older
// The first bytes of a state before ZSNES 1.50, and from 1.50 on.
inline const std::string kOldHeader("ZSNES Save State File V0.6\x1A\x3C", 28);
inline const std::string kNewHeader("ZSNES Save State File V143\x1A\x8F", 28);

// Every byte set from a pattern that matches no structure, so that a stray read or write shows.
Bytes FillerBytes(std::size_t size);
// The header written from offset at, cut where the bytes end.
Bytes WithHeader(Bytes bytes, std::string_view header, std::size_t at = 0);
Bytes Patched(Bytes bytes, const Patch& patch);
Patch BytesAt(std::size_t offset, const Bytes& values);
// The value's low bytes from offset on, least significant first.
Patch LittleEndian(std::size_t offset, std::uint64_t value, std::size_t width);
// Where after differs from before, with after's bytes; different lengths give the one offset
// SIZE_MAX.
Patch Changes(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after);

std::filesystem::path WriteBytes(const std::filesystem::path& path, const Bytes& bytes);
Bytes ReadBytes(const std::filesystem::path& path);  // nothing when unreadable
// Sorted, hidden ones included, to spot temporary files left behind.
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

private:
    std::filesystem::path m_path;
};

// What a path holds, to compare before and after: a file's bytes, a folder's entries with what
// each holds, or nothing.
std::string Snapshot(const std::filesystem::path& path);

// A save state in tests/data and what its README says of it.
// Sizes and offsets are of the decoded stream (the file where nothing is compressed), or of the
// open state's body where the file keeps it coded: what DecodedBody gives.
struct RealState {
    const char* file;
    const char* name;        // the program's name for its format
    std::size_t size;        // of the decoded stream or body
    std::size_t workRam;     // offset of console address 0x7E0000 in it
    std::size_t batteryRam;  // 8192 bytes; 0 where the state stores none
    bool compressed;
    // Where the decoded stream keeps the body coded: how many bytes at its start (headers, a
    // picture, a file name) a save keeps as they are.
    std::size_t keptHead = 0;
};

// The states of ZSNES's versions.
inline constexpr RealState kRealStates[] = {
    {"state-1.42.zst", "state of ZSNES 1.42 and older", 274047, 0xC13, 0, false},
    {"state-1.51.zst", "state of ZSNES 1.50 and 1.51 and its Linux fork 2.0", 282459, 0xC13,
     0x4135B, false},
    {"state-2.0.12.zst", "state of ZSNES 1.50 and 1.51 and its Linux fork 2.0", 282459, 0xC13,
     0x4135B, false},
    {"state-2.1.0.zst", "state of ZSNES's Linux fork 2.1", 282489, 0xC31, 0x41379, false},
    {"state-2.2.3.zst", "state of ZSNES's Linux fork 2.2 and later", 282493, 0xC35, 0x4137D, false},
};

// The states of the emulators people use today.
inline constexpr RealState kTodaysStates[] = {
    {"snes9x-1.63.000", "snes9x state, format 12, compressed", 1557631, 68503, 199586, true},
    {"retroarch-1.14-snes9x-1.63.state", "RetroArch state, snes9x core (format 12)", 823432, 68519,
     199602, false},
    {"retroarch-1.14-snes9x-1.63-rzip.state",
     "RetroArch state, snes9x core (format 12), compressed", 823432, 68519, 199602, true},
    {"retroarch-1.14-bsnes-115.state", "RetroArch state, bsnes 115 core", 290448, 8852, 574, false},
    {"retroarch-1.14-bsnes-115-rzip.state", "RetroArch state, bsnes 115 core, compressed", 290448,
     8852, 574, true},
    {"retroarch-1.14-bsnes-mercury-accuracy.state", "RetroArch state, bsnes-mercury 094 core",
     297904, 19123, 616, false},
    {"retroarch-1.14-bsnes-mercury-balanced.state", "RetroArch state, bsnes-mercury 094 core",
     384064, 19123, 616, false},
    {"retroarch-1.14-bsnes-mercury-performance.state", "RetroArch state, bsnes-mercury 094 core",
     329160, 19123, 616, false},
    {"mednafen-1.29-snes_faust.mc0", "mednafen state, module snes_faust, compressed", 449852,
     172281, 441431, true},
    {"mednafen-1.29-snes.mc0", "mednafen state, module snes, compressed", 480613, 172808, 436008,
     true},
};

// The states of snes9x's earlier releases and of the small cores that RetroArch runs: work RAM
// lies where the blocks before it put it, or, in snes9x2005's data, at 16 + 68684.
inline constexpr RealState kLineageStates[] = {
    {"snes9x-1.53.000", "snes9x state, format 7, compressed", 1167486, 68503, 199586, true},
    {"snes9x-1.55.000", "snes9x state, format 9, compressed", 1164406, 68503, 199586, true},
    {"snes9x-1.60.000", "snes9x state, format 11, compressed", 1164418, 68506, 199589, true},
    {"retroarch-1.14-snes9x2010.state", "RetroArch state, snes9x core (format 10)", 826488, 68505,
     199588, false},
    {"retroarch-1.14-snes9x2010-rzip.state", "RetroArch state, snes9x core (format 10), compressed",
     826488, 68505, 199588, true},
    {"retroarch-1.14-snes9x2002.state", "RetroArch state, snes9x core (old format 1)", 431840,
     68724, 199807, false},
    {"retroarch-1.14-snes9x2002-rzip.state",
     "RetroArch state, snes9x core (old format 1), compressed", 431840, 68724, 199807, true},
    {"retroarch-1.14-snes9x2005.state", "RetroArch state, snes9x2005 core", 562216, 68700, 199772,
     false},
    {"retroarch-1.14-snes9x2005-rzip.state", "RetroArch state, snes9x2005 core, compressed", 562216,
     68700, 199772, true},
    {"retroarch-1.14-snes9x2005-plus.state", "RetroArch state, snes9x2005 plus core", 564568, 68700,
     199772, false},
    {"retroarch-1.14-snes9x2005-plus-rzip.state",
     "RetroArch state, snes9x2005 plus core, compressed", 564568, 68700, 199772, true},
};

// Mesen's, whose body is compressed inside the stream: Mesen-S's as RetroArch's core data, after
// a head of 82 bytes (RASTATE's and MEM's, then "MSS", version, format, SHA-1, a byte and the
// file name), and Mesen2's own file after 196 (header, picture, file name, the body's flag).
inline constexpr RealState kMesenStates[] = {
    {"retroarch-1.14-mesen-s-0.4.0.state", "RetroArch state, Mesen-S core (format 8)", 274989, 66,
     200404, false, 82},
    {"retroarch-1.14-mesen-s-0.4.0-rzip.state",
     "RetroArch state, Mesen-S core (format 8), compressed", 274989, 66, 200404, true, 82},
    {"mesen2-2.1.1.mss", "Mesen2 state, format 4", 324245, 580, 244568, false, 196},
};

// The bsnes desktop program's .bsz of two quick saves (slots 1 and 2): the body is the bsnes 115
// image of the newer, slot 2, and a save keeps slot 1's entry, the first 38840 bytes, as it is.
inline constexpr RealState kBsnesDesktopStates[] = {
    {"bsnes-115.bsz", "bsnes 115 states (.bsz)", 290423, 8836, 558, false, 38840},
};

// Every state in tests/data, ZSNES's first.
std::vector<RealState> EveryRealState();

inline void PrintTo(const RealState& state, std::ostream* out) {
    *out << state.file;
}

// The first bytes of a compressed file that say what kind of container it is, which a save
// keeps: gzip's header (its time and system byte) or RZIP's (chunk size and length).
std::size_t ContainerHeaderSize(const Bytes& file);

std::filesystem::path TestData(const std::string& name);
// What the programs edit of a file: its decoded stream, or the open state's body where the file
// keeps it coded; nothing when they refuse the file.
Bytes DecodedBody(const Bytes& file);
// The decoded stream of a file the programs open, as it holds the body; nothing when refused.
Bytes DecodedStream(const Bytes& file);

// A ZIP entry as the tests write and read one, by the format's layout and apart from the
// program's libzip. bsnes writes stored entries, version 20, flags 0, no extra fields.
struct ZipRecord {
    std::string name;
    Bytes data;             // as stored
    std::uint32_t crc = 0;  // of the data as decoded
    std::uint32_t size = 0;
    std::uint16_t method = 0;
    std::uint16_t time = 0;  // DOS time and date
    std::uint16_t date = 0;
    std::uint16_t version = 20;  // needed to extract it
    std::uint16_t madeBy = 20;
    std::uint16_t flags = 0;
    std::uint16_t extra = 0;  // the local header's extra field's length
    std::size_t at = 0;       // where its local header lies, as read
};

// A stored entry of these bytes with zlib's CRC-32 of them; by default dated as bsnes dated the
// real file's entries (2026-12-07, 23:18:52).
ZipRecord StoredEntry(std::string name, Bytes data, std::uint16_t time = 0xBA5A,
                      std::uint16_t date = 0x5D87);
// The entries in the directory's order, from the end record at the file's end (no comment).
// Throws std::runtime_error where a record runs past the end or a local header disagrees with
// its directory record.
std::vector<ZipRecord> ReadZip(const Bytes& file);
// Local headers and data in order, then the directory and its end record.
Bytes WriteZip(const std::vector<ZipRecord>& entries);

// The game's battery save as its measured layout says, written out here apart from the program's
// own: 8192 bytes, slot n at 0xA00 * n, its checksum at 0x1FF0 + 2n, its mark 1B E4 at 0x1FF8 + 2n.
inline constexpr std::size_t kBatteryFile = 8192, kSlotBytes = 0xA00;
// tests/data/one-slot.srm: a player's save, slot 1 saved (checksum F35E), slots 2 and 3 never.
inline constexpr const char* kOneSlot = "one-slot.srm";
// The game's checksum of a slot: its words added with each carry fed into the next addition.
std::uint16_t GameChecksum(std::span<const std::uint8_t> slot);
// Where a console address lies in slot n of the file; nothing outside the four ranges a slot
// keeps.
std::optional<std::size_t> InSlot(std::uint32_t address, std::size_t slot);
// The file with slot `to` a copy of slot `from`, marked and with its checksum, as the game saves.
Bytes WithSlotCopied(Bytes file, std::size_t from, std::size_t to);
// The checksum and mark of slot n as they should be for its bytes.
Patch SlotSeal(const Bytes& file, std::size_t slot);
// The bytes the test cartridge stored in work RAM, by console address (tests/data/markers.json).
std::map<std::uint32_t, std::uint8_t> WorkRamMarkers();

// In a child run by root: gives up root's right to write anywhere by becoming user nobody.
bool BecomeNobody();
enum class OverLimit { Fails, Kills };
// The work's result in a child process, nothing when the child did not exit (a crash or a
// throw). With a size limit files may not grow past it, as on a full disk: a write past it fails,
// or kills the child as a user's kill would.
std::optional<bool> InChild(const std::function<bool()>& work, std::uint64_t sizeLimit = 0,
                            OverLimit overLimit = OverLimit::Fails);

// The work in a child process, killed after the delay as a crash or a power cut would end it;
// true when it ended by itself first.
bool EndsBeforeKilled(const std::function<bool()>& work, std::chrono::microseconds delay);

// Collects the texts the model sends to its warning sink, in order.
struct WarningRecorder {
    std::vector<std::string> texts;

    std::function<void(std::string_view)> Sink() {
        return [this](std::string_view text) { texts.emplace_back(text); };
    }
};

// While set, every fsync of the test program fails with EIO, as on a disk that reports an error
// when it flushes: fixtures.cpp defines fsync.
void FailFlushes(bool fail);
// While set, the first byte of every positional read (pread) comes back with a bit flipped, as
// from a disk that does not keep what it was given.
void CorruptPositionalReads(bool corrupt);

}  // namespace orvane::test
