#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvik {

// The whole content of a regular file; nothing when it cannot be opened or read, or is not
// a regular file (a folder, a named pipe, a device), without waiting for such a file.
std::optional<std::string> ReadFileBytes(const std::string& path);

// Replaces the file at path with bytes so that the old file survives any failure: the bytes
// go to a new file beside the target, which is flushed to disk and then renamed over the
// target. An existing target keeps its permission bits, and one that this process may not
// write is refused as a write in place would be; a symbolic link is followed and the file
// it points to is replaced. False when anything failed; the target is then as it was and
// no temporary file is left behind.
bool WriteFileReplacing(const std::string& path, std::string_view bytes);

} // namespace tarvik
