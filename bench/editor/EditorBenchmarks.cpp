// Timings of the form over a full program: 256 ordinary entries, 229 barrier (RR) lines and
// 1,000 TR lines, 1,500 lines in all. Each operation should stay under 5 ms.
#include "bench/editor/FullProgram.h"
#include "editor/form/DeviceModels.h"
#include "editor/form/FormModel.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using tarvik::FormModel;
using tarvik::kDefaultModelIndex;
using tarvik::LanguageTable;
using tarvik::ProgramDocument;
using tarvik::bench::FullProgram;

// A form over the full program, decoded once.
struct LoadedForm {
    LoadedForm() {
        doc.program.text().assign(FullProgram());
        form.decodeProgram();
    }
    ProgramDocument doc{kDefaultModelIndex};
    LanguageTable language;
    FormModel form{doc, language};
};

void BM_DecodeProgram(benchmark::State& state) {
    LoadedForm loaded;
    for (auto _ : state) {
        loaded.form.decodeProgram();
    }
    state.counters["lines"] = static_cast<double>(loaded.doc.program.text().size());
}
BENCHMARK(BM_DecodeProgram)->Unit(benchmark::kMillisecond);

void BM_RebuildTrEntries(benchmark::State& state) {
    LoadedForm loaded;
    for (auto _ : state) {
        loaded.form.rebuildTrEntries();
    }
}
BENCHMARK(BM_RebuildTrEntries)->Unit(benchmark::kMillisecond);

void BM_RebuildBarrierEntries(benchmark::State& state) {
    LoadedForm loaded;
    for (auto _ : state) {
        loaded.form.rebuildBarrierEntries();
    }
}
BENCHMARK(BM_RebuildBarrierEntries)->Unit(benchmark::kMillisecond);

// One user edit of EDTl3: focus, typing, the handler, the entry and the remote text.
void BM_UserEditTl3(benchmark::State& state) {
    LoadedForm loaded;
    const int field = FormModel::fieldIndex("EDTl3");
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        loaded.form.userEditText(field, flip ? "0039333111" : "0039333222");
    }
}
BENCHMARK(BM_UserEditTl3)->Unit(benchmark::kMillisecond);

} // namespace
