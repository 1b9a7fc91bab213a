#include "platform/files/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <utility>

#include "platform/text/cp932.h"

namespace sw::files {
namespace {

int accessFlags(uint32_t access) noexcept {
    const bool read = access & kGenericRead;
    const bool write = access & kGenericWrite;
    return read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
}

void closeRetainingErrno(int fd) noexcept {
    const int saved = errno;
    ::close(fd);
    errno = saved;
}

}  // namespace

std::string nativePath(std::string_view cp932Path) {
    // The yen sign and the backslash share byte 0x5C; once decoded, a trail byte 0x5C is no longer a '\'.
    std::string path = text::cp932ToUtf8(cp932Path);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

File::File(File&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_access(std::exchange(other.m_access, 0)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
        m_access = std::exchange(other.m_access, 0);
    }
    return *this;
}

File::~File() { close(); }

File File::open(std::string_view cp932Path, uint32_t access, Creation creation) noexcept {
    // A name with invalid bytes would reach the file system with replacement characters, and two different
    // names could meet in one file.
    if (cp932Path.empty() || !text::isValidCp932(cp932Path)) return {};
    try {
        return openNative(nativePath(cp932Path), access, creation);
    } catch (...) {
        return {};
    }
}

File File::openNative(const std::string& path, uint32_t access, Creation creation) noexcept {
    access &= kGenericRead | kGenericWrite;
    if (access == 0 || path.empty() || path.find('\0') != std::string::npos) return {};

    // ftruncate needs a writable descriptor; write() still refuses when the caller asked for read only.
    int flags = creation == Creation::CreateAlways ? O_RDWR : accessFlags(access);
    flags |= O_CLOEXEC | O_NOCTTY;
    if (creation != Creation::OpenExisting) flags |= O_CREAT;

    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return {};

    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        closeRetainingErrno(fd);
        return {};
    }
    // flock locks belong to the open file description, so a second open() in this very process conflicts too.
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        closeRetainingErrno(fd);
        return {};
    }
    if (creation == Creation::CreateAlways && ::ftruncate(fd, 0) != 0) {
        closeRetainingErrno(fd);
        return {};
    }
    return File(fd, access);
}

int64_t File::seek(int64_t offset, SeekFrom from) noexcept {
    if (!isValid()) return -1;
    const int whence = from == SeekFrom::Begin ? SEEK_SET : from == SeekFrom::Current ? SEEK_CUR : SEEK_END;
    // lseek refuses a resulting negative offset with EINVAL and leaves the position where it was.
    const off_t result = ::lseek(m_fd, static_cast<off_t>(offset), whence);
    return result < 0 ? -1 : static_cast<int64_t>(result);
}

int64_t File::position() const noexcept {
    if (!isValid()) return -1;
    const off_t result = ::lseek(m_fd, 0, SEEK_CUR);
    return result < 0 ? -1 : static_cast<int64_t>(result);
}

int64_t File::size() const noexcept {
    struct stat st {};
    if (!isValid() || ::fstat(m_fd, &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

int64_t File::read(void* buffer, int64_t bytes) noexcept {
    if (!isValid() || !(m_access & kGenericRead) || bytes < 0 || (bytes > 0 && buffer == nullptr)) return -1;
    auto* out = static_cast<char*>(buffer);
    int64_t done = 0;
    while (done < bytes) {
        const auto chunk = static_cast<size_t>(std::min<int64_t>(bytes - done, SSIZE_MAX));
        const ssize_t n = ::read(m_fd, out + done, chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            return done > 0 ? done : -1;
        }
        if (n == 0) break;
        done += n;
    }
    return done;
}

bool File::write(const void* buffer, int64_t bytes) noexcept {
    if (!isValid() || !(m_access & kGenericWrite) || bytes < 0 || (bytes > 0 && buffer == nullptr))
        return false;
    const auto* in = static_cast<const char*>(buffer);
    int64_t done = 0;
    while (done < bytes) {
        const auto chunk = static_cast<size_t>(std::min<int64_t>(bytes - done, SSIZE_MAX));
        const ssize_t n = ::write(m_fd, in + done, chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        done += n;
    }
    return true;
}

bool File::resize(int64_t bytes) noexcept {
    if (!isValid() || !(m_access & kGenericWrite) || bytes < 0) return false;
    int result;
    do {
        result = ::ftruncate(m_fd, static_cast<off_t>(bytes));
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

void File::close() noexcept {
    if (m_fd >= 0) {
        ::close(m_fd);  // releases the lock with the last descriptor of the open file description
        m_fd = -1;
        m_access = 0;
    }
}

}  // namespace sw::files
