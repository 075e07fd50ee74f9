#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <sys/stat.h>

// What a file or folder is, whatever the name it is reached by: its device
// and inode. Two paths name the same file or folder exactly when their ids
// are equal (a link, a hard link, "D/../D", a folder listed twice).
struct FileId
{
    FileId() = default;
    explicit FileId(const struct stat& st)
        : nDevice(static_cast<std::uint64_t>(st.st_dev)),
          nInode(static_cast<std::uint64_t>(st.st_ino))
    {
    }

    // Inode 0 is no file: the id of something that could not be looked at,
    // which is never taken for another.
    bool IsKnown() const { return nInode != 0; }
    bool operator==(const FileId& other) const
    {
        return nDevice == other.nDevice && nInode == other.nInode;
    }

    std::uint64_t nDevice = 0;
    std::uint64_t nInode = 0;
};

namespace std
{
template <> struct hash<FileId>
{
    size_t operator()(const FileId& id) const noexcept
    {
        return hash<uint64_t>()(id.nInode * 0x9E3779B97F4A7C15ull ^ id.nDevice);
    }
};
} // namespace std
