// SPDX-License-Identifier: GPL-3.0-or-later
#include "name_time_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "decoded_state.h"

namespace tellim {

namespace {

// Repeats a system call that a signal interrupted.
template <typename Call>
auto Retry(Call call) {
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

}  // namespace

CodeTable BuildCodeTable() {
    CodeTable table{};
    for (int i = 0; i < 26; ++i) {
        table[0xA0 + i] = static_cast<char>('A' + i);
        table[0xBA + i] = static_cast<char>('a' + i);
    }
    for (int i = 0; i < 10; ++i) {
        table[0xD4 + i] = static_cast<char>('0' + i);
    }
    table[0xEF] = ' ';
    return table;
}

std::array<std::size_t, 7> NameSlotsByBox() {
    std::array<std::size_t, 7> slots{};
    for (const orvane::PartyMember& member : orvane::kPartyMembers) {
        slots[static_cast<std::size_t>(member.captionId - 1)] = orvane::NameSlot(member);
    }
    return slots;
}

ByteFile::~ByteFile() {
    Close();
}

FileError ByteFile::Open(const std::filesystem::path& path) {
    Close();
    // Looked at before opening, so that a device or a pipe is never opened at all.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? FileError::Missing : FileError::CannotOpen;
    }
    if (!S_ISREG(info.st_mode)) {
        return FileError::NotRegular;
    }
    const int fd = Retry([&] { return ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY); });
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return FileError::Missing;
        }
        return errno == EACCES || errno == EROFS ? FileError::ReadOnly : FileError::CannotOpen;
    }
    // The file actually opened may differ from the one stat saw.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return FileError::NotRegular;
    }
    // Root may write anything, so the OS would not refuse; the bits are what the user meant.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        ::close(fd);
        return FileError::ReadOnly;
    }
    m_fd = fd;
    return FileError::None;
}

FileError ByteFile::ReadAll(std::vector<std::uint8_t>& bytes) const {
    struct stat info {};
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0) {
        return FileError::ReadFailed;
    }
    if (static_cast<std::uint64_t>(info.st_size) > orvane::kDecodeLimit) {
        return FileError::TooLarge;
    }
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = Retry(
            [&] { return ::pread(m_fd, bytes.data() + got, bytes.size() - got, off_t(got)); });
        if (n < 0) {
            return FileError::ReadFailed;
        }
        if (n == 0) {
            return FileError::TooShort;
        }
        got += static_cast<std::size_t>(n);
    }
    return FileError::None;
}

FileError ByteFile::Read(std::int64_t offset, std::uint8_t& value) const {
    if (m_fd < 0 || offset < 0) {
        return FileError::ReadFailed;
    }
    const ssize_t got = Retry([&] { return ::pread(m_fd, &value, 1, offset); });
    // Zero bytes means the file ends before offset.
    if (got == 0) {
        return FileError::TooShort;
    }
    return got == 1 ? FileError::None : FileError::ReadFailed;
}

FileError ByteFile::Write(std::int64_t offset, std::uint8_t value) const {
    if (m_fd < 0 || offset < 0) {
        return FileError::WriteFailed;
    }
    // The size it had when opened is no guide: the file may have been cut short since.
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) {
        return FileError::WriteFailed;
    }
    if (offset >= info.st_size) {
        return FileError::TooShort;
    }
    const ssize_t put = Retry([&] { return ::pwrite(m_fd, &value, 1, offset); });
    return put == 1 ? FileError::None : FileError::WriteFailed;
}

FileError ByteFile::Flush() const {
    if (m_fd < 0 || Retry([&] { return ::fsync(m_fd); }) != 0) {
        return FileError::FlushFailed;
    }
    return FileError::None;
}

void ByteFile::Close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

std::string ReadName(std::span<const std::uint8_t> slot) {
    const CodeTable table = BuildCodeTable();
    std::string name;
    for (std::size_t i = 0; i < slot.size() && i < orvane::kNameLength; ++i) {
        if (table[slot[i]] != '\0') {
            name += table[slot[i]];
        }
    }
    return name;
}

FileError WriteName(const ByteWriter& write, std::int64_t start, std::u32string_view text,
                    int length) {
    const CodeTable table = BuildCodeTable();
    if (length < 0) {
        length = 0;
    }
    std::u32string padded(text.substr(0, static_cast<std::size_t>(length)));
    padded.resize(static_cast<std::size_t>(length), U' ');

    for (int i = 0; i < length; ++i) {
        for (int byte = 0; byte < 256; ++byte) {
            if (table[byte] != '\0' && static_cast<char32_t>(table[byte]) == padded[i]) {
                if (const FileError error = write(start + i, static_cast<std::uint8_t>(byte));
                    error != FileError::None) {
                    return error;
                }
                break;
            }
        }
    }
    return FileError::None;
}

namespace {

// "Crono, 07:42": the first box's name and the play time, by which a player knows a save.
std::string Summary(std::span<const std::uint8_t> workRam) {
    const std::string name = ReadName(workRam.subspan(NameSlotsByBox()[0], orvane::kNameSlotSize));
    std::string time;
    for (std::size_t i = 0; i < kTimeDigitsByBox.size(); ++i) {
        time += (i == 2 ? ":" : "") + std::to_string(workRam[kTimeDigitsByBox[i]]);
    }
    const std::size_t end = name.find_last_not_of(' ');
    return end == std::string::npos ? time : name.substr(0, end + 1) + ", " + time;
}

// The states the file keeps, in words, and the one asked for opened.
FileError ChooseSlot(orvane::DecodedState& state, std::optional<std::size_t> slot, FileKind& kind) {
    const std::vector<orvane::StoredState> states = state.States();
    for (std::size_t i = 0; i < states.size(); ++i) {
        const auto workRam =
            states[i].opens ? state.StoredWorkRam(i) : orvane::Outcome<orvane::Bytes>::Refused("");
        kind.heldSlots.push_back(
            {states[i].title + ": " + (workRam ? Summary(*workRam) : states[i].why),
             states[i].opens});
    }
    if (slot && !states.empty() && *slot != state.OpenState()) {
        if (const auto opened = state.OpenStoredState(*slot); !opened) {
            kind.refusal = opened.Refusal();
            return FileError::SlotClosed;
        }
    }
    kind.openSlot = state.OpenState();
    return FileError::None;
}

// Opens path and decodes what it holds, through one descriptor.
FileError OpenState(const std::filesystem::path& path, ByteFile& file,
                    std::optional<orvane::DecodedState>& state, FileKind& kind,
                    std::optional<std::size_t> slot) {
    kind = {};
    if (const FileError error = file.Open(path); error != FileError::None) {
        return error;
    }
    std::vector<std::uint8_t> bytes;
    if (const FileError error = file.ReadAll(bytes); error != FileError::None) {
        return error;
    }
    auto decoded = orvane::DecodedState::Decode(bytes);
    if (!decoded) {
        kind.refusal = decoded.Refusal();
        return FileError::UnknownFormat;
    }
    kind.name = decoded->Name();
    kind.replacing = decoded->Replacing();
    state = std::move(*decoded);
    return ChooseSlot(*state, slot, kind);
}

}  // namespace

FileError ReadState(const std::filesystem::path& path, StateFields& fields, FileKind& kind,
                    std::optional<std::size_t> slot) {
    ByteFile file;
    std::optional<orvane::DecodedState> state;
    if (const FileError error = OpenState(path, file, state, kind, slot);
        error != FileError::None) {
        return error;
    }
    const std::span<const std::uint8_t> workRam = state->WorkRam();
    for (std::size_t i = 0; i < kTimeDigitsByBox.size(); ++i) {
        fields.times[i] = workRam[kTimeDigitsByBox[i]];
    }
    const auto slots = NameSlotsByBox();
    for (std::size_t i = 0; i < slots.size(); ++i) {
        fields.names[i] = ReadName(workRam.subspan(slots[i], orvane::kNameSlotSize));
    }
    return FileError::None;
}

namespace {

struct SavedByte {
    std::int64_t offset;
    std::uint8_t value;
};

// Puts back every saved byte that the file no longer holds, going on past a failure, and flushes
// what it wrote; the first error is returned. Bytes never written need nothing, and on a full
// disk writing them would fail and wrongly report the file as partly saved.
FileError Restore(const ByteFile& file, const std::vector<SavedByte>& saved) {
    FileError first = FileError::None;
    bool wrote = false;
    for (const SavedByte& byte : saved) {
        std::uint8_t now = 0;
        if (file.Read(byte.offset, now) == FileError::None && now == byte.value) {
            continue;
        }
        const FileError error = file.Write(byte.offset, byte.value);
        wrote = true;
        if (first == FileError::None) {
            first = error;
        }
    }
    if (!wrote || first != FileError::None) {
        return first;
    }
    return file.Flush();
}

// The edits at their places in work RAM, which starts at workRam.
FileError WriteEdits(const ByteWriter& write, std::int64_t workRam, const StateEdits& edits) {
    for (std::size_t i = 0; i < kTimeDigitsByBox.size(); ++i) {
        const auto place = static_cast<std::int64_t>(kTimeDigitsByBox[i]);
        if (const FileError error = write(workRam + place, edits.times[i]);
            error != FileError::None) {
            return error;
        }
    }
    const auto slots = NameSlotsByBox();
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const auto place = static_cast<std::int64_t>(slots[i]);
        if (const FileError error = WriteName(write, workRam + place, edits.names[i], kNameLength);
            error != FileError::None) {
            return error;
        }
    }
    return FileError::None;
}

// A compressed file cannot change in place, nor one that keeps a checksum over what changes: the
// edits go into its decoded state, which is encoded in its own container and checked, and the
// result replaces the file as a whole.
FileError WriteWhole(const std::filesystem::path& path, orvane::DecodedState& state,
                     const StateEdits& edits, FileKind& kind) {
    const std::span<std::uint8_t> workRam = state.WorkRam();
    WriteEdits(
        [workRam](std::int64_t place, std::uint8_t value) {
            workRam[static_cast<std::size_t>(place)] = value;
            return FileError::None;
        },
        0, edits);
    const auto encoded = state.Encode();
    if (!encoded) {
        kind.refusal = encoded.Refusal();
        return FileError::CannotEncode;
    }
    kind.replace = orvane::ReplaceFileContents(path, *encoded, orvane::InPlace::Refused);
    return kind.replace ? FileError::None : FileError::CannotReplace;
}

}  // namespace

FileError WriteState(const std::filesystem::path& path, const StateEdits& edits, FileKind& kind,
                     bool& undone, std::optional<std::size_t> slot) {
    undone = true;
    ByteFile file;
    std::optional<orvane::DecodedState> state;
    if (const FileError error = OpenState(path, file, state, kind, slot);
        error != FileError::None) {
        return error;
    }
    if (!state->EditsInPlace()) {
        file.Close();
        return WriteWhole(path, *state, edits, kind);
    }
    // In a file that is not compressed the stream is the file. Everything the save may change is
    // read before the first write, so that a save failing half-way (a full disk, a file cut
    // short meanwhile) can put back what it had written.
    const auto workRam = static_cast<std::int64_t>(state->Layout().workRam);
    std::vector<SavedByte> saved;
    for (std::size_t place : SavePlaces()) {
        const std::int64_t offset = workRam + static_cast<std::int64_t>(place);
        std::uint8_t value = 0;
        if (const FileError error = file.Read(offset, value); error != FileError::None) {
            return error;
        }
        saved.push_back({offset, value});
    }
    FileError error = WriteEdits(
        [&file](std::int64_t offset, std::uint8_t value) { return file.Write(offset, value); },
        workRam, edits);
    if (error == FileError::None) {
        error = file.Flush();
    }
    if (error != FileError::None) {
        undone = Restore(file, saved) == FileError::None;
    }
    return error;
}

std::vector<std::size_t> SavePlaces() {
    std::vector<std::size_t> places(kTimeDigitsByBox.begin(), kTimeDigitsByBox.end());
    for (std::size_t slot : NameSlotsByBox()) {
        for (std::size_t i = 0; i < orvane::kNameLength; ++i) {
            places.push_back(slot + i);
        }
    }
    return places;
}

std::optional<std::uint8_t> TimeByteFromText(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    auto isDigit = [&](std::size_t at) {
        return at < text.size() && text[at] >= '0' && text[at] <= '9';
    };

    // Anything above a byte is refused, so the whole part may stop growing once it is too large.
    int whole = 0;
    for (; isDigit(pos); ++pos) {
        if (whole <= 255) {
            whole = whole * 10 + (text[pos] - '0');
        }
    }
    // Round on the decimal digits themselves so that an exact half is seen as one.
    int firstFraction = 0;
    bool restNonZero = false;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        if (isDigit(pos)) {
            firstFraction = text[pos++] - '0';
        }
        for (; isDigit(pos); ++pos) {
            restNonZero = restNonZero || text[pos] != '0';
        }
    }
    const bool up = firstFraction > 5 || (firstFraction == 5 && (restNonZero || whole % 2 == 1));
    const int rounded = whole + (up ? 1 : 0);
    if (rounded > 255 || (negative && rounded != 0)) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(rounded);
}

}  // namespace tellim
