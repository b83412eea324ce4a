#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/sim/ReaderList.h"

#include <ostream>

namespace tarvik::cli {
namespace {

// One line per card reader, "NAME: card" or "NAME: no card".
int RunReaders(const CliCommand&, const ParsedArgs&, CliIo& io) {
    const ReaderListing listing = ListReaders();
    if (!listing.error.empty()) {
        io.err << "tarvik-cli: " << listing.error << '\n';
        return exitSimNotFound; // no card service, so no reader either
    }
    if (listing.readers.empty()) {
        io.err << "tarvik-cli: no card readers\n";
    }
    for (const auto& reader : listing.readers) {
        io.out << reader.name << (reader.holdsCard ? ": card\n" : ": no card\n");
    }
    return exitOk;
}

} // namespace

const CliCommand readersCommand{
    .name = "readers",
    .arguments = "",
    .summary = "list the card readers and which hold a card",
    .description = "Prints one line a reader of the PC/SC service, \"NAME: card\" or\n"
                   "\"NAME: no card\". NAME is what --reader takes.",
    .options = {},
    .operands = {},
    .run = RunReaders,
};

} // namespace tarvik::cli
