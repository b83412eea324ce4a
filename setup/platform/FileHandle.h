#pragma once

#include "base/UniqueFd.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace setup {

// A file or an open folder; an invalid handle holds -1 and every operation on it fails.
using FileHandle = tarvik::UniqueFd;

// Size in bytes, or nothing when the descriptor cannot be queried.
std::optional<std::uint64_t> FileSize(const FileHandle& file);

// Reads up to buffer.size() bytes at the absolute offset, retrying short reads until the
// buffer is full, the file ends or an error occurs. Returns the number of bytes read.
std::size_t ReadAt(const FileHandle& file, std::uint64_t offset, std::span<char> buffer);

// Writes every byte at the current position; false on the first error.
bool WriteAll(const FileHandle& file, std::span<const char> data);

// True when the path names an existing file, folder or other object (a symbolic link counts
// itself, whether or not its target exists).
bool PathExists(const std::string& path);

// Opens an existing regular file for reading; others may read it at the same time. Folders,
// FIFOs and devices are refused at once, without waiting.
FileHandle OpenForReading(const std::string& path);

// Whether `c` separates folders in a path of this system ("/"; on Windows "\\" too).
bool IsPathSeparator(char c);

// Opens the file for appending, creating it private to the user when missing, never
// truncating it. Anything at the path that is not a regular file (a symbolic link, a FIFO, a
// device, a folder) is refused, without waiting.
FileHandle OpenForAppending(const std::string& path);

// Copies up to `size` bytes from `offset` in `from` to the current position of `to` inside
// the system, without passing them through this process, and counts them in `copied`. True
// when it finished (all copied, or `from` ended); false when the system cannot copy between
// these two files, or failed, after `copied` bytes: the caller copies the rest itself.
bool CopyBetweenFiles(const FileHandle& from, std::uint64_t offset, const FileHandle& to,
                      std::uint64_t size, std::uint64_t& copied);

// Cuts the file to `size` bytes.
bool TruncateFile(const FileHandle& file, std::uint64_t size);

// Opens an existing folder (following symbolic links in the path, which the caller chose).
FileHandle OpenFolder(const std::string& path);

// Opens the folder `name` directly inside `parent` without following a symbolic link.
FileHandle OpenFolderAt(const FileHandle& parent, const std::string& name);

// Creates `name` inside `parent` as a new, empty file for writing, replacing a regular file of
// that name. A symbolic link (or anything else that is not a regular file) in its place is
// refused, so the write can never land outside `parent`. Files are private to the user (mode
// 0600); a program gets its execute permission when setup starts it.
FileHandle ReplaceFileAt(const FileHandle& parent, const std::string& name);

enum class FolderResult { Created, Existed, Failed };

// Creates the folder `name` inside `parent` with mode 0700 unless something of that name
// already exists.
FolderResult MakeFolderAt(const FileHandle& parent, const std::string& name);

// The names inside an open folder, "." and ".." included, in the order the system lists
// them; empty when it cannot be listed.
std::vector<std::string> ListFolderNames(const FileHandle& folder);

} // namespace setup
