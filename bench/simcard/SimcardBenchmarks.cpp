// How fast the virtual card answers: in the process, and through pcscd and vpcd, where a
// command should take about 0.1 ms (40 ms means a delayed acknowledgement got in the way).

#include "base/Hex.h"
#include "tools/simcard/core/CardImage.h"
#include "tools/simcard/core/SimCard.h"
#include "tools/simcard/fixture/StackSession.h"
#include "tools/simcard/fixture/VirtualCard.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <unistd.h>
#include <winscard.h>

namespace {

simcard::Bytes hex(std::string_view text) {
    return *tarvik::FromHex(text, tarvik::HexSpacing::Spaced);
}

void SelectAndGetResponseInProcess(benchmark::State& state) {
    simcard::SimCard card(simcard::CardImage::create({}));
    const auto select = hex("A0A40000027F10");
    const auto getResponse = hex("A0C0000016");
    for (auto _ : state) {
        benchmark::DoNotOptimize(card.process(select));
        benchmark::DoNotOptimize(card.process(getResponse));
    }
}
BENCHMARK(SelectAndGetResponseInProcess);

// Every change rewrites the image file (temporary file and rename).
void UpdateRecordWithSave(benchmark::State& state, const std::filesystem::path& base) {
    std::string pattern = (base / "simcard-bench-XXXXXX").string();
    const std::filesystem::path folder = ::mkdtemp(pattern.data());
    const auto path = folder / "card.img";
    simcard::CardSettings settings;
    settings.pin1Enabled = false;
    simcard::SimCard card(simcard::CardImage::create(settings),
                          [&](const simcard::CardImage& image) {
                              image.save(path);
                              return true;
                          });
    card.process(hex("A0A40000027F10"));
    card.process(hex("A0A40000026F3A"));
    auto update = hex("A0DC01041C" + std::string(56, 'F'));
    for (auto _ : state) {
        update.back() ^= 1; // a real change each time
        benchmark::DoNotOptimize(card.process(update));
    }
    std::filesystem::remove_all(folder);
}
// VirtualCard keeps its images on tmpfs; a disk file system pays for the rename.
BENCHMARK_CAPTURE(UpdateRecordWithSave, tmpfs, std::filesystem::path("/dev/shm"))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(UpdateRecordWithSave, tmpdir, std::filesystem::temp_directory_path())
    ->Unit(benchmark::kMicrosecond);

void TransmitThroughPcscd(benchmark::State& state) {
    simcard::VirtualCard card;
    SCARDCONTEXT context = 0;
    SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context);
    SCARDHANDLE handle = 0;
    DWORD protocol = 0;
    if (SCardConnect(context, card.readerName().c_str(), SCARD_SHARE_EXCLUSIVE,
                     SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &handle,
                     &protocol) != SCARD_S_SUCCESS) {
        state.SkipWithError("cannot connect to the virtual card");
        SCardReleaseContext(context);
        return;
    }
    const auto select = hex("A0A40000027F10");
    BYTE answer[258];
    for (auto _ : state) {
        DWORD length = sizeof answer;
        SCardTransmit(handle, protocol == SCARD_PROTOCOL_T1 ? SCARD_PCI_T1 : SCARD_PCI_T0,
                      select.data(), static_cast<DWORD>(select.size()), nullptr, answer, &length);
    }
    SCardDisconnect(handle, SCARD_LEAVE_CARD);
    SCardReleaseContext(context);
}
BENCHMARK(TransmitThroughPcscd)->Unit(benchmark::kMicrosecond);

// A card test pays this once per test: start the process, wait for the reader to see it.
void StartAndStopCard(benchmark::State& state) {
    for (auto _ : state)
        simcard::VirtualCard card;
}
BENCHMARK(StartAndStopCard)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    // One session for the whole run: the cards come and go, the stack stays until the end
    // (however the run ends) and is then stopped if this run started it.
    simcard::StackSession stack;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
