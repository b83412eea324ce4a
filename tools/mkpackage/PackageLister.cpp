#include "PackageLister.h"

#include "PackageError.h"
#include "kivCPackageExtractor.h"

#include <iomanip>

namespace mkpackage {

void ListPackage(const std::string& file, std::ostream& out) {
    setup::kivCPackageExtractor extractor(file);
    if (!extractor.LoadDirectory()) {
        throw PackageError("no readable package in " + file);
    }
    for (const setup::PackageEntry& entry : extractor.GetFileList()) {
        out << std::left << std::setw(7) << (entry.IsFile() ? "file" : "folder") << std::right
            << std::setw(11) << entry.dwStoredSize << "  " << entry.strName << '\n';
    }
}

} // namespace mkpackage
