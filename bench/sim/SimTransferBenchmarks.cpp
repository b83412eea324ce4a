// Read SIM and Write SIM (delete mode) of a full 250-record card through the editor's
// wrapper, each followed by a bare pcsc-lite loop that sends exactly the commands the
// transfer sent, on the same card: the difference is what the wrapper and the library add
// per command. Then the number of commands each transfer sends against the least that its
// rules need: a first write, the same program again, and a program with one entry changed,
// each with its time and the card timing model's floor for the commands it sent.
//
// With --timing real [--baud N] [--write-ms N] the card answers as a card on T=0 would; then
// only the table runs (a single write takes seconds), and its times are what a user waits for.
#include "base/Hex.h"
#include "bench/sim/CardModelFloor.h"
#include "editor/sim/BackupStore.h"
#include "editor/sim/QuenlibCardPort.h"
#include "editor/sim/SimAccess.h"
#include "editor/sim/SimTransfer.h"
#include "editor/sim/TransferWindow.h"
#include "program/ProgramText.h"
#include "tools/simcard/core/CardImage.h"
#include "tools/simcard/fixture/VirtualCard.h"

#include <PCSC/winscard.h>
#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRecords = 250;
constexpr int kExt1Records = 10;
// Selecting the phonebook: SELECT DF Telecom, SELECT EF EXT1 with GET RESPONSE, READ RECORD
// of each EXT1 record, SELECT EF ADN with GET RESPONSE.
constexpr int kSelectCommands = 5 + kExt1Records;
// Reading the ICCID that names a backup: SELECT MF, SELECT EF ICCID, READ BINARY.
constexpr int kIccidCommands = 3;
// The flush: SELECT EF EXT1 with GET RESPONSE, then the extension records that changed.
constexpr int kFlushCommands = 2;

simcard::VirtualCard* theCard = nullptr;
std::optional<bench::CardModelFloor> theFloor;

// A program of 200 lines: telephone numbers, SMS texts, options, two numbers long enough
// for extension records, and "RFT".
std::vector<std::string> ProgramLines() {
    std::vector<std::string> lines;
    for (int i = 0; i < 190; ++i) {
        lines.push_back("TL" + std::to_string(i % 10) + "=0039333" + std::to_string(1000000 + i));
    }
    lines.push_back("#1FRONT-DOOR=1");
    lines.push_back("#2WINDOW-OPEN=2");
    lines.push_back("RED=3");
    lines.push_back("RFT=24");
    lines.push_back("TK1=" + std::string(40, '1'));
    lines.push_back("TK2=" + std::string(64, '2'));
    for (int i = 0; i < 4; ++i) {
        lines.push_back("OP" + std::to_string(i) + "=5");
    }
    return lines;
}

std::vector<simcard::Bytes> LoggedCommands() {
    std::ifstream log(theCard->commandLogPath());
    std::vector<simcard::Bytes> commands;
    for (std::string line; std::getline(log, line);) {
        if (line.starts_with("> ")) {
            if (auto bytes = tarvik::FromHex(line.substr(2), tarvik::HexSpacing::Spaced)) {
                commands.push_back(std::move(*bytes));
            }
        }
    }
    return commands;
}

// CPU time of this process: what the wrapper, the library and the pcsc-lite client spend
// of their own, apart from waiting for the card.
Clock::duration ProcessCpuTime() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

struct Timed {
    Clock::duration wall{};
    Clock::duration cpu{};
};

struct Measured {
    Timed time;
    std::vector<simcard::Bytes> commands;
    bench::ModelTime floor; // the model's time for those commands
    bool ok = false;
};

// One transfer on a connection of its own: how long it took and what it sent.
Measured MeasureTransfer(const std::function<bool()>& transfer) {
    Measured measured;
    tarvik::SimConnect();
    if (!tarvik::SimIsConnected()) {
        return measured;
    }
    const std::size_t before = LoggedCommands().size();
    theFloor->mark();
    const auto start = Clock::now();
    const auto cpuStart = ProcessCpuTime();
    measured.ok = transfer();
    measured.time = {Clock::now() - start, ProcessCpuTime() - cpuStart};
    tarvik::SimDisconnect();
    measured.floor = theFloor->sinceMark();
    auto all = LoggedCommands();
    measured.commands.assign(all.begin() + static_cast<long>(before), all.end());
    return measured;
}

// The same commands from a bare exclusive connection, one SCardTransmit each.
std::optional<Timed> ReplayBare(const std::vector<simcard::Bytes>& commands) {
    SCARDCONTEXT context = 0;
    if (SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context) != SCARD_S_SUCCESS) {
        return std::nullopt;
    }
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
    std::optional<Timed> time;
    if (SCardConnect(context, theCard->readerName().c_str(), SCARD_SHARE_EXCLUSIVE,
                     SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &card, &protocol) == SCARD_S_SUCCESS) {
        const SCARD_IO_REQUEST* pci = protocol == SCARD_PROTOCOL_T1 ? SCARD_PCI_T1 : SCARD_PCI_T0;
        std::array<BYTE, 258> answer{};
        bool ok = true;
        const auto start = Clock::now();
        const auto cpuStart = ProcessCpuTime();
        for (const auto& command : commands) {
            auto length = static_cast<DWORD>(answer.size());
            ok = ok && SCardTransmit(card, pci, command.data(), static_cast<DWORD>(command.size()),
                                     nullptr, answer.data(), &length) == SCARD_S_SUCCESS;
        }
        const Timed elapsed{Clock::now() - start, ProcessCpuTime() - cpuStart};
        if (ok) {
            time = elapsed;
        }
        SCardDisconnect(card, SCARD_LEAVE_CARD);
    }
    SCardReleaseContext(context);
    return time;
}

double Milliseconds(Clock::duration total, benchmark::IterationCount runs) {
    return std::chrono::duration<double, std::milli>(total).count() /
           static_cast<double>(std::max<benchmark::IterationCount>(runs, 1));
}

// The transfer and its bare replay in turns, so that machine load falls on both alike.
void RunAlternating(benchmark::State& state, const std::function<bool()>& transfer) {
    Timed wrapper;
    Timed bare;
    std::size_t commands = 0;
    for (auto _ : state) {
        const Measured measured = MeasureTransfer(transfer);
        if (!measured.ok) {
            state.SkipWithError("the transfer failed");
            return;
        }
        const auto replayed = ReplayBare(measured.commands);
        if (!replayed) {
            state.SkipWithError("the bare replay failed");
            return;
        }
        wrapper.wall += measured.time.wall;
        wrapper.cpu += measured.time.cpu;
        bare.wall += replayed->wall;
        bare.cpu += replayed->cpu;
        commands = measured.commands.size();
    }
    const auto runs = state.iterations();
    const auto perCommand = [&](Clock::duration total) {
        return 1000.0 * Milliseconds(total, runs) / static_cast<double>(commands);
    };
    state.counters["commands"] = static_cast<double>(commands);
    state.counters["us_per_command"] = perCommand(wrapper.wall);
    state.counters["bare_us_per_command"] = perCommand(bare.wall);
    state.counters["overhead_pct"] = bare.wall.count() > 0
                                         ? 100.0 * (static_cast<double>(wrapper.wall.count()) /
                                                        static_cast<double>(bare.wall.count()) -
                                                    1.0)
                                         : 0.0;
    state.counters["cpu_us_per_command"] = perCommand(wrapper.cpu);
    state.counters["bare_cpu_us_per_command"] = perCommand(bare.cpu);
}

bool ReadAll() {
    tarvik::QuietTransferWindow window;
    tarvik::ProgramText program;
    tarvik::QuenlibCardPort port;
    return tarvik::SimReadAll(port, window, program).ok;
}

// A delete-mode write, with its backup when a store is given.
bool WriteAll(const std::vector<std::string>& lines, const tarvik::BackupStore* backups) {
    tarvik::QuietTransferWindow window;
    tarvik::QuenlibCardPort port;
    return tarvik::SimWriteAll(port, window, lines, true, backups).ok();
}

void BM_ReadAll(benchmark::State& state) {
    RunAlternating(state, ReadAll);
}
BENCHMARK(BM_ReadAll)->Unit(benchmark::kMillisecond)->Iterations(100)->UseRealTime();

void BM_WriteAllDeleteMode(benchmark::State& state) {
    const auto lines = ProgramLines();
    // The same program each time: after the first write every record stays as it is.
    RunAlternating(state, [&] { return WriteAll(lines, nullptr); });
}
BENCHMARK(BM_WriteAllDeleteMode)->Unit(benchmark::kMillisecond)->Iterations(100)->UseRealTime();

std::size_t CountInstruction(const std::vector<simcard::Bytes>& commands, std::uint8_t ins) {
    return static_cast<std::size_t>(
        std::count_if(commands.begin(), commands.end(),
                      [&](const auto& c) { return c.size() > 1 && c[1] == ins; }));
}

// How many records of a file differ between two images of the card.
std::size_t ChangedRecords(const simcard::CardImage& before, const simcard::CardImage& after,
                           std::uint16_t file) {
    const auto& old = before.records({simcard::DfTelecom, file});
    const auto& now = after.records({simcard::DfTelecom, file});
    std::size_t changed = 0;
    for (std::size_t i = 0; i < old.size() && i < now.size(); ++i) {
        changed += old[i] != now[i] ? 1 : 0;
    }
    return changed;
}

// The commands of one read and of writes against the least their rules need:
// - a read selects the phonebook and reads each of the 250 records once;
// - a write reads the ICCID for its backup, selects the phonebook, reads each record once
//   (for the backup and the plan), writes each record whose bytes change, and flushes:
//   SELECT EF EXT1 with GET RESPONSE, and each extension record that changed.
// The least is the GSM dialogue's; a UICC-only card's counts stand beside them.
//
// "ms" is the transfer's time, "model ms" the sum of the timing model's command times for the
// commands it sent (the floor on a real card), split into reads and updates with their writes.
void PrintCommandCounts(const char* card) {
    std::printf("\n%s\n%-28s %5s %5s %9s %9s %9s %9s\n", card, "transfer", "sent", "least", "ms",
                "model ms", "reads", "updates");
    const auto times = [](const Measured& m) {
        std::printf(" %9.1f %9.1f %9.1f %9.1f", bench::Ms(m.time.wall), bench::Ms(m.floor.total()),
                    bench::Ms(m.floor.reads), bench::Ms(m.floor.updates));
    };
    const Measured read = MeasureTransfer(ReadAll);
    std::printf("%-28s %5zu %5d", "read, 250 records", read.commands.size(),
                kSelectCommands + kRecords);
    times(read);
    std::printf("%s\n", read.ok ? "" : " FAILED");

    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("bench-sim-backups-" + std::to_string(::getpid()));
    const tarvik::BackupStore backups(folder);
    auto lines = ProgramLines();
    struct Run {
        const char* what;
        std::function<void()> change;
    };
    const Run runs[] = {
        {"write, first", [] {}},
        {"write, same program again", [] {}},
        {"write, one entry changed", [&] { lines[5] = "TL5=00393330000000"; }},
    };
    for (const Run& run : runs) {
        run.change();
        const auto before = simcard::CardImage::load(theCard->imagePath());
        const Measured write = MeasureTransfer([&] { return WriteAll(lines, &backups); });
        const auto after = simcard::CardImage::load(theCard->imagePath());
        const std::size_t least = kIccidCommands + kSelectCommands + kRecords +
                                  ChangedRecords(before, after, simcard::EfAdn) + kFlushCommands +
                                  ChangedRecords(before, after, simcard::EfExt1);
        std::printf("%-28s %5zu %5zu", run.what, write.commands.size(), least);
        times(write);
        std::printf("   (READ RECORD %zu, UPDATE RECORD %zu)%s\n",
                    CountInstruction(write.commands, 0xB2), CountInstruction(write.commands, 0xDC),
                    write.ok ? "" : " FAILED");
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
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
    options.adnRecords = kRecords;
    options.ext1Records = kExt1Records;
    options.realTiming = timing->realTiming;
    options.baud = timing->timing.baud;
    options.writeMs = timing->timing.writeMs;
    std::unique_ptr<simcard::VirtualCard> card;
    try {
        card = std::make_unique<simcard::VirtualCard>(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "no virtual card: %s\n", error.what());
        return 1;
    }
    theCard = card.get();
    ::setenv("QUENLIB_READER", card->readerName().c_str(), 1);
    theFloor.emplace(card->commandLogPath(), timing->timing);
    std::printf("card timing: %s, %d baud, %d ms a write\n",
                timing->realTiming ? "real" : "instant (model times are for a real card)",
                timing->timing.baud, timing->timing.writeMs);
    PrintCommandCounts("GSM SIM");
    try {
        // The same card as a UICC that refuses class A0: the UICC dialogue's commands.
        simcard::CardOptions uiccOptions = options;
        uiccOptions.uicc = true;
        uiccOptions.phonebook = "telecom";
        simcard::VirtualCard uicc(uiccOptions);
        theCard = &uicc;
        theFloor.emplace(uicc.commandLogPath(), timing->timing);
        ::setenv("QUENLIB_READER", uicc.readerName().c_str(), 1);
        PrintCommandCounts("UICC only, phonebook under DF Telecom");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "no UICC: %s\n", error.what());
    }
    theCard = card.get();
    theFloor.emplace(card->commandLogPath(), timing->timing);
    ::setenv("QUENLIB_READER", card->readerName().c_str(), 1);
    if (timing->realTiming) {
        return 0;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
