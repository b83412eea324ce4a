#include "tools/mkpackage/PackageLister.h"

#include "base/Windows1252.h"
#include "setup/EntryPath.h"
#include "setup/PackageExtractor.h"
#include "tools/mkpackage/PackageError.h"

#include <cstdio>
#include <iomanip>
#include <optional>
#include <vector>

namespace mkpackage {

namespace {

// Whether setup's extractor stops at this entry because of its name alone.
bool SetupRefuses(const setup::PackageEntry& entry) {
    const std::optional<std::vector<std::string>> components =
        setup::EntryPathComponents(entry.name);
    return !components || (entry.isFile() && components->empty());
}

} // namespace

std::string DisplayName(std::string_view name) {
    std::string shown;
    for (const char c : name) {
        const char32_t character = tarvik::Windows1252ToUnicode(static_cast<unsigned char>(c));
        const bool control = character < 0x20 || (character >= 0x7F && character < 0xA0);
        if (control) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
            shown += escaped;
        } else {
            shown += tarvik::Windows1252ToUtf8(std::string_view(&c, 1));
        }
    }
    return shown;
}

void ListPackage(const std::string& file, std::ostream& out) {
    setup::PackageExtractor extractor(file);
    const bool complete = extractor.loadDirectory();
    const std::list<setup::PackageEntry>& entries = extractor.getFileList();
    if (!complete && entries.empty()) {
        throw PackageError("no readable package in " + file);
    }
    for (const setup::PackageEntry& entry : entries) {
        out << std::left << std::setw(7) << (entry.isFile() ? "file" : "folder") << std::right
            << std::setw(11) << entry.storedSize << "  " << DisplayName(entry.name);
        if (SetupRefuses(entry)) {
            out << "  (setup refuses this name)";
        }
        out << '\n';
    }
    if (!complete) {
        // The only failure that leaves entries behind is a name length word over the limit.
        throw PackageError("the directory stops after entry " + std::to_string(entries.size()) +
                           " of " + std::to_string(extractor.getHeader().entryCount) +
                           ": the next entry's name is longer than 258 characters");
    }
}

} // namespace mkpackage
