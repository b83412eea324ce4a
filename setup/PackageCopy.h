#pragma once

#include "setup/platform/FileHandle.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace setup {

// The size of the buffer that a package copy streams through.
inline constexpr std::size_t kCopyBufferSize = 64 * 1024;

// A copy that falls short keeps only whole blocks of this size, as setup always has.
inline constexpr std::uint64_t kShortCopyBlock = 1024;

// Copies `size` bytes, starting at the absolute `offset` in `package`, to `output` at its
// current position: through the kernel's own copy where it can, else through `buffer`. The
// memory used never depends on the size.
//
// When the package holds fewer bytes than asked, or a read or a write fails, the output keeps
// only the whole 1,024-byte blocks that came before the shortfall, exactly what a copy in
// blocks of that size leaves, and the result is false.
bool CopyPackageBytes(const FileHandle& package, std::uint64_t offset, std::uint64_t size,
                      const FileHandle& output, std::span<char> buffer);

} // namespace setup
