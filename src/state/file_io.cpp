// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace orvane {

namespace fs = std::filesystem;

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
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

ReadResult ReadFileStart(const fs::path& path, std::span<std::uint8_t> out) {
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
    const auto size = static_cast<std::uintmax_t>(opened.st_size);
    const bool whole = size <= out.size();
    result.bytesRead = whole ? static_cast<std::size_t>(size) : out.size();
    errno = 0;
    if (!ReadAll(fd.Get(), out.first(result.bytesRead))) {
        // An end of file before the size seen means the file shrank.
        return fail(errno == 0 ? ReadError::ChangedWhileRead : ReadError::CannotRead);
    }
    std::uint8_t extra = 0;
    struct stat after {};
    if ((whole && ::read(fd.Get(), &extra, 1) != 0) || ::fstat(fd.Get(), &after) != 0 ||
        IdentityOf(after) != result.identity) {
        errno = 0;
        return fail(ReadError::ChangedWhileRead);
    }
    return result;
}

bool ReplaceFileContents(const fs::path& requested, std::span<const std::uint8_t> bytes) {
    if (requested.empty()) {
        return false;
    }
    // Write through a symbolic link to the file it names rather than replacing the link.
    std::error_code ec;
    fs::path target = requested;
    if (fs::is_symlink(requested, ec)) {
        target = fs::weakly_canonical(requested, ec);
        if (ec) {
            return false;
        }
    }

    struct stat st {};
    bool exists = ::stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) {
        return false;
    }
    mode_t mode = 0666 & ~CurrentUmask();
    if (exists) {
        if (!S_ISREG(st.st_mode)) {
            return false;
        }
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            return false;
        }
        mode = st.st_mode & 07777;
    }

    fs::path dir = target.parent_path();
    if (dir.empty()) {
        dir = ".";
    }
    // Hidden, beside the target, so the rename stays within one file system.
    std::string base = ".";
    base.append(target.filename().string()).append(".XXXXXX");
    const std::string pattern = (dir / base).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    FileDescriptor fd(::mkstemp(name.data()));
    if (!fd.Valid()) {
        return false;
    }
    const fs::path temp(name.data());

    bool ok = WriteAll(fd.Get(), bytes) && ::fchmod(fd.Get(), mode) == 0;
    if (ok && exists) {
        // Best effort: only a privileged user can give the file back to another owner.
        if (::fchown(fd.Get(), st.st_uid, st.st_gid) != 0) {
            errno = 0;
        }
    }
    ok = ok && ::fsync(fd.Get()) == 0;
    ok = fd.Close() && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncDirectory(dir);
    return true;
}

}  // namespace orvane
