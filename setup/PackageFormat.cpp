#include "setup/PackageFormat.h"

namespace setup {

std::string EncodeHeader(const PackageHeader& header) {
    std::string out(header.signature.begin(), header.signature.end());
    AppendU32(out, header.entryCount);
    AppendU32(out, header.directoryOffset);
    return out;
}

std::string EncodeRecord(const PackageEntry& entry) {
    std::string out;
    out.reserve(kRecordSize);
    AppendU32(out, entry.type);
    AppendU32(out, entry.nameOffset);
    AppendU32(out, entry.fileSize);
    AppendU32(out, entry.storedSize);
    AppendU32(out, entry.dataOffset);
    return out;
}

void DecodeRecord(std::span<const char, kRecordSize> record, PackageEntry& entry) {
    entry.type = ReadU32(record, 0);
    entry.nameOffset = ReadU32(record, 4);
    entry.fileSize = ReadU32(record, 8);
    entry.storedSize = ReadU32(record, 12);
    entry.dataOffset = ReadU32(record, 16);
}

} // namespace setup
