// Reading a full phonebook, and all short messages of a 30-message card, through Quenlib
// against the same READ RECORD commands sent by a bare pcsc-lite loop, all on one virtual
// card; then the commands each export sends, counted in the card's command log, against the
// least the algorithm needs.
#include "simlib/CardBackend.h"
#include "simlib/LibraryState.h"
#include "simlib/include/quenlib.h"
#include "tools/simcard/fixture/VirtualCard.h"

#include <PCSC/winscard.h>
#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kRecords = 250;
constexpr int kRecordLength = 28;
constexpr int kExt1Records = 10;
constexpr int kSmsRecords = 30;
constexpr int kSmsRecordLength = 176;
constexpr std::uint16_t kEfAdn = 0x6F3A;
constexpr std::uint16_t kEfSms = 0x6F3C;

simcard::VirtualCard* theCard = nullptr;

void BM_QuenlibReadItemW(benchmark::State& state) {
    QLSIM_Init();
    if (QLSIM_Connect(nullptr) != QL_OK) {
        state.SkipWithError("QLSIM_Connect failed");
        return;
    }
    QL_FILE_INFO info{68, 0, 0};
    if (QLADN_SelectFile(&info) != QL_OK || info.recordCount != kRecords) {
        state.SkipWithError("QLADN_SelectFile failed");
        QLSIM_Disconnect(nullptr);
        return;
    }
    QL_ADN_ITEM item{};
    item.size = sizeof item;
    for (auto _ : state) {
        for (std::uint32_t index = 0; index < kRecords; ++index) {
            item.index = index;
            if (QLADN_ReadItemW(&item) != QL_OK) {
                state.SkipWithError("QLADN_ReadItemW failed");
                break;
            }
            benchmark::DoNotOptimize(item.numberLength);
        }
    }
    QLSIM_Disconnect(nullptr);
    state.SetItemsProcessed(state.iterations() * kRecords);
}

bool transmitOk(SCARDHANDLE card, const SCARD_IO_REQUEST* pci, std::vector<BYTE> command,
                std::array<BYTE, 258>& answer, DWORD& length) {
    length = static_cast<DWORD>(answer.size());
    return SCardTransmit(card, pci, command.data(), static_cast<DWORD>(command.size()), nullptr,
                         answer.data(), &length) == SCARD_S_SUCCESS;
}

// A bare exclusive connection to the virtual card with an EF of DF Telecom selected.
struct BareConnection {
    SCARDHANDLE card = 0;
    const SCARD_IO_REQUEST* pci = nullptr;
};

std::optional<BareConnection> connectBare(SCARDCONTEXT context, std::uint16_t file = kEfAdn) {
    BareConnection bare;
    DWORD protocol = 0;
    if (SCardConnect(context, theCard->readerName().c_str(), SCARD_SHARE_EXCLUSIVE,
                     SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &bare.card,
                     &protocol) != SCARD_S_SUCCESS) {
        return std::nullopt;
    }
    bare.pci = protocol == SCARD_PROTOCOL_T1 ? SCARD_PCI_T1 : SCARD_PCI_T0;
    std::array<BYTE, 258> answer{};
    DWORD length = 0;
    transmitOk(bare.card, bare.pci, {0xA0, 0xA4, 0x00, 0x00, 0x02, 0x7F, 0x10}, answer, length);
    transmitOk(bare.card, bare.pci,
               {0xA0, 0xA4, 0x00, 0x00, 0x02, static_cast<BYTE>(file >> 8),
                static_cast<BYTE>(file & 0xFF)},
               answer, length);
    return bare;
}

// READ RECORD of every record of the selected file; false at the first that fails or comes
// back short.
bool readAllBare(const BareConnection& bare, int records = kRecords,
                 int recordLength = kRecordLength) {
    std::array<BYTE, 258> answer{};
    for (int record = 1; record <= records; ++record) {
        auto length = static_cast<DWORD>(recordLength + 2);
        const std::array<BYTE, 5> command{0xA0, 0xB2, static_cast<BYTE>(record), 0x04,
                                          static_cast<BYTE>(recordLength)};
        if (SCardTransmit(bare.card, bare.pci, command.data(), command.size(), nullptr,
                          answer.data(), &length) != SCARD_S_SUCCESS ||
            length != static_cast<DWORD>(recordLength + 2)) {
            return false;
        }
        benchmark::DoNotOptimize(answer);
    }
    return true;
}

void BM_BarePcscReadRecord(benchmark::State& state) {
    SCARDCONTEXT context = 0;
    SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context);
    const auto bare = connectBare(context);
    if (!bare) {
        state.SkipWithError("bare connect failed");
        SCardReleaseContext(context);
        return;
    }
    for (auto _ : state) {
        if (!readAllBare(*bare)) {
            state.SkipWithError("bare READ RECORD failed");
            break;
        }
    }
    SCardDisconnect(bare->card, SCARD_LEAVE_CARD);
    SCardReleaseContext(context);
    state.SetItemsProcessed(state.iterations() * kRecords);
}

// Quenlib and the bare loop in turns, each on its own connection, timing only the 250
// reads: machine load then falls on both alike. Reports the overhead of the sums.
void BM_AlternatingQuenlibAndBare(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    Clock::duration quenlibTime{};
    Clock::duration bareTime{};
    QLSIM_Init();
    SCARDCONTEXT context = 0;
    SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context);
    QL_ADN_ITEM item{};
    item.size = sizeof item;
    for (auto _ : state) {
        QL_FILE_INFO info{68, 0, 0};
        if (QLSIM_Connect(nullptr) != QL_OK || QLADN_SelectFile(&info) != QL_OK) {
            state.SkipWithError("Quenlib connect failed");
            break;
        }
        auto start = Clock::now();
        for (std::uint32_t index = 0; index < kRecords; ++index) {
            item.index = index;
            benchmark::DoNotOptimize(QLADN_ReadItemW(&item));
        }
        quenlibTime += Clock::now() - start;
        QLSIM_Disconnect(nullptr);

        const auto bare = connectBare(context);
        if (!bare) {
            state.SkipWithError("bare connect failed");
            break;
        }
        start = Clock::now();
        const bool read = readAllBare(*bare);
        bareTime += Clock::now() - start;
        SCardDisconnect(bare->card, SCARD_LEAVE_CARD);
        if (!read) {
            state.SkipWithError("bare READ RECORD failed");
            break;
        }
    }
    SCardReleaseContext(context);
    const auto milliseconds = [&](Clock::duration total) {
        return std::chrono::duration<double, std::milli>(total).count() /
               static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    };
    state.counters["quenlib_ms"] = milliseconds(quenlibTime);
    state.counters["bare_ms"] = milliseconds(bareTime);
    state.counters["overhead_pct"] = bareTime.count() > 0
                                         ? 100.0 * (static_cast<double>(quenlibTime.count()) /
                                                        static_cast<double>(bareTime.count()) -
                                                    1.0)
                                         : 0.0;
}
BENCHMARK(BM_AlternatingQuenlibAndBare)->Unit(benchmark::kMillisecond)->Iterations(200);

// The same for the 30 short messages: QLSMS_ReadItemW, which parses each TPDU, against the
// bare READ RECORD loop over EF SMS.
void BM_AlternatingQuenlibAndBareMessages(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    Clock::duration quenlibTime{};
    Clock::duration bareTime{};
    QLSIM_Init();
    SCARDCONTEXT context = 0;
    SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context);
    QL_SMS_ITEM item{};
    item.size = sizeof item;
    std::size_t characters = 0;
    for (auto _ : state) {
        QL_COUNT_INFO info{0, 0};
        if (QLSIM_Connect(nullptr) != QL_OK || QLSMS_SelectFile(&info) != QL_OK ||
            info.count != kSmsRecords) {
            state.SkipWithError("Quenlib connect failed");
            break;
        }
        auto start = Clock::now();
        for (std::uint32_t index = 0; index < kSmsRecords; ++index) {
            item.index = index;
            benchmark::DoNotOptimize(QLSMS_ReadItemW(&item));
            characters += item.textLength;
        }
        quenlibTime += Clock::now() - start;
        QLSIM_Disconnect(nullptr);

        const auto bare = connectBare(context, kEfSms);
        if (!bare) {
            state.SkipWithError("bare connect failed");
            break;
        }
        start = Clock::now();
        const bool read = readAllBare(*bare, kSmsRecords, kSmsRecordLength);
        bareTime += Clock::now() - start;
        SCardDisconnect(bare->card, SCARD_LEAVE_CARD);
        if (!read) {
            state.SkipWithError("bare READ RECORD failed");
            break;
        }
    }
    SCardReleaseContext(context);
    benchmark::DoNotOptimize(characters);
    const auto milliseconds = [&](Clock::duration total) {
        return std::chrono::duration<double, std::milli>(total).count() /
               static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    };
    state.counters["quenlib_ms"] = milliseconds(quenlibTime);
    state.counters["bare_ms"] = milliseconds(bareTime);
    state.counters["overhead_pct"] = bareTime.count() > 0
                                         ? 100.0 * (static_cast<double>(quenlibTime.count()) /
                                                        static_cast<double>(bareTime.count()) -
                                                    1.0)
                                         : 0.0;
}
BENCHMARK(BM_AlternatingQuenlibAndBareMessages)->Unit(benchmark::kMillisecond)->Iterations(500);

// Fills every short message record: received and sent messages in all three codings, as
// long as a 176-byte record holds them.
bool fillMessages() {
    if (QLSIM_Connect(nullptr) != QL_OK) {
        return false;
    }
    QL_COUNT_INFO info{0, 0};
    bool filled = QLSMS_SelectFile(&info) == QL_OK && info.count == kSmsRecords;
    const std::u16string texts[] = {std::u16string(160, u'a'), std::u16string(140, u'\u00E9'),
                                    std::u16string(70, u'\u0416')};
    for (std::uint32_t index = 0; filled && index < kSmsRecords; ++index) {
        QL_SMS_ITEM item{};
        item.size = sizeof item;
        item.index = index;
        item.status = index % 2 == 0 ? 1 : 5;
        const std::u16string address = u"+39021234567";
        std::copy(address.begin(), address.end(), item.address);
        const std::u16string& text = texts[index % 3];
        std::copy(text.begin(), text.end(), item.text);
        item.textLength = static_cast<std::uint32_t>(text.size());
        item.timeStamp = QL_SMS_TIME{2024, 5, 0, 17, 8, 30, 0, 0};
        filled = QLSMS_WriteItemW(&item) == QL_OK;
    }
    QLSIM_Disconnect(nullptr);
    return filled;
}

// A card that answers at once: every SELECT with 9F 0F, every GET RESPONSE with the file
// information of a 250 x 28 file, every READ RECORD with a filled record. What a read
// costs against it is the library's own work per record.
class InstantCard final : public quenlib::CardBackend {
public:
    using PcscCode = quenlib::PcscCode;
    PcscCode establishContext(quenlib::ContextHandle& context) override {
        context = 1;
        return 0;
    }
    PcscCode releaseContext(quenlib::ContextHandle) override { return 0; }
    PcscCode listReaders(quenlib::ContextHandle, std::vector<std::string>& readers) override {
        readers = {"instant"};
        return 0;
    }
    PcscCode readerStatus(quenlib::ContextHandle, const std::string&,
                          quenlib::ReaderStatus& status) override {
        status.present = true;
        status.empty = false;
        return 0;
    }
    PcscCode connect(quenlib::ContextHandle, const std::string&, quenlib::ShareMode,
                     quenlib::CardHandle& card, quenlib::Protocol& protocol) override {
        card = 1;
        protocol = quenlib::Protocol::T0;
        return 0;
    }
    PcscCode disconnect(quenlib::CardHandle, quenlib::Disposition) override { return 0; }
    PcscCode transmit(quenlib::CardHandle, quenlib::Protocol, std::span<const std::uint8_t> command,
                      std::span<std::uint8_t> receive, std::size_t& received) override {
        static constexpr std::array<std::uint8_t, 30> record{
            'T',  'L',  '1',  0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
            0xFF, 0xFF, 0xFF, 0xFF, 0x06, 0x81, 0x21, 0x43, 0x65, 0x87,
            0xF9, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x90, 0x00};
        std::array<std::uint8_t, 17> info{0, 0, (kRecords * kRecordLength) >> 8,
                                          (kRecords * kRecordLength) & 0xFF};
        info[14] = kRecordLength;
        info[15] = 0x90;
        std::span<const std::uint8_t> answer;
        const std::array<std::uint8_t, 2> selected{0x9F, 0x0F};
        switch (command[1]) {
        case 0xA4:
            answer = selected;
            break;
        case 0xC0:
            answer = info;
            break;
        default:
            answer = record;
            break;
        }
        received = std::min(answer.size(), receive.size());
        std::copy_n(answer.begin(), received, receive.begin());
        return 0;
    }
};

void BM_QuenlibReadItemWInstantCard(benchmark::State& state) {
    InstantCard instant;
    quenlib::setCardBackend(&instant);
    QLSIM_Init();
    QLSIM_Connect(nullptr);
    QL_FILE_INFO info{68, 0, 0};
    if (QLADN_SelectFile(&info) != QL_OK) {
        state.SkipWithError("QLADN_SelectFile failed");
    }
    QL_ADN_ITEM item{};
    item.size = sizeof item;
    for (auto _ : state) {
        for (std::uint32_t index = 0; index < kRecords; ++index) {
            item.index = index;
            benchmark::DoNotOptimize(QLADN_ReadItemW(&item));
        }
    }
    QLSIM_Disconnect(nullptr);
    QLSIM_Final();
    quenlib::setCardBackend(nullptr);
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_QuenlibReadItemWInstantCard)->Unit(benchmark::kMicrosecond);

// Repetitions of both run in random interleaving (set in main) so that both loops see the
// same machine load; compare the medians.
BENCHMARK(BM_BarePcscReadRecord)->Unit(benchmark::kMillisecond)->Repetitions(10);
BENCHMARK(BM_QuenlibReadItemW)->Unit(benchmark::kMillisecond)->Repetitions(10);

std::size_t commandsSent() {
    std::ifstream log(theCard->commandLogPath());
    std::size_t count = 0;
    for (std::string line; std::getline(log, line);) {
        count += line.rfind("> ", 0) == 0 ? 1 : 0;
    }
    return count;
}

QL_ADN_ITEM item(std::uint32_t index, const std::u16string& number) {
    QL_ADN_ITEM entry{};
    entry.size = sizeof entry;
    entry.index = index;
    entry.name[0] = u'T';
    std::copy(number.begin(), number.end(), entry.number);
    return entry;
}

struct Step {
    const char* what;
    std::size_t least;
    std::function<QLRESULT()> call;
};

// Counts the commands of each export in order, on a fresh connection.
void countCommands() {
    if (QLSIM_Connect(nullptr) != QL_OK) {
        std::printf("command count: QLSIM_Connect failed\n");
        return;
    }
    const std::u16string longNumber = u"123456789012345678901234567890123456789012345";
    QL_FILE_INFO info{68, 0, 0};
    QL_ADN_ITEM entry{};
    const Step steps[] = {
        // SELECT DF, SELECT EXT1, GET RESPONSE, one READ RECORD per EXT1 record,
        // SELECT ADN, GET RESPONSE.
        {"QLADN_SelectFile", 5 + kExt1Records, [&] { return QLADN_SelectFile(&info); }},
        // One READ RECORD; the extension chain comes from memory.
        {"QLADN_ReadItemW (record 1)", 1,
         [&] {
             entry = item(0, u"");
             return QLADN_ReadItemW(&entry);
         }},
        // Record known from the read: one UPDATE RECORD.
        {"QLADN_WriteItemW short, record read before", 1,
         [&] {
             entry = item(0, u"+12345");
             return QLADN_WriteItemW(&entry);
         }},
        // Record not read yet: READ RECORD for its old chain, then UPDATE RECORD.
        {"QLADN_WriteItemW short, record not read before", 2,
         [&] {
             entry = item(1, u"12345");
             return QLADN_WriteItemW(&entry);
         }},
        // The chain goes to the working copy: one UPDATE RECORD now.
        {"QLADN_WriteItemW 45 digits", 1,
         [&] {
             entry = item(0, longNumber);
             return QLADN_WriteItemW(&entry);
         }},
        {"QLADN_ReadItemW 45 digits", 1,
         [&] {
             entry = item(0, u"");
             return QLADN_ReadItemW(&entry);
         }},
        // SELECT EXT1, GET RESPONSE, two UPDATE RECORD; the next phonebook call selects
        // EF ADN again.
        {"QLADN_Flush after the 45-digit write", 4, [] { return QLADN_Flush(); }},
        {"QLADN_Flush with nothing changed", 2, [] { return QLADN_Flush(); }},
        {"QLSIM_GetPIN1State", 2,
         [] {
             uint32_t enabled = 0;
             uint32_t attempts = 0;
             return QLSIM_GetPIN1State(&enabled, &attempts);
         }},
    };
    std::printf("\n%-50s %5s %5s  %s\n", "export", "sent", "least", "result");
    for (const Step& step : steps) {
        const std::size_t before = commandsSent();
        const QLRESULT result = step.call();
        const std::size_t sent = commandsSent() - before;
        std::printf("%-50s %5zu %5zu  %s\n", step.what, sent, step.least, QL_CodeName(result));
    }
    QLSIM_Disconnect(nullptr);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<char*> arguments(argv, argv + argc);
    std::string interleaving = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleaving.data());
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    simcard::CardOptions options;
    options.pin1Enabled = false;
    options.adnRecords = kRecords;
    options.adnRecordLength = kRecordLength;
    options.ext1Records = kExt1Records;
    options.smsRecords = kSmsRecords;
    options.smsRecordLength = kSmsRecordLength;
    std::unique_ptr<simcard::VirtualCard> card;
    try {
        card = std::make_unique<simcard::VirtualCard>(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "no virtual card: %s\n", error.what());
        return 1;
    }
    theCard = card.get();
    ::setenv("QUENLIB_READER", card->readerName().c_str(), 1);
    QLSIM_Init();
    const bool filled = fillMessages();
    QLSIM_Final();
    if (!filled) {
        std::fprintf(stderr, "cannot fill the short messages\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    if (QLSIM_Init() != QL_OK) {
        std::fprintf(stderr, "QLSIM_Init failed\n");
        return 1;
    }
    countCommands();
    QLSIM_Final();
    benchmark::Shutdown();
    return 0;
}
