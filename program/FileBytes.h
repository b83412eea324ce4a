#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace tarvik {

// The whole content of a regular file; nothing when it cannot be opened or read, or is not
// a regular file (a folder, a named pipe, a device), without waiting for such a file.
std::optional<std::string> ReadFileBytes(const std::string& path);
// The same, telling why it failed: the system's error, or that the file is not a regular one.
std::optional<std::string> ReadFileBytes(const std::string& path, std::error_code& error);

// Writes all of bytes to the open descriptor, going on after an interrupted write; false
// when a write failed.
bool WriteFully(int fd, std::string_view bytes);

// Stores bytes as the file at path so that a failure never leaves it half written where
// that can be avoided: the bytes go to a new file beside the target, which is flushed to
// disk and then renamed over the target, keeping the target's permission bits and group.
// Where a rename would change more than the content, the file is written in place instead
// (space reserved first, written, cut to length, flushed): when the folder may not be
// written but the file may, when the file has other hard links (they keep seeing it), and
// when it belongs to another user or a group that the new file could not keep. A file that
// this process may not write is refused, as a write in place would be, and so is anything
// that is not a regular file (a folder, a device, a named pipe), which the rename would
// replace by a regular file. A symbolic link is
// followed, also when its target does not exist yet: the target is created and the link
// stays. False when anything failed; no temporary file is left behind.
bool WriteFileReplacing(const std::string& path, std::string_view bytes);
// The same, telling why it failed: the system's error of the step that failed.
bool WriteFileReplacing(const std::string& path, std::string_view bytes, std::error_code& error);

} // namespace tarvik
