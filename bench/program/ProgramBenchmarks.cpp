// Timings of the program model at the sizes a full card produces: one field edit
// (setProgramEntry with its remote-text rebuild) on a 1,485-line program, and a program
// file's scrambling both ways at 64 KiB.
#include "program/DocumentFiles.h"
#include "program/ProgramDocument.h"
#include "program/ProgramFile.h"
#include "program/SimProgram.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kThirdModel = 2; // the model the editor starts with

// 256 ordinary entries in sorted order, then 229 barrier (RR) lines and 1,000 TR lines, as
// the list rebuilds append them.
std::vector<std::string> FullProgram() {
    std::vector<std::string> lines;
    char buffer[64];
    for (int i = 0; i < 256; ++i) {
        std::snprintf(buffer, sizeof buffer, "LK%03d=1234", i);
        lines.emplace_back(buffer);
    }
    for (int i = 0; i < 229; ++i) {
        std::snprintf(buffer, sizeof buffer, "RR%08d:%d=00390%08d", 30000000 + i, i % 16,
                      30000000 + i);
        lines.emplace_back(buffer);
    }
    for (int i = 0; i < 1000; ++i) {
        std::snprintf(buffer, sizeof buffer, "TR%03d=00393%07d", i, 1000000 + i);
        lines.emplace_back(buffer);
    }
    return lines;
}

void BM_SetProgramEntryOnFullProgram(benchmark::State& state) {
    tarvik::ProgramDocument doc{kThirdModel};
    doc.program.text().assign(FullProgram());
    const char* numbers[] = {"12", "+13"};
    int turn = 0;
    for (auto _ : state) {
        // Replaces the TPR line each time: a scan for the old line, a sorted insert ahead of
        // the RR block and a rebuild of the remote text over every line.
        doc.program.setProgramEntry("TPR", numbers[turn ^= 1]);
        benchmark::DoNotOptimize(doc.program.remoteText().data());
    }
    state.counters["lines"] = static_cast<double>(doc.program.text().size());
}
BENCHMARK(BM_SetProgramEntryOnFullProgram)->Unit(benchmark::kMicrosecond);

std::string Document64KiB() {
    std::vector<std::string> program;
    std::size_t size = 0;
    for (int i = 0; size < 64 * 1024; ++i) {
        std::string line = "TR" + std::to_string(i % 1000) + "=0039333" + std::to_string(i);
        size += line.size() + 2;
        program.push_back(std::move(line));
    }
    std::string plain = tarvik::BuildPlainDocument(2, {}, program);
    plain.resize(64 * 1024);
    return plain;
}

void BM_ScrambleAndUnscramble64KiB(benchmark::State& state) {
    const std::string plain = Document64KiB();
    for (auto _ : state) {
        const std::string file = tarvik::ScrambleText(plain) + "\r\n";
        const std::string back = tarvik::UnscrambleText(file);
        benchmark::DoNotOptimize(back.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(plain.size()));
}
BENCHMARK(BM_ScrambleAndUnscramble64KiB)->Unit(benchmark::kMicrosecond);

void BM_OpenFullProgramContent(benchmark::State& state) {
    tarvik::ProgramDocument source{kThirdModel};
    source.program.text().assign(FullProgram());
    const std::string content = tarvik::DocumentFileBytes(source);
    for (auto _ : state) {
        tarvik::ProgramDocument doc{kThirdModel};
        benchmark::DoNotOptimize(tarvik::OpenDocumentContent(doc, content).ok);
    }
}
BENCHMARK(BM_OpenFullProgramContent)->Unit(benchmark::kMicrosecond);

} // namespace
