// Cards per minute: programming cards in a row (write-sim --each-card's work for one card:
// connect, backup, write, read back, log) against write-sim started once per card, as a
// shell loop does. The wait for the next card is left out of both: the same virtual card
// of 250 records stays in the reader, and two programs of 60 lines take turns on it, so
// that every card changes. Starts its own virtual card.
//
// Each reports its time per card beside the card timing model's floor: the sum of the
// model's times for the commands the card answered. With --timing real [--baud N]
// [--write-ms N] the card answers as a card on T=0 would, and each runs 3 cards, not 40.
//
// BM_Readers/N runs the run over N readers at once (1, 2 and 4 virtual readers, each with
// its own card and connection) and prints the cards per minute of each beside one reader's.
#include "bench/sim/CardModelFloor.h"
#include "editor/sim/BackupStore.h"
#include "editor/sim/CardBatch.h"
#include "editor/sim/JobLog.h"
#include "editor/sim/MultiReaderBatch.h"
#include "editor/sim/QuenlibCardPort.h"
#include "editor/sim/ReaderPorts.h"
#include "editor/sim/SimAccess.h"
#include "editor/sim/TransferWindow.h"
#include "program/DocumentFiles.h"
#include "program/ProgramDocument.h"
#include "tools/simcard/fixture/VirtualCard.h"
#include "tools/simcard/fixture/VirtualReaders.h"

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <utility>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

simcard::VirtualCard* theCard = nullptr;
simcard::VirtualReaders* theReaders = nullptr;
simcard::CardTiming theTiming;
int theVariant = 0;
fs::path theFolder;
std::optional<bench::CardModelFloor> theFloor;
bool theRealTiming = false;

// Starts the clock and the floor's count before the first card.
class PerCard {
public:
    PerCard() : start_(std::chrono::steady_clock::now()), realTiming_(theRealTiming) {
        theFloor->mark();
    }

    // Time per card, the floor per card, and how far above the floor the time is.
    void report(benchmark::State& state) const {
        const auto cards =
            static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
        const double ms = bench::Ms(std::chrono::steady_clock::now() - start_) / cards;
        const double floor = bench::Ms(theFloor->sinceMark().total()) / cards;
        state.counters["ms_per_card"] = ms;
        state.counters["floor_ms_per_card"] = floor;
        // Only a card that answers as a real one can be measured against the floor.
        if (realTiming_ && floor > 0) {
            state.counters["pct_over_floor"] = 100.0 * (ms / floor - 1.0);
        }
        state.counters["cards_per_minute"] = benchmark::Counter(
            static_cast<double>(state.iterations()) * 60, benchmark::Counter::kIsRate);
    }

private:
    std::chrono::steady_clock::time_point start_;
    bool realTiming_;
};

std::vector<std::string> Program(int variant) {
    std::vector<std::string> lines;
    for (int i = 0; i < 60; ++i) {
        lines.push_back("TL" + std::to_string(i % 10) + "=0039333" +
                        std::to_string(1000000 + variant * 1000 + i));
    }
    lines.push_back("RFT=24");
    return lines;
}

// The reader as a run sees it when the cards come at once: one is always in, and it is
// gone as soon as asked.
class ReadyReader final : public tarvik::CardPresence {
public:
    tarvik::PresenceWait waitFor(bool) override { return tarvik::PresenceWait::Reached; }
    bool goneWithin(std::chrono::milliseconds) override { return true; }
    void cancel() override {}
    std::string readerName() const override { return theCard->readerName(); }
    std::string failure() const override { return {}; }
};

class NoQuestions final : public tarvik::BatchObserver {
public:
    void phase(tarvik::BatchPhase, int) override {}
    void cardEnded(const tarvik::CardJob& job) override {
        ok = job.outcome == tarvik::CardOutcome::Ok;
    }
    bool rewriteSameCard(const std::string&) override { return true; }
    bool ok = false;
};

void BM_EachCard(benchmark::State& state) {
    tarvik::BackupStore backups(theFolder / "backups");
    tarvik::JobLog log;
    log.open(theFolder / "jobs.csv");
    tarvik::QuenlibCardPort port;
    ReadyReader reader;
    tarvik::QuietTransferWindow window;
    int variant = 0;
    const PerCard perCard;
    for (auto _ : state) {
        tarvik::BatchSettings settings;
        settings.programs = {{std::nullopt, Program(variant++ % 2)}};
        settings.count = 1;
        settings.backups = &backups;
        settings.programName = "bench.sim";
        NoQuestions observer;
        tarvik::CardBatch batch(settings, port, reader, window, observer, &log);
        batch.Run();
        if (!observer.ok) {
            state.SkipWithError("a card did not end ok");
            break;
        }
    }
    tarvik::SimDisconnect();
    perCard.report(state);
}

// The run over many readers as write-sim --each-card --readers makes it: each reader's
// card stays in and is written again and again, a site each time, every site with numbers
// of its own so that every card changes.
class ReadyReaderNamed final : public tarvik::CardPresence {
public:
    explicit ReadyReaderNamed(std::string name) : name_(std::move(name)) {}
    tarvik::PresenceWait waitFor(bool) override { return tarvik::PresenceWait::Reached; }
    bool goneWithin(std::chrono::milliseconds) override { return true; }
    void cancel() override {}
    std::string readerName() const override { return name_; }
    std::string failure() const override { return {}; }

private:
    std::string name_;
};

class CountingObserver final : public tarvik::ReadersObserver {
public:
    void phase(std::size_t, tarvik::ReaderPhase, int) override {}
    void cardEnded(std::size_t, const tarvik::CardJob& job) override {
        failed += job.outcome == tarvik::CardOutcome::Ok ? 0 : 1;
    }
    bool rewriteSameCard(const std::string&) override { return true; }
    std::atomic<int> failed{0};
};

std::map<int, double> theCardsPerMinute; // by the number of readers

void BM_Readers(benchmark::State& state) {
    const auto readerCount = static_cast<std::size_t>(state.range(0));
    const int cardsPerReader = theRealTiming ? 3 : 20;
    tarvik::BackupStore backups(theFolder / "backups");
    tarvik::JobLog log;
    log.open(theFolder / "jobs.csv");
    tarvik::QuenlibReaderPorts ports;
    std::vector<std::unique_ptr<tarvik::CardPort>> cardPorts;
    std::vector<std::unique_ptr<ReadyReaderNamed>> presences;
    std::vector<tarvik::QuietTransferWindow> windows(readerCount);
    std::vector<bench::CardModelFloor> floors;
    for (std::size_t i = 0; i < readerCount; ++i) {
        cardPorts.push_back(ports.open((*theReaders)[i].readerName()));
        presences.push_back(std::make_unique<ReadyReaderNamed>((*theReaders)[i].readerName()));
        floors.emplace_back((*theReaders)[i].commandLogPath(), theTiming);
        floors.back().mark();
    }
    int cards = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        tarvik::BatchSettings settings;
        settings.perSite = true;
        for (std::size_t site = 0; site < readerCount * cardsPerReader; ++site) {
            settings.programs.push_back({static_cast<int>(site + 1), Program(theVariant++)});
        }
        settings.backups = &backups;
        settings.programName = "bench.sim";
        std::vector<tarvik::CardSeat> seats;
        for (std::size_t i = 0; i < readerCount; ++i) {
            seats.push_back({*cardPorts[i], *presences[i], windows[i]});
        }
        CountingObserver observer;
        tarvik::MultiReaderBatch batch(settings, std::move(seats), observer, &log);
        const tarvik::BatchSummary summary = batch.run();
        cards += summary.cards;
        if (observer.failed > 0 || summary.cardsOk != summary.cards) {
            state.SkipWithError("a card did not end ok");
            break;
        }
    }
    const double ms = bench::Ms(std::chrono::steady_clock::now() - start);
    std::chrono::nanoseconds floor{};
    for (const auto& f : floors) {
        floor += f.sinceMark().total();
    }
    state.counters["cards"] = cards;
    state.counters["ms_per_card"] = ms / std::max(cards, 1);
    state.counters["floor_ms_per_card_one_reader"] = bench::Ms(floor) / std::max(cards, 1);
    state.counters["cards_per_minute"] = cards * 60000.0 / ms;
    theCardsPerMinute[static_cast<int>(readerCount)] = cards * 60000.0 / ms;
}

int RunProcess(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const auto& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = -1;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_WriteSimPerCard(benchmark::State& state) {
    std::vector<std::string> files;
    for (int variant = 0; variant < 2; ++variant) {
        tarvik::ProgramDocument doc{2};
        doc.program.text().assign(Program(variant));
        files.push_back((theFolder / ("program" + std::to_string(variant) + ".sim")).string());
        std::ofstream(files.back(), std::ios::binary) << tarvik::DocumentFileBytes(doc);
    }
    int variant = 0;
    const PerCard perCard;
    for (auto _ : state) {
        if (RunProcess({TARVIK_CLI_PATH, "write-sim", files[variant++ % 2], "--reader",
                        theCard->readerName()}) != 0) {
            state.SkipWithError("write-sim failed");
            break;
        }
    }
    perCard.report(state);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const auto timing = bench::TimingArguments(argc, argv);
    if (!timing) {
        return 2;
    }
    simcard::CardOptions options;
    options.pin1Enabled = false;
    options.realTiming = timing->realTiming;
    options.baud = timing->timing.baud;
    options.writeMs = timing->timing.writeMs;
    constexpr int maxReaders = 4;
    std::unique_ptr<simcard::VirtualReaders> readers;
    try {
        readers = std::make_unique<simcard::VirtualReaders>(maxReaders, options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "no virtual card: %s\n", error.what());
        return 1;
    }
    theReaders = readers.get();
    theCard = &(*readers)[0];
    simcard::VirtualCard* card = theCard;
    theTiming = timing->timing;
    char folder[] = "/tmp/bench-batch-XXXXXX";
    theFolder = ::mkdtemp(folder);
    ::setenv("XDG_DATA_HOME", theFolder.c_str(), 1);
    ::setenv("QUENLIB_READER", card->readerName().c_str(), 1);
    theFloor.emplace(card->commandLogPath(), timing->timing);
    theRealTiming = timing->realTiming;
    std::printf("card timing: %s, %d baud, %d ms a write\n",
                timing->realTiming ? "real" : "instant (the floor is a real card's)",
                timing->timing.baud, timing->timing.writeMs);
    const int cards = timing->realTiming ? 3 : 40;
    using Benchmark = void (*)(benchmark::State&);
    const std::pair<const char*, Benchmark> benchmarks[] = {
        {"BM_EachCard", BM_EachCard}, {"BM_WriteSimPerCard", BM_WriteSimPerCard}};
    for (const auto& [name, run] : benchmarks) {
        benchmark::RegisterBenchmark(name, run)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(cards)
            ->UseRealTime();
    }
    benchmark::RegisterBenchmark("BM_Readers", BM_Readers)
        ->Arg(1)
        ->Arg(2)
        ->Arg(maxReaders)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    if (const auto one = theCardsPerMinute.find(1); one != theCardsPerMinute.end()) {
        for (const auto& [count, perMinute] : theCardsPerMinute) {
            std::printf("%d reader(s): %.1f cards per minute, %.2fx one reader\n", count, perMinute,
                        perMinute / one->second);
        }
    }
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(theFolder, ignored);
    return 0;
}
