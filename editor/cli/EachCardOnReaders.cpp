#include "editor/cli/EachCardOnReaders.h"

#include "editor/cli/EachCardRun.h"
#include "editor/cli/InterruptWatch.h"
#include "editor/cli/ReaderChoice.h"
#include "editor/cli/ReadersTerminal.h"
#include "editor/sim/MultiReaderBatch.h"
#include "editor/sim/PcscCardPresence.h"
#include "editor/sim/ReaderList.h"
#include "editor/sim/ReaderPorts.h"
#include "editor/sim/TransferWindow.h"

#include <cstdlib>
#include <memory>
#include <ostream>

namespace tarvik::cli {
namespace {

// One reader of the run: its own card connection, its own watch and a window that shows
// nothing (the progress of several cards on one line would mix).
struct ReaderSeat {
    std::unique_ptr<CardPort> port;
    std::unique_ptr<PcscCardPresence> presence;
    QuietTransferWindow window;
};

} // namespace

int RunEachCardOnReaders(const SimArgs& sim, const ParsedArgs& args, CliIo& io) {
    if (sim.reader) {
        io.err << "tarvik-cli: write-sim: --reader and --readers cannot be given together\n";
        return exitUsage;
    }
    std::optional<int> count;
    if (!EachCardCount(args, io, count)) {
        return exitUsage;
    }
    std::optional<std::vector<BatchProgram>> programs = EachCardPrograms(sim, args, io);
    if (!programs) {
        return exitUsage;
    }
    const ReaderListing listing = ListReaders();
    if (!listing.error.empty()) {
        io.err << "tarvik-cli: " << listing.error << '\n';
        return exitSimNotFound;
    }
    std::vector<std::string> listed;
    for (const ReaderState& reader : listing.readers) {
        listed.push_back(reader.name);
    }
    const ReaderChoice choice = ChooseReaders(*args.value("--readers"), listed);
    if (!choice.error.empty()) {
        io.err << "tarvik-cli: " << choice.error << '\n';
        return exitSimNotFound;
    }
    const std::unique_ptr<EachCardJob> job =
        OpenEachCardJob(sim, args, std::move(*programs), count, io);
    if (!job) {
        return exitUsage;
    }

    QuenlibReaderPorts ports;
    std::vector<std::unique_ptr<ReaderSeat>> seats;
    std::vector<CardSeat> readers;
    for (const std::string& name : choice.readers) {
        auto seat = std::make_unique<ReaderSeat>();
        seat->port = ports.open(name);
        seat->presence = std::make_unique<PcscCardPresence>(name);
        readers.push_back({*seat->port, *seat->presence, seat->window});
        seats.push_back(std::move(seat));
    }
    ReadersTerminal terminal(choice.readers, io.in, io.err, args.has("--rewrite"));
    MultiReaderBatch batch(std::move(job->settings), std::move(readers), terminal, &job->log);
    BatchSummary summary;
    {
        InterruptWatch interrupts(
            [&] {
                terminal.say("stopping once the cards in hand are done (Ctrl+C again stops "
                             "at once)");
                batch.stop();
            },
            [&] {
                terminal.say("stopped at once:\n" + terminal.leftInHand());
                std::_Exit(terminal.cleanStop() ? exitOk : exitSomeCardsFailed);
            });
        summary = batch.run();
    }
    io.err << summary.cards << (summary.cards == 1 ? " card, " : " cards, ") << summary.cardsOk
           << " ok\n";
    for (const std::string& lost : summary.lostReaders) {
        io.err << "tarvik-cli: a reader went away during the run: " << lost << '\n';
    }
    if (!summary.error.empty()) {
        io.err << "tarvik-cli: " << summary.error << '\n';
    }
    if (summary.backupFailed) {
        return exitBackupFailed;
    }
    if (summary.readerFailed) {
        return exitSimNotFound;
    }
    return summary.allOk() ? exitOk : exitSomeCardsFailed;
}

} // namespace tarvik::cli
