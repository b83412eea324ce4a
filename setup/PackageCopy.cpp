#include "setup/PackageCopy.h"

#include <algorithm>
#include <optional>

namespace setup {

namespace {

// Copies up to `size` bytes and returns how many reached the output before the package ended
// or an error stopped the copy.
std::uint64_t CopyRange(const FileHandle& package, std::uint64_t offset, std::uint64_t size,
                        const FileHandle& output, std::span<char> buffer) {
    std::uint64_t done = 0;
    // The system copies between the files when it can; the buffer always works and finds any
    // real error itself.
    if (CopyBetweenFiles(package, offset, output, size, done)) {
        return done;
    }
    while (done < size) {
        const std::uint64_t left = size - done;
        const std::size_t block =
            static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
        const std::span<char> chunk = buffer.first(block);
        const std::size_t got = ReadAt(package, offset + done, chunk);
        if (got == 0 || !WriteAll(output, chunk.first(got))) {
            break;
        }
        done += got;
        if (got != block) {
            break;
        }
    }
    return done;
}

} // namespace

bool CopyPackageBytes(const FileHandle& package, std::uint64_t offset, std::uint64_t size,
                      const FileHandle& output, std::span<char> buffer) {
    if (!package.valid() || !output.valid() || buffer.empty()) {
        return false;
    }
    const std::uint64_t packageSize = FileSize(package).value_or(0);
    const std::uint64_t available = offset < packageSize ? packageSize - offset : 0;
    // What a package lacks is known before copying: only the whole blocks before the end of
    // the package are copied then.
    const std::uint64_t wanted = available >= size ? size : available - available % kShortCopyBlock;
    const std::uint64_t done = CopyRange(package, offset, wanted, output, buffer);
    if (done == size) {
        return true;
    }
    if (done % kShortCopyBlock != 0) {
        // A failure in the middle of a block: the blocks before it stay, as they would have.
        TruncateFile(output, done - done % kShortCopyBlock);
    }
    return false;
}

} // namespace setup
