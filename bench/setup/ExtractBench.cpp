// Extraction of a large package against `cp -r` of the same tree, with the extractor's peak
// memory, which must not grow with the package; and a whole silent run of the setup program
// (start, extraction, one trivial startup program, clean-up, exit) against extraction alone.
//
// Each iteration runs the programs as freshly started processes, alternating, on a warm page
// cache. The reported time is the first program's; the counters give the other's time, the
// ratio of the two and the peaks. The extractor reports its own high-water mark (VmHWM of its
// fresh address space); for the others the figure is ru_maxrss, which on Linux also counts
// this program's resident size at the fork, so it is an upper bound.
//
// usage: bench_setup [benchmark options]   (work folder: $BENCH_SETUP_DIR, $TMPDIR or /tmp)
//        bench_setup --extract PACKAGE TARGET   (the measured child)

#include "setup/PackageExtractor.h"
#include "tools/mkpackage/PackageWriter.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kFileCount = 2000;
constexpr int kFolderCount = 20;

struct Measurement {
    double seconds = 0;
    long peakKiB = 0;
    bool ok = false;
};

// Sizes of mixed magnitude (a few bytes to several MiB) scaled to add up to `total`.
std::vector<std::uint64_t> MixedSizes(std::uint64_t total) {
    std::mt19937_64 random(42);
    std::lognormal_distribution<double> spread(9.0, 2.5);
    std::vector<double> weights(kFileCount);
    double sum = 0;
    for (double& weight : weights) {
        weight = spread(random);
        sum += weight;
    }
    std::vector<std::uint64_t> sizes;
    std::uint64_t assigned = 0;
    for (int i = 0; i < kFileCount; ++i) {
        const auto size = static_cast<std::uint64_t>(weights[i] / sum * static_cast<double>(total));
        sizes.push_back(size);
        assigned += size;
    }
    sizes.back() += total - assigned;
    return sizes;
}

void MakeTree(const fs::path& root, std::uint64_t total) {
    const std::vector<std::uint64_t> sizes = MixedSizes(total);
    std::vector<char> block(1 << 20);
    std::mt19937 random(7);
    for (char& byte : block) {
        byte = static_cast<char>(random());
    }
    for (int i = 0; i < kFileCount; ++i) {
        const fs::path folder = root / ("folder" + std::to_string(i % kFolderCount));
        fs::create_directories(folder);
        std::ofstream out(folder / ("file" + std::to_string(i) + ".bin"), std::ios::binary);
        for (std::uint64_t left = sizes[i]; left > 0;) {
            const auto chunk = std::min<std::uint64_t>(left, block.size());
            out.write(block.data(), static_cast<std::streamsize>(chunk));
            left -= chunk;
        }
    }
}

// The high-water mark of this process's resident memory, in KiB.
long OwnPeakKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

// Starts a program, with `environment` ("NAME=value") added to this one's, and measures its
// wall time and peak resident memory. A program that prints its own peak (in KiB) on its
// standard output is believed over ru_maxrss.
Measurement RunProgram(std::vector<std::string> args, std::vector<std::string> environment = {}) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return {};
    }
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return {};
    }
    if (child == 0) {
        for (std::string& setting : environment) {
            ::putenv(setting.data());
        }
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    std::string printed;
    char buffer[256];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        printed.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeFds[0]);
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    const long peak = printed.empty() ? usage.ru_maxrss : std::strtol(printed.c_str(), nullptr, 10);
    return {std::chrono::duration<double>(end - start).count(), peak,
            WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

Measurement Extract(const fs::path& package, const fs::path& target) {
    fs::create_directory(target);
    return RunProgram({fs::read_symlink("/proc/self/exe").string(), "--extract", package.string(),
                       target.string() + "/"});
}

Measurement CopyTree(const fs::path& tree, const fs::path& target) {
    return RunProgram({"cp", "-r", tree.string(), target.string()});
}

fs::path WorkFolder() {
    for (const char* name : {"BENCH_SETUP_DIR", "TMPDIR"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return fs::path(value) / ("bench-setup-" + std::to_string(::getpid()));
        }
    }
    return fs::path("/tmp") / ("bench-setup-" + std::to_string(::getpid()));
}

// The package size in MiB is the benchmark's argument.
void BM_ExtractAgainstCopy(benchmark::State& state) {
    const auto total = static_cast<std::uint64_t>(state.range(0)) << 20;
    const fs::path work = WorkFolder();
    const fs::path tree = work / "tree";
    const fs::path package = work / "setup.bin";
    const fs::path stub = work / "stub";
    fs::create_directories(work);
    std::ofstream(stub, std::ios::binary) << "stub";
    MakeTree(tree, total);
    mkpackage::BuildPackage(stub, tree, package);
    ::sync();

    double extractSeconds = 0;
    double copySeconds = 0;
    long extractPeak = 0;
    long copyPeak = 0;
    int round = 0;
    for (auto _ : state) {
        // Each program starts once its earlier output is deleted and everything is synced,
        // and they take turns going first, so that neither pays for the other's deletions.
        auto extractOnce = [&] {
            fs::remove_all(work / "extracted");
            ::sync();
            const Measurement measured = Extract(package, work / "extracted");
            ::sync();
            return measured;
        };
        auto copyOnce = [&] {
            fs::remove_all(work / "copied");
            ::sync();
            const Measurement measured = CopyTree(tree, work / "copied");
            ::sync();
            return measured;
        };
        Measurement extract;
        Measurement copy;
        if (round++ % 2 == 0) {
            extract = extractOnce();
            copy = copyOnce();
        } else {
            copy = copyOnce();
            extract = extractOnce();
        }
        if (!extract.ok || !copy.ok) {
            state.SkipWithError(extract.ok ? "cp -r failed" : "extraction failed");
            break;
        }
        state.SetIterationTime(extract.seconds);
        extractSeconds += extract.seconds;
        copySeconds += copy.seconds;
        extractPeak = std::max(extractPeak, extract.peakKiB);
        copyPeak = std::max(copyPeak, copy.peakKiB);
    }
    fs::remove_all(work);

    if (state.iterations() > 0 && copySeconds > 0) {
        const auto rounds = static_cast<double>(state.iterations());
        state.counters["cp_s"] = copySeconds / rounds;
        state.counters["ratio"] = extractSeconds / copySeconds;
        state.counters["extract_peak_KiB"] = static_cast<double>(extractPeak);
        state.counters["cp_peak_KiB"] = static_cast<double>(copyPeak);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(total));
    state.SetLabel(std::to_string(kFileCount) + " files");
}

BENCHMARK(BM_ExtractAgainstCopy)
    ->Arg(100)
    ->Arg(300)
    ->Iterations(4)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A silent install by the real setup program: the package (the size in MiB is the argument)
// holds the usual 2,000 files and setup/setup.ini with one startup program that does nothing.
void BM_SilentRunAgainstExtraction(benchmark::State& state) {
    const auto total = static_cast<std::uint64_t>(state.range(0)) << 20;
    const fs::path work = WorkFolder();
    const fs::path tree = work / "tree";
    const fs::path installer = work / "installer";
    const fs::path temp = work / "tmp";
    fs::create_directories(tree / "setup");
    fs::create_directories(temp);
    // Qt keeps its runtime files there; without it, they would land in the temporary folder.
    fs::create_directories(work / "runtime");
    fs::permissions(work / "runtime", fs::perms::owner_all);
    MakeTree(tree, total);
    std::ofstream(tree / "setup" / "setup.ini") << "[startup]\r\n1=nothing.sh\r\n";
    std::ofstream(tree / "setup" / "nothing.sh") << "#!/bin/sh\nexit 0\n";
    mkpackage::BuildPackage(SETUP_PROGRAM, tree, installer);
    fs::permissions(installer, fs::perms::owner_all);
    ::sync();

    double runSeconds = 0;
    double extractSeconds = 0;
    long runPeak = 0;
    for (auto _ : state) {
        // The run deletes what it extracted itself; the extraction's copy is deleted here, so
        // both start after a deletion.
        fs::remove_all(work / "extracted");
        ::sync();
        const Measurement run =
            RunProgram({installer.string(), "/i"},
                       {"TMPDIR=" + temp.string(), "XDG_RUNTIME_DIR=" + (work / "runtime").string(),
                        "QL_INST_LOG=" + (work / "ql_inst.log").string()});
        ::sync();
        const Measurement extract = Extract(installer, work / "extracted");
        ::sync();
        if (!run.ok || !fs::is_empty(temp)) {
            state.SkipWithError("the silent run failed or left files behind");
            break;
        }
        if (!extract.ok) {
            state.SkipWithError("extraction failed");
            break;
        }
        state.SetIterationTime(run.seconds);
        runSeconds += run.seconds;
        extractSeconds += extract.seconds;
        runPeak = std::max(runPeak, run.peakKiB);
    }
    fs::remove_all(work);

    if (state.iterations() > 0 && extractSeconds > 0) {
        state.counters["extract_s"] = extractSeconds / static_cast<double>(state.iterations());
        state.counters["ratio"] = runSeconds / extractSeconds;
        state.counters["setup_peak_KiB"] = static_cast<double>(runPeak);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(total));
}

BENCHMARK(BM_SilentRunAgainstExtraction)
    ->Arg(200)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--extract") {
        setup::PackageExtractor extractor(argv[2]);
        const bool ok = extractor.extractFile(argv[3], 3);
        std::printf("%ld\n", OwnPeakKiB());
        return ok ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
