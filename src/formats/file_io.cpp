// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/xattr.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "byte_view.h"

namespace orvane {

namespace fs = std::filesystem;

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    // Closing can report a deferred write error, so a writer must look at it.
    bool Close() {
        int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

// Repeats a read or write until the whole span has moved; a short count is not a failure,
// an error or an end of file is.
template <typename Byte, typename Transfer>
bool TransferAll(std::span<Byte> bytes, Transfer transfer) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = transfer(bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool ReadAll(int fd, std::span<std::uint8_t> out) {
    return TransferAll(out, [fd](std::uint8_t* p, std::size_t n) { return ::read(fd, p, n); });
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    return TransferAll(bytes,
                       [fd](const std::uint8_t* p, std::size_t n) { return ::write(fd, p, n); });
}

// Whether the file holds `bytes` from its start, read through the descriptor after the flush, a
// piece at a time.
bool ReadsBack(int fd, std::span<const std::uint8_t> bytes) {
    std::array<std::uint8_t, 65536> piece;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t want = std::min(piece.size(), bytes.size() - done);
        const ssize_t n = ::pread(fd, piece.data(), want, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0 || std::memcmp(piece.data(), bytes.data() + done, static_cast<std::size_t>(n))) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

mode_t CurrentUmask() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

FileIdentity IdentityOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::uintmax_t>(st.st_size), static_cast<std::int64_t>(st.st_mtim.tv_sec),
            static_cast<std::int64_t>(st.st_mtim.tv_nsec)};
}

// Persists the rename itself; a failure here does not undo a replacement that already happened.
void SyncDirectory(const fs::path& dir) {
    FileDescriptor fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Valid()) {
        ::fsync(fd.Get());
    }
}

}  // namespace

ReadResult ReadWholeFile(const fs::path& path, std::size_t limit, std::vector<std::uint8_t>& out) {
    ReadResult result;
    const auto fail = [&result](ReadError error) {
        result.error = error;
        result.systemError = errno;
        return result;
    };
    // Looked at before opening: opening a FIFO or a device can block or have effects.
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0) {
        return fail(ReadError::CannotOpen);
    }
    if (!S_ISREG(before.st_mode)) {
        errno = 0;
        return fail(ReadError::NotRegularFile);
    }
    // Non-blocking in case the name was given to a FIFO meanwhile; regular files ignore it.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.Valid()) {
        return fail(ReadError::CannotOpen);
    }
    struct stat opened {};
    if (::fstat(fd.Get(), &opened) != 0) {
        return fail(ReadError::CannotRead);
    }
    if (!S_ISREG(opened.st_mode)) {
        errno = 0;
        return fail(ReadError::NotRegularFile);
    }
    result.identity = IdentityOf(opened);
    if (static_cast<std::uintmax_t>(opened.st_size) > limit) {
        errno = 0;
        return fail(ReadError::TooLarge);
    }
    result.bytesRead = static_cast<std::size_t>(opened.st_size);
    out.resize(result.bytesRead);
    errno = 0;
    if (!ReadAll(fd.Get(), out)) {
        // An end of file before the size seen means the file shrank.
        return fail(errno == 0 ? ReadError::ChangedWhileRead : ReadError::CannotRead);
    }
    std::uint8_t extra = 0;
    struct stat after {};
    if (::read(fd.Get(), &extra, 1) != 0 || ::fstat(fd.Get(), &after) != 0 ||
        IdentityOf(after) != result.identity) {
        errno = 0;
        return fail(ReadError::ChangedWhileRead);
    }
    return result;
}

namespace {

// How far an attempt to write a new file and rename it over the target got.
enum class Attempt {
    Done,     // replaced, or failed for a reason that writing in place would not mend
    Refused,  // the folder refused a new file or the rename: writing in place may still serve
};

WriteResult Failure(WriteError error, int systemError = errno) {
    WriteResult result;
    result.error = error;
    result.systemError = systemError;
    return result;
}

bool IsPermissionError(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

// A fresh hidden name beside the target, short enough for any file system whatever the
// target's own name.
fs::path TemporaryName(const fs::path& dir) {
    static std::mt19937 random(std::random_device{}());
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = ".orvane-";
    for (int i = 0; i < 8; ++i) {
        name += kLetters[random() % (sizeof kLetters - 1)];
    }
    return dir / name;
}

// Gives an unnamed file a name; false leaves it unnamed (errno tells why).
bool LinkUnnamed(int fd, fs::path& temp, const fs::path& dir) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int tries = 0; tries < 100; ++tries) {
        temp = TemporaryName(dir);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            ::linkat(fd, "", AT_FDCWD, temp.c_str(), AT_EMPTY_PATH) == 0) {
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

// Every extended attribute of the target (its ACLs among them) onto the new file. False when one
// cannot be carried over; a target without any, or a file system without them, is fine.
bool CopyAttributes(const fs::path& from, int to) {
    ssize_t length = ::listxattr(from.c_str(), nullptr, 0);
    if (length < 0) {
        return errno == ENOTSUP;
    }
    std::vector<char> names(static_cast<std::size_t>(length));
    length = ::listxattr(from.c_str(), names.data(), names.size());
    if (length < 0) {
        return false;
    }
    for (std::size_t at = 0; at < static_cast<std::size_t>(length);) {
        const char* name = names.data() + at;
        at += std::strlen(name) + 1;
        const ssize_t size = ::getxattr(from.c_str(), name, nullptr, 0);
        std::vector<char> value(static_cast<std::size_t>(std::max<ssize_t>(size, 0)));
        if (size < 0 || ::getxattr(from.c_str(), name, value.data(), value.size()) != size ||
            ::fsetxattr(to, name, value.data(), value.size(), 0) != 0) {
            return false;
        }
    }
    return true;
}

// A new file beside the target, unnamed until it is complete so that a save killed half-way
// leaves nothing behind; a named one where the file system has no unnamed files.
FileDescriptor OpenTemporary(const fs::path& dir, mode_t mode, fs::path& temp) {
    FileDescriptor fd(::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
    if (fd.Valid() || IsPermissionError(errno) || errno == ENOENT || errno == ENOTDIR) {
        return fd;
    }
    for (int tries = 0; tries < 100; ++tries) {
        temp = TemporaryName(dir);
        FileDescriptor named(
            ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
        if (named.Valid() || errno != EEXIST) {
            return named;
        }
    }
    return FileDescriptor(-1);
}

Attempt ReplaceByRename(const fs::path& target, const fs::path& dir,
                        std::span<const std::uint8_t> bytes, const struct stat* old,
                        WriteResult& result) {
    const mode_t mode = old != nullptr ? old->st_mode & 07777 : 0666 & ~CurrentUmask();
    fs::path temp;
    FileDescriptor fd = OpenTemporary(dir, mode, temp);
    if (!fd.Valid()) {
        result = Failure(errno == ENOENT || errno == ENOTDIR ? WriteError::NoFolder
                                                             : WriteError::CannotCreate);
        return IsPermissionError(result.systemError) ? Attempt::Refused : Attempt::Done;
    }
    const auto fail = [&](WriteError error, Attempt attempt) {
        result = Failure(error);
        fd.Close();
        if (!temp.empty()) {
            ::unlink(temp.c_str());
        }
        return attempt;
    };
    if (!WriteAll(fd.Get(), bytes) || ::fchmod(fd.Get(), mode) != 0) {
        return fail(WriteError::CannotWrite, Attempt::Done);
    }
    if (old != nullptr) {
        // Only a privileged user can give the file back to another owner.
        if (::fchown(fd.Get(), old->st_uid, old->st_gid) != 0) {
            errno = 0;
        }
        if (!CopyAttributes(target, fd.Get())) {
            return fail(WriteError::CannotReplace, Attempt::Refused);
        }
    }
    if (::fsync(fd.Get()) != 0) {
        return fail(WriteError::CannotWrite, Attempt::Done);
    }
    if (!ReadsBack(fd.Get(), bytes)) {
        errno = 0;
        return fail(WriteError::ReadBackDiffers, Attempt::Done);
    }
    if (temp.empty() && !LinkUnnamed(fd.Get(), temp, dir)) {
        temp.clear();
        return fail(WriteError::CannotCreate,
                    IsPermissionError(errno) ? Attempt::Refused : Attempt::Done);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        // A sticky folder lets only a file's owner replace it.
        return fail(WriteError::CannotReplace,
                    IsPermissionError(errno) ? Attempt::Refused : Attempt::Done);
    }
    struct stat written {};
    ::fstat(fd.Get(), &written);
    if (!fd.Close()) {
        // The new content is in place and flushed; only a deferred error of close is left.
        errno = 0;
    }
    SyncDirectory(dir);
    result = WriteResult{};
    result.identity = IdentityOf(written);
    return Attempt::Done;
}

// Writes only the bytes that differ, flushed, and puts the old ones back if anything fails, so
// the file ends as it was or as asked. Used where no new file can take the target's place.
WriteResult WriteInPlace(const fs::path& target, std::span<const std::uint8_t> bytes) {
    FileDescriptor fd(::open(target.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0) {
        return Failure(IsPermissionError(errno) ? WriteError::ReadOnly : WriteError::CannotCreate);
    }
    if (!S_ISREG(st.st_mode)) {
        return Failure(WriteError::NotRegularFile, 0);
    }
    // The old bytes are held to be put back; no state is this large.
    if (static_cast<std::uintmax_t>(st.st_size) > kDecodeLimit) {
        return Failure(WriteError::TooLarge, 0);
    }
    std::vector<std::uint8_t> old(static_cast<std::size_t>(st.st_size));
    if (::lseek(fd.Get(), 0, SEEK_SET) != 0 || !ReadAll(fd.Get(), old)) {
        return Failure(WriteError::CannotWrite);
    }
    const auto writeAt = [&fd](std::span<const std::uint8_t> part, std::size_t at) {
        return TransferAll(part, [&fd, &at](const std::uint8_t* p, std::size_t n) {
            const ssize_t done = ::pwrite(fd.Get(), p, n, static_cast<off_t>(at));
            at += done > 0 ? static_cast<std::size_t>(done) : 0;
            return done;
        });
    };
    const std::size_t common = std::min(old.size(), bytes.size());
    std::vector<std::pair<std::size_t, std::size_t>> written;  // [from, to) of changed bytes
    bool ok = true;
    for (std::size_t at = 0; ok && at < common;) {
        if (old[at] == bytes[at]) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < common && old[end] != bytes[end]) {
            ++end;
        }
        written.emplace_back(at, end);
        ok = writeAt(bytes.subspan(at, end - at), at);
        at = end;
    }
    ok = ok && (bytes.size() <= old.size() || writeAt(bytes.subspan(common), common));
    if (ok && bytes.size() < old.size()) {
        written.emplace_back(common, old.size());  // cut off, so put back with the changed bytes
        ok = ::ftruncate(fd.Get(), static_cast<off_t>(bytes.size())) == 0;
    }
    ok = ok && ::fsync(fd.Get()) == 0;
    bool readBack = true;
    if (ok) {
        errno = 0;
        readBack = ReadsBack(fd.Get(), bytes);
        ok = readBack;
    }
    if (!ok) {
        const int error = errno;
        // Put the old bytes back where new ones may have landed or the file was cut, then drop
        // what grew past the old length.
        for (const auto& [from, to] : written) {
            writeAt(std::span<const std::uint8_t>(old).subspan(from, to - from), from);
        }
        if (::ftruncate(fd.Get(), static_cast<off_t>(old.size())) == 0) {
            ::fsync(fd.Get());
        }
        return Failure(readBack ? WriteError::CannotWrite : WriteError::ReadBackDiffers, error);
    }
    WriteResult result;
    ::fstat(fd.Get(), &st);
    result.identity = IdentityOf(st);
    return result;
}

// The file a path names through any chain of symbolic links, whether or not it exists yet; a
// relative link is read from its own folder. A chain longer than the system follows is left for
// stat to report.
fs::path FollowLinks(fs::path path) {
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(path, ec); ++hops) {
        const fs::path to = fs::read_symlink(path, ec);
        if (ec) {
            break;
        }
        path = path.parent_path() / to;
    }
    return path;
}

}  // namespace

WriteResult ReplaceFileContents(const fs::path& requested, std::span<const std::uint8_t> bytes,
                                InPlace inPlace) {
    if (requested.empty()) {
        return Failure(WriteError::NoFolder, ENOENT);
    }
    // Write through a symbolic link to the file it names rather than replacing the link.
    const fs::path target = FollowLinks(requested);
    fs::path dir = target.parent_path();
    if (dir.empty()) {
        dir = ".";
    }

    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) {
        return Failure(errno == ENOTDIR ? WriteError::NoFolder : WriteError::CannotCreate);
    }
    if (exists && !S_ISREG(st.st_mode)) {
        return Failure(WriteError::NotRegularFile, S_ISDIR(st.st_mode) ? EISDIR : 0);
    }
    // Root may write anything; the bits are what the user meant.
    if (exists && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return Failure(WriteError::ReadOnly, EACCES);
    }

    // A new file renamed over the target ends wholly old or wholly new; other hard links would
    // keep the old content, so a file that has them is written in place.
    WriteResult result;
    if (!exists || st.st_nlink <= 1) {
        if (ReplaceByRename(target, dir, bytes, exists ? &st : nullptr, result) == Attempt::Done ||
            !exists) {
            return result;
        }
    }
    if (inPlace == InPlace::Refused) {
        return st.st_nlink > 1 ? Failure(WriteError::WholeOnlyHardLinked, 0)
                               : Failure(WriteError::WholeOnlyRefused, result.systemError);
    }
    return WriteInPlace(target, bytes);
}

}  // namespace orvane
