#include "setup/PackageCopy.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <unistd.h>

namespace setup {

namespace {

// Copies up to `size` bytes and returns how many reached the output before the package ended
// or an error stopped the copy.
std::uint64_t CopyRange(const FileHandle& package, std::uint64_t offset, std::uint64_t size,
                        const FileHandle& output, std::span<char> buffer) {
    std::uint64_t done = 0;
    bool kernelCopy = true;
    while (done < size) {
        const std::uint64_t left = size - done;
        if (kernelCopy) {
            auto from = static_cast<off64_t>(offset + done);
            const std::size_t chunk =
                static_cast<std::size_t>(std::min<std::uint64_t>(left, 1u << 30));
            const ssize_t copied =
                ::copy_file_range(package.get(), &from, output.get(), nullptr, chunk, 0);
            if (copied > 0) {
                done += static_cast<std::uint64_t>(copied);
                continue;
            }
            if (copied == 0) {
                break;
            }
            if (errno == EINTR) {
                continue;
            }
            // Not every file system or kernel copies between these two files; the buffer
            // always works and finds any real error itself.
            kernelCopy = false;
            continue;
        }
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
        while (::ftruncate(output.get(), static_cast<off_t>(done - done % kShortCopyBlock)) != 0 &&
               errno == EINTR) {
        }
    }
    return false;
}

} // namespace setup
