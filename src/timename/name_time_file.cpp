// SPDX-License-Identifier: GPL-3.0-or-later
#include "name_time_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

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

FileKind RecogniseLayout(std::int64_t size, std::span<const std::uint8_t> head) {
    FileKind kind;
    kind.size = size;
    auto startsWithHeader = [&](const StateLayout& layout) {
        return head.size() >= layout.header.size() &&
               std::equal(layout.header.begin(), layout.header.end(), head.begin());
    };
    for (const StateLayout& layout : kStateLayouts) {
        const bool header = startsWithHeader(layout);
        if (layout.size == size) {
            if (header || layout.headerOptional) {
                kind.layout = &layout;
                return kind;
            }
            kind.sizeOf = &layout;
        } else if (header && kind.headerOf == nullptr) {
            kind.headerOf = &layout;
        }
    }
    return kind;
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

FileError ByteFile::Recognise(FileKind& kind) const {
    struct stat info {};
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0) {
        return FileError::ReadFailed;
    }
    StateHeader head{};
    std::size_t got = 0;
    while (got < head.size()) {
        const ssize_t n =
            Retry([&] { return ::pread(m_fd, head.data() + got, head.size() - got, off_t(got)); });
        if (n < 0) {
            return FileError::ReadFailed;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    kind = RecogniseLayout(info.st_size, std::span(head.data(), got));
    return kind.layout != nullptr ? FileError::None : FileError::UnknownLayout;
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

FileError ReadName(const ByteFile& file, std::int64_t start, int length, std::string& name) {
    const CodeTable table = BuildCodeTable();
    if (length < 0) {
        length = 0;
    }
    std::string result;
    for (int i = 0; i <= length; ++i) {
        std::uint8_t byte = 0;
        if (const FileError error = file.Read(start + i, byte); error != FileError::None) {
            return error;
        }
        // The trailing byte is read with the slot but belongs to no character.
        if (i < length && table[byte] != '\0') {
            result += table[byte];
        }
    }
    name = std::move(result);
    return FileError::None;
}

FileError WriteName(const ByteFile& file, std::int64_t start, std::u32string_view text,
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
                if (const FileError error = file.Write(start + i, static_cast<std::uint8_t>(byte));
                    error != FileError::None) {
                    return error;
                }
                break;
            }
        }
    }
    return FileError::None;
}

FileError ReadState(const std::filesystem::path& path, StateFields& fields, FileKind& kind) {
    kind = {};
    ByteFile file;
    if (const FileError error = file.Open(path); error != FileError::None) {
        return error;
    }
    if (const FileError error = file.Recognise(kind); error != FileError::None) {
        return error;
    }
    StateFields read;
    for (std::size_t i = 0; i < kTimeOffsets.size(); ++i) {
        if (const FileError error =
                file.Read(FieldOffset(*kind.layout, kTimeOffsets[i]), read.times[i]);
            error != FileError::None) {
            return error;
        }
    }
    for (std::size_t i = 0; i < kNameSlots.size(); ++i) {
        if (const FileError error = ReadName(file, FieldOffset(*kind.layout, kNameSlots[i]),
                                             kNameLength, read.names[i]);
            error != FileError::None) {
            return error;
        }
    }
    fields = std::move(read);
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

FileError WriteEdits(const ByteFile& file, const StateLayout& layout, const StateEdits& edits) {
    for (std::size_t i = 0; i < kTimeOffsets.size(); ++i) {
        if (const FileError error =
                file.Write(FieldOffset(layout, kTimeOffsets[i]), edits.times[i]);
            error != FileError::None) {
            return error;
        }
    }
    for (std::size_t i = 0; i < kNameSlots.size(); ++i) {
        if (const FileError error =
                WriteName(file, FieldOffset(layout, kNameSlots[i]), edits.names[i], kNameLength);
            error != FileError::None) {
            return error;
        }
    }
    return file.Flush();
}

}  // namespace

FileError WriteState(const std::filesystem::path& path, const StateEdits& edits, FileKind& kind,
                     bool& undone) {
    kind = {};
    undone = true;
    ByteFile file;
    if (const FileError error = file.Open(path); error != FileError::None) {
        return error;
    }
    if (const FileError error = file.Recognise(kind); error != FileError::None) {
        return error;
    }
    // Everything the save may change is read before the first write, so that a save failing
    // half-way (a full disk, a file cut short meanwhile) can put back what it had written.
    std::vector<SavedByte> saved;
    for (std::int64_t offset : SaveOffsets(*kind.layout)) {
        std::uint8_t value = 0;
        if (const FileError error = file.Read(offset, value); error != FileError::None) {
            return error;
        }
        saved.push_back({offset, value});
    }
    const FileError error = WriteEdits(file, *kind.layout, edits);
    if (error != FileError::None) {
        undone = Restore(file, saved) == FileError::None;
    }
    return error;
}

std::vector<std::int64_t> SaveOffsets(const StateLayout& layout) {
    std::vector<std::int64_t> offsets;
    for (std::int64_t offset : kTimeOffsets) {
        offsets.push_back(FieldOffset(layout, offset));
    }
    for (std::int64_t slot : kNameSlots) {
        for (int i = 0; i < kNameLength; ++i) {
            offsets.push_back(FieldOffset(layout, slot) + i);
        }
    }
    return offsets;
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
