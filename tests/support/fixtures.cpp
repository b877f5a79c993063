// SPDX-License-Identifier: GPL-3.0-or-later
#include "fixtures.h"

#include "decoded_state.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <stdexcept>

namespace orvane::test {

Bytes FillerBytes(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 37 + i / 251 + 11) & 0xFF);
    }
    return bytes;
}

Bytes WithHeader(Bytes bytes, std::string_view header, std::size_t at) {
    for (std::size_t i = 0; i < header.size() && at + i < bytes.size(); ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(header[i]);
    }
    return bytes;
}

Bytes Patched(Bytes bytes, const Patch& patch) {
    for (const auto& [offset, value] : patch) {
        bytes.at(offset) = value;
    }
    return bytes;
}

Patch BytesAt(std::size_t offset, const Bytes& values) {
    Patch patch;
    for (std::uint8_t value : values) {
        patch[offset++] = value;
    }
    return patch;
}

Patch LittleEndian(std::size_t offset, std::uint64_t value, std::size_t width) {
    Patch patch;
    for (std::size_t i = 0; i < width; ++i) {
        patch[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    return patch;
}

Patch Changes(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after) {
    if (before.size() != after.size()) {
        return {{SIZE_MAX, 0}};
    }
    Patch changed;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] != after[i]) {
            changed[i] = after[i];
        }
    }
    return changed;
}

std::filesystem::path WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    if (!out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()))
             .flush()) {
        throw std::runtime_error("cannot write fixture " + path.string());
    }
    return path;
}

Bytes ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Entries(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvane-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a scratch directory");
    }
    m_path = pattern;
}

ScratchDir::~ScratchDir() {
    // A test may have taken the write permission away.
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

std::string Snapshot(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_directory(path, ec)) {
        const Bytes bytes = ReadBytes(path);
        return std::filesystem::exists(path, ec) ? "=" + std::string(bytes.begin(), bytes.end())
                                                 : "-";
    }
    std::string entries = "/";
    for (const std::string& name : Entries(path)) {
        entries += name + '{' + Snapshot(path / name) + '}';
    }
    return entries;
}

namespace {

constexpr std::uint32_t kLocalHeader = 0x04034B50;
constexpr std::uint32_t kDirectoryRecord = 0x02014B50;
constexpr std::uint32_t kDirectoryEnd = 0x06054B50;

std::uint32_t Little(const Bytes& bytes, std::size_t at, std::size_t width) {
    if (at > bytes.size() || width > bytes.size() - at) {
        throw std::runtime_error("a ZIP record runs past the end of the file");
    }
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;) {
        value = value << 8 | bytes[at + i];
    }
    return value;
}

void Put(Bytes& out, std::uint32_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// From the version needed on: the fields a local header shares with its directory record.
void PutShared(Bytes& out, const ZipRecord& entry, std::size_t stored) {
    for (std::uint32_t field : {entry.version, entry.flags, entry.method, entry.time, entry.date}) {
        Put(out, field, 2);
    }
    Put(out, entry.crc, 4);
    Put(out, static_cast<std::uint32_t>(stored), 4);
    Put(out, entry.size, 4);
    Put(out, static_cast<std::uint32_t>(entry.name.size()), 2);
}

}  // namespace

ZipRecord StoredEntry(std::string name, Bytes data, std::uint16_t time, std::uint16_t date) {
    ZipRecord entry;
    entry.name = std::move(name);
    entry.crc = static_cast<std::uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
    entry.size = static_cast<std::uint32_t>(data.size());
    entry.data = std::move(data);
    entry.time = time;
    entry.date = date;
    return entry;
}

std::vector<ZipRecord> ReadZip(const Bytes& file) {
    const std::size_t end = file.size() < 22 ? 0 : file.size() - 22;
    if (Little(file, end, 4) != kDirectoryEnd || Little(file, end + 20, 2) != 0) {
        throw std::runtime_error("no end record at the end of the file");
    }
    std::vector<ZipRecord> entries(Little(file, end + 10, 2));
    std::size_t at = Little(file, end + 16, 4);
    for (ZipRecord& entry : entries) {
        if (Little(file, at, 4) != kDirectoryRecord) {
            throw std::runtime_error("a directory record without its signature");
        }
        entry.madeBy = static_cast<std::uint16_t>(Little(file, at + 4, 2));
        entry.version = static_cast<std::uint16_t>(Little(file, at + 6, 2));
        entry.flags = static_cast<std::uint16_t>(Little(file, at + 8, 2));
        entry.method = static_cast<std::uint16_t>(Little(file, at + 10, 2));
        entry.time = static_cast<std::uint16_t>(Little(file, at + 12, 2));
        entry.date = static_cast<std::uint16_t>(Little(file, at + 14, 2));
        entry.crc = Little(file, at + 16, 4);
        const std::uint32_t stored = Little(file, at + 20, 4);
        entry.size = Little(file, at + 24, 4);
        const std::uint32_t name = Little(file, at + 28, 2);
        entry.at = Little(file, at + 42, 4);
        Little(file, at + 46, name);
        entry.name.assign(file.begin() + std::ptrdiff_t(at + 46),
                          file.begin() + std::ptrdiff_t(at + 46 + name));
        at += 46 + name + Little(file, at + 30, 2) + Little(file, at + 32, 2);

        Bytes local;
        PutShared(local, entry, stored);
        if (Little(file, entry.at, 4) != kLocalHeader ||
            !std::equal(local.begin(), local.end(), file.begin() + std::ptrdiff_t(entry.at + 4)) ||
            std::string(file.begin() + std::ptrdiff_t(entry.at + 30),
                        file.begin() + std::ptrdiff_t(entry.at + 30 + name)) != entry.name) {
            throw std::runtime_error("a local header disagrees with its directory record");
        }
        entry.extra = static_cast<std::uint16_t>(Little(file, entry.at + 28, 2));
        const std::size_t data = entry.at + 30 + name + entry.extra;
        Little(file, data, stored);
        entry.data.assign(file.begin() + std::ptrdiff_t(data),
                          file.begin() + std::ptrdiff_t(data + stored));
    }
    return entries;
}

Bytes WriteZip(const std::vector<ZipRecord>& entries) {
    Bytes file;
    std::vector<std::uint32_t> offsets;
    for (const ZipRecord& entry : entries) {
        offsets.push_back(static_cast<std::uint32_t>(file.size()));
        Put(file, kLocalHeader, 4);
        PutShared(file, entry, entry.data.size());
        Put(file, 0, 2);
        file.insert(file.end(), entry.name.begin(), entry.name.end());
        file.insert(file.end(), entry.data.begin(), entry.data.end());
    }
    const std::size_t directory = file.size();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Put(file, kDirectoryRecord, 4);
        Put(file, entries[i].madeBy, 2);
        PutShared(file, entries[i], entries[i].data.size());
        file.insert(file.end(), 12, 0);  // extra field, comment, disk, attributes
        Put(file, offsets[i], 4);
        file.insert(file.end(), entries[i].name.begin(), entries[i].name.end());
    }
    const auto directorySize = static_cast<std::uint32_t>(file.size() - directory);
    Put(file, kDirectoryEnd, 4);
    Put(file, 0, 4);
    Put(file, static_cast<std::uint32_t>(entries.size()), 2);
    Put(file, static_cast<std::uint32_t>(entries.size()), 2);
    Put(file, directorySize, 4);
    Put(file, static_cast<std::uint32_t>(directory), 4);
    Put(file, 0, 2);
    return file;
}

std::size_t ContainerHeaderSize(const Bytes& file) {
    return file.size() >= 2 && file[0] == 0x1F && file[1] == 0x8B ? 10 : 20;
}

Bytes DecodedBody(const Bytes& file) {
    const auto state = DecodedState::Decode(file);
    return state ? Bytes(state->Body().begin(), state->Body().end()) : Bytes();
}

Bytes DecodedStream(const Bytes& file) {
    const auto state = DecodedState::Decode(file);
    return state ? Bytes(state->Stream().begin(), state->Stream().end()) : Bytes();
}

std::uint16_t GameChecksum(std::span<const std::uint8_t> slot) {
    unsigned sum = 0;
    unsigned carry = 0;
    for (std::size_t i = 0; i < slot.size(); i += 2) {
        const unsigned total = sum + (slot[i] | slot[i + 1] << 8) + carry;
        sum = total & 0xFFFF;
        carry = total >> 16;
    }
    return static_cast<std::uint16_t>(sum);
}

std::optional<std::size_t> InSlot(std::uint32_t address, std::size_t slot) {
    // Slot offset, first console address, length.
    constexpr std::size_t kRanges[4][3] = {{0x000, 0x7E2400, 0x5B0},
                                           {0x5B0, 0x7E2C23, 0x33},
                                           {0x5E3, 0x7E0400, 0x20},
                                           {0x603, 0x7F0000, 0x200}};
    for (const auto& [offset, first, length] : kRanges) {
        if (address >= first && address < first + length) {
            return kSlotBytes * slot + offset + (address - first);
        }
    }
    return std::nullopt;
}

Patch SlotSeal(const Bytes& file, std::size_t slot) {
    Patch seal = LittleEndian(
        0x1FF0 + 2 * slot, GameChecksum(std::span(file).subspan(kSlotBytes * slot, kSlotBytes)), 2);
    seal.merge(BytesAt(0x1FF8 + 2 * slot, {0x1B, 0xE4}));
    return seal;
}

Bytes WithSlotCopied(Bytes file, std::size_t from, std::size_t to) {
    std::copy_n(file.begin() + std::ptrdiff_t(kSlotBytes * from), kSlotBytes,
                file.begin() + std::ptrdiff_t(kSlotBytes * to));
    return Patched(file, SlotSeal(file, to));
}

std::filesystem::path TestData(const std::string& name) {
    return std::filesystem::path(ORVANE_TEST_DATA) / name;
}

std::vector<RealState> EveryRealState() {
    std::vector<RealState> states(std::begin(kRealStates), std::end(kRealStates));
    states.insert(states.end(), std::begin(kTodaysStates), std::end(kTodaysStates));
    states.insert(states.end(), std::begin(kLineageStates), std::end(kLineageStates));
    states.insert(states.end(), std::begin(kMesenStates), std::end(kMesenStates));
    states.insert(states.end(), std::begin(kBsnesDesktopStates), std::end(kBsnesDesktopStates));
    return states;
}

std::map<std::uint32_t, std::uint8_t> WorkRamMarkers() {
    std::ifstream in(TestData("markers.json"));
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Only the work-RAM keys are console addresses, of six hex digits.
    const std::regex entry(R"re("([0-9A-F]{6})": (\d+))re");
    std::map<std::uint32_t, std::uint8_t> markers;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), entry);
         it != std::sregex_iterator(); ++it) {
        markers[static_cast<std::uint32_t>(std::stoul((*it)[1], nullptr, 16))] =
            static_cast<std::uint8_t>(std::stoul((*it)[2]));
    }
    return markers;
}

bool BecomeNobody() {
    return ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
}

namespace {

// Ends the child with the work's result. A throw ends it as a crash: unwound, it would run on
// into the copy of the test program's own loop.
[[noreturn]] void ExitWith(const std::function<bool()>& work) {
    bool done = false;
    try {
        done = work();
    } catch (...) {
        std::signal(SIGABRT, SIG_DFL);
        std::abort();
    }
    ::_exit(done ? 0 : 1);
}

}  // namespace

std::optional<bool> InChild(const std::function<bool()>& work, std::uint64_t sizeLimit,
                            OverLimit overLimit) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (sizeLimit != 0) {
            // Ignored, SIGXFSZ lets the write fail with EFBIG instead of ending the process.
            std::signal(SIGXFSZ, overLimit == OverLimit::Kills ? SIG_DFL : SIG_IGN);
            const rlimit limit{sizeLimit, sizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ExitWith(work);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return std::nullopt;
    }
    return WEXITSTATUS(status) == 0;
}

bool EndsBeforeKilled(const std::function<bool()>& work, std::chrono::microseconds delay) {
    const pid_t child = ::fork();
    if (child == 0) {
        ExitWith(work);
    }
    if (child < 0) {
        return false;
    }
    ::usleep(static_cast<useconds_t>(delay.count()));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status);
}

namespace {
bool failFlushes = false;
bool corruptPositionalReads = false;
}  // namespace

void FailFlushes(bool fail) {
    failFlushes = fail;
}

void CorruptPositionalReads(bool corrupt) {
    corruptPositionalReads = corrupt;
}

}  // namespace orvane::test

// Linked into every test program ahead of the C library's, so that a test can fail flushes.
extern "C" int fsync(int fd) {
    if (orvane::test::failFlushes) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

// Likewise, so that what a save reads back can differ from what it wrote.
extern "C" ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
    const auto got = static_cast<ssize_t>(::syscall(SYS_pread64, fd, buffer, count, offset));
    if (orvane::test::corruptPositionalReads && got > 0) {
        *static_cast<unsigned char*>(buffer) ^= 0x01;
    }
    return got;
}
