#include "setup/PackageFormat.h"

namespace setup {

std::string EncodeHeader(const PackageHeader& header) {
    std::string out(header.signature.begin(), header.signature.end());
    AppendU32(out, header.dwEntryCount);
    AppendU32(out, header.dwDirectoryOffset);
    return out;
}

std::string EncodeRecord(const PackageEntry& entry) {
    std::string out;
    out.reserve(kRecordSize);
    AppendU32(out, entry.dwType);
    AppendU32(out, entry.dwNameOffset);
    AppendU32(out, entry.dwFileSize);
    AppendU32(out, entry.dwStoredSize);
    AppendU32(out, entry.dwDataOffset);
    return out;
}

void DecodeRecord(std::span<const char, kRecordSize> record, PackageEntry& entry) {
    entry.dwType = ReadU32(record, 0);
    entry.dwNameOffset = ReadU32(record, 4);
    entry.dwFileSize = ReadU32(record, 8);
    entry.dwStoredSize = ReadU32(record, 12);
    entry.dwDataOffset = ReadU32(record, 16);
}

} // namespace setup
