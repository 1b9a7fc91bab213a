// Files by handle with the open modes of the Windows file API, over POSIX open + flock.
//
// Share mode 0 only: an open takes an exclusive lock, and a second open of a held file (from this or another
// process) fails until the holder closes it. File names are code page 932 bytes, converted to the file
// system's UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sw::files {

enum Access : uint32_t {
    kGenericRead = 0x80000000u,
    kGenericWrite = 0x40000000u,
};

enum class Creation {
    CreateAlways,  // create, or truncate an existing file
    OpenAlways,    // open, or create when missing
    OpenExisting,  // open; fails when missing
};

enum class SeekFrom { Begin, Current, End };

// A move-only open file; closes in its destructor.
class File {
public:
    File() noexcept = default;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    // Opens `cp932Path` ('\\' separates folders like '/'). Returns an invalid File when the name is not valid
    // code page 932, names no regular file, the access is neither read nor write, or the open or the lock
    // fails. CreateAlways truncates only after the lock is held, so a refused open never changes the file.
    static File open(std::string_view cp932Path, uint32_t access, Creation creation) noexcept;
    // The same with a path already in the file system's encoding.
    static File openNative(const std::string& path, uint32_t access, Creation creation) noexcept;

    bool isValid() const noexcept { return m_fd >= 0; }
    explicit operator bool() const noexcept { return isValid(); }

    // New position, or -1 (position unchanged) on failure, including a position before the start.
    int64_t seek(int64_t offset, SeekFrom from) noexcept;
    int64_t position() const noexcept;
    int64_t size() const noexcept;  // -1 on failure
    // Bytes read (short at end of file, 0 at end), or -1 on failure (also without kGenericRead).
    int64_t read(void* buffer, int64_t bytes) noexcept;
    // True when all bytes were written (false without kGenericWrite or for a negative count).
    bool write(const void* buffer, int64_t bytes) noexcept;
    // Cuts the file to `bytes` (or extends it with zeros); the position stays where it was. False without
    // kGenericWrite or for a negative size.
    bool resize(int64_t bytes) noexcept;
    void close() noexcept;

private:
    File(int fd, uint32_t access) noexcept : m_fd(fd), m_access(access) {}
    int m_fd = -1;
    uint32_t m_access = 0;
};

// The file system path for a code page 932 file name: UTF-8, with each '\\' turned into '/'.
std::string nativePath(std::string_view cp932Path);

}  // namespace sw::files
