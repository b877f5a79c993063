#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "state_document.h"

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

// Persists the rename itself; a failure here does not undo a replacement that already happened.
void SyncDirectory(const fs::path& dir) {
    FileDescriptor fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Valid()) {
        ::fsync(fd.Get());
    }
}

}  // namespace

LoadResult ReadWholeFile(const fs::path& path, std::span<std::uint8_t> out) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) {
        return {LoadError::CannotOpen, 0};
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return {LoadError::CannotOpen, 0};
    }
    const auto size = static_cast<std::uintmax_t>(st.st_size);
    if (size != out.size()) {
        return {LoadError::WrongSize, size};
    }
    std::vector<std::uint8_t> buffer(out.size());
    if (!ReadAll(fd.Get(), buffer)) {
        return {LoadError::CannotRead, size};
    }
    // A file that grew while it was read is not the file whose size was checked.
    std::uint8_t extra = 0;
    if (::read(fd.Get(), &extra, 1) != 0) {
        return {LoadError::CannotRead, size};
    }
    std::copy(buffer.begin(), buffer.end(), out.begin());
    return {LoadError::None, size};
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
