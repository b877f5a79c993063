#include "module1.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace Module1 {

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

ByteFile::~ByteFile() {
    Close();
}

FileError ByteFile::Open(const std::filesystem::path& path, std::int64_t minimumSize) {
    Close();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? FileError::Missing : FileError::CannotOpen;
    }
    if (!S_ISREG(info.st_mode)) {
        return FileError::NotRegular;
    }
    // Root may write anything, so the OS would not refuse; the bits are what the user meant.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return FileError::ReadOnly;
    }
    const int fd = Retry([&] { return ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY); });
    if (fd < 0) {
        return errno == EACCES || errno == EROFS ? FileError::ReadOnly : FileError::CannotOpen;
    }
    // Measure the file actually opened, which may differ from the one stat saw.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return FileError::CannotOpen;
    }
    if (info.st_size < minimumSize) {
        ::close(fd);
        return FileError::TooShort;
    }
    m_fd = fd;
    m_size = info.st_size;
    return FileError::None;
}

FileError ByteFile::Read(std::int64_t offset, std::uint8_t& value) const {
    if (m_fd < 0 || offset < 0) {
        return FileError::ReadFailed;
    }
    if (offset >= m_size) {
        return FileError::TooShort;
    }
    const ssize_t got = Retry([&] { return ::pread(m_fd, &value, 1, offset); });
    // Zero bytes means the file shrank since it was opened.
    if (got == 0) {
        return FileError::TooShort;
    }
    return got == 1 ? FileError::None : FileError::ReadFailed;
}

FileError ByteFile::Write(std::int64_t offset, std::uint8_t value) const {
    if (m_fd < 0 || offset < 0) {
        return FileError::WriteFailed;
    }
    // Writing at or past the end would grow the file.
    if (offset >= m_size) {
        return FileError::TooShort;
    }
    const ssize_t put = Retry([&] { return ::pwrite(m_fd, &value, 1, offset); });
    return put == 1 ? FileError::None : FileError::WriteFailed;
}

void ByteFile::Close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
        m_size = 0;
    }
}

FileError ReadName(std::int64_t start, const std::filesystem::path& path, int length,
                   std::string& name) {
    const CodeTable table = BuildCodeTable();
    if (length < 0) {
        length = 0;
    }
    ByteFile file;
    if (const FileError error = file.Open(path, start + length + 1); error != FileError::None) {
        return error;
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

FileError WriteName(std::int64_t start, const std::filesystem::path& path, std::u32string_view text,
                    int length) {
    const CodeTable table = BuildCodeTable();
    if (length < 0) {
        length = 0;
    }
    std::u32string padded(text.substr(0, static_cast<std::size_t>(length)));
    padded.resize(static_cast<std::size_t>(length), U' ');

    ByteFile file;
    if (const FileError error = file.Open(path, start + length); error != FileError::None) {
        return error;
    }
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

std::vector<std::int64_t> SaveOffsets() {
    std::vector<std::int64_t> offsets(kTimeOffsets.begin(), kTimeOffsets.end());
    for (std::int64_t slot : kNameSlots) {
        for (int i = 0; i < kNameLength; ++i) {
            offsets.push_back(slot + i);
        }
    }
    return offsets;
}

FileError SnapshotBytes(const std::filesystem::path& path, const std::vector<std::int64_t>& offsets,
                        std::vector<SavedByte>& saved) {
    ByteFile file;
    if (const FileError error = file.Open(path, kMinimumStateSize); error != FileError::None) {
        return error;
    }
    saved.clear();
    for (std::int64_t offset : offsets) {
        std::uint8_t value = 0;
        if (const FileError error = file.Read(offset, value); error != FileError::None) {
            return error;
        }
        saved.push_back({offset, value});
    }
    return FileError::None;
}

FileError RestoreBytes(const std::filesystem::path& path, const std::vector<SavedByte>& saved) {
    ByteFile file;
    if (const FileError error = file.Open(path, kMinimumStateSize); error != FileError::None) {
        return error;
    }
    FileError first = FileError::None;
    for (const SavedByte& byte : saved) {
        const FileError error = file.Write(byte.offset, byte.value);
        if (first == FileError::None) {
            first = error;
        }
    }
    return first;
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

}  // namespace Module1
