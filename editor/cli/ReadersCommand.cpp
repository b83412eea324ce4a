#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/sim/ReaderList.h"

#include <ostream>

namespace tarvik::cli {

// tarvik-cli readers: one line per card reader, "NAME: card" or "NAME: no card".
int RunReadersCommand(CliArgs args, std::ostream& out, std::ostream& err) {
    if (!args.empty()) {
        return UsageError(CommandNamed("readers"), err);
    }
    const ReaderListing listing = ListReaders();
    if (!listing.error.empty()) {
        err << listing.error << '\n';
        return kExitSimNotFound; // no card service, so no reader either
    }
    if (listing.readers.empty()) {
        err << "no card readers\n";
    }
    for (const auto& reader : listing.readers) {
        out << reader.name << (reader.holdsCard ? ": card\n" : ": no card\n");
    }
    return kExitOk;
}

} // namespace tarvik::cli
