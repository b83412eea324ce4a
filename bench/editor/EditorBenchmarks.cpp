// Timings of the form over a full program: 256 ordinary entries, 229 barrier (RR) lines and
// 1,000 TR lines, 1,500 lines in all. Each operation should stay under 5 ms.
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

std::vector<std::string> FullProgram() {
    std::vector<std::string> lines;
    const char* options[] = {"RED=3",  "RFL=12", "RFT=12",  "PTM=24", "MIC=12", "NET=I TIM",
                             "VMT=5",  "VBT=10", "MRES=10", "MGT=20", "RGT=90", "SPH=3544",
                             "TPR=12", "SPK=6",  "CLP=1",   "OFM=1"};
    for (const char* line : options) {
        lines.emplace_back(line);
    }
    for (int i = 0; i < 10; ++i) {
        const std::string n = std::to_string(i);
        lines.push_back("TL" + n + "=00393331234" + n);
        lines.push_back("TO" + n + ":" + std::to_string(i % 6) + "=0039333999" + n);
        lines.push_back("TK" + n + "=112" + n);
        lines.push_back("#" + n + "Alarm-" + n + "=" + n);
        lines.push_back("LK" + n + "=123");
    }
    for (int i = 0; i <= 4; ++i) {
        lines.push_back("IP" + std::to_string(i) + "=1");
        lines.push_back("IF" + std::to_string(i) + "=10");
        lines.push_back("IFA" + std::to_string(i) + "=20");
    }
    for (int i = 1; i <= 4; ++i) {
        const std::string n = std::to_string(i);
        for (const char* keyword : {"DL", "OP", "OA", "IC", "IR", "IA"}) {
            lines.push_back(keyword + n + "=" + n + "1");
        }
    }
    // Fill the ordinary entries up to 256 with lines the form does not show.
    for (int i = 0; lines.size() < 256; ++i) {
        lines.push_back("X" + std::to_string(i) + "=" + std::to_string(i));
    }
    for (int i = 0; i < 229; ++i) {
        const std::string number = std::to_string(393330000000LL + i);
        lines.push_back("RR" + number.substr(number.size() - 8) + ":" + std::to_string(i % 16) +
                        "=" + number);
    }
    for (int i = 0; i < 1000; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "TR%.3d", i);
        lines.push_back(std::string(name) + "=0039444" + std::to_string(100000 + i));
    }
    return lines;
}

// A form over the full program, decoded once.
struct LoadedForm {
    LoadedForm() {
        doc.program.text().assign(FullProgram());
        form.DecodeProgram();
    }
    ProgramDocument doc{kDefaultModelIndex};
    LanguageTable language;
    FormModel form{doc, language};
};

void BM_DecodeProgram(benchmark::State& state) {
    LoadedForm loaded;
    for (auto _ : state) {
        loaded.form.DecodeProgram();
    }
    state.counters["lines"] = static_cast<double>(loaded.doc.program.text().size());
}
BENCHMARK(BM_DecodeProgram)->Unit(benchmark::kMillisecond);

void BM_RebuildTrEntries(benchmark::State& state) {
    LoadedForm loaded;
    for (auto _ : state) {
        loaded.form.RebuildTrEntries();
    }
}
BENCHMARK(BM_RebuildTrEntries)->Unit(benchmark::kMillisecond);

void BM_RebuildBarrierEntries(benchmark::State& state) {
    LoadedForm loaded;
    for (auto _ : state) {
        loaded.form.RebuildBarrierEntries();
    }
}
BENCHMARK(BM_RebuildBarrierEntries)->Unit(benchmark::kMillisecond);

// One user edit of EDTl3: focus, typing, the handler, the entry and the remote text.
void BM_UserEditTl3(benchmark::State& state) {
    LoadedForm loaded;
    const int field = FormModel::Field("EDTl3");
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        loaded.form.userEditText(field, flip ? "0039333111" : "0039333222");
    }
}
BENCHMARK(BM_UserEditTl3)->Unit(benchmark::kMillisecond);

} // namespace
