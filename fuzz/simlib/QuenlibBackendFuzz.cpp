// Quenlib's exports against a card that answers anything: the fuzz input picks each export
// and its arguments, and every answer of the card. Each call must end with one of the codes
// its export documents and leave what it filled terminated and within its fields; buffers
// are exactly as large as the interface promises, so the sanitizers see any overrun.
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "simlib/CardBackend.h"
#include "simlib/LibraryState.h"
#include "simlib/include/quenlib.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using namespace quenlib;
using tarvik::fuzz::Check;
using tarvik::fuzz::FuzzInput;

constexpr PcscCode kPcscFailure = 0x80100016;

class AnyCard final : public CardBackend {
public:
    explicit AnyCard(FuzzInput& input) : input_(input) {}

    PcscCode establishContext(ContextHandle& context) override {
        context = 1;
        return input_.byte() == 0xFF ? kPcscFailure : kPcscSuccess;
    }
    PcscCode releaseContext(ContextHandle) override { return kPcscSuccess; }
    PcscCode listReaders(ContextHandle, std::vector<std::string>& readers) override {
        readers = {"Fuzz Reader 00 00"};
        return kPcscSuccess;
    }
    PcscCode readerStatus(ContextHandle, const std::string&, ReaderStatus& status) override {
        status.present = input_.flag();
        status.empty = !status.present;
        status.atr = input_.bytes(input_.byte() % 34);
        return kPcscSuccess;
    }
    PcscCode connect(ContextHandle, const std::string&, ShareMode, CardHandle& card,
                     Protocol& protocol) override {
        card = 7;
        const std::uint8_t choice = input_.byte();
        protocol = choice % 16 == 15 ? Protocol::Raw
                   : choice % 2 == 0 ? Protocol::T0
                                     : Protocol::T1;
        return choice == 0xFF ? kPcscRemovedCard : choice == 0xFD ? kPcscFailure : kPcscSuccess;
    }
    PcscCode disconnect(CardHandle, Disposition) override { return kPcscSuccess; }

    // Mostly an answer of the length the command asks for with the status word that moves
    // the library on, so that the parsers behind each command are reached; otherwise any
    // bytes at all, or a failed exchange.
    PcscCode transmit(CardHandle, Protocol, std::span<const std::uint8_t> command,
                      std::span<std::uint8_t> receive, std::size_t& received) override {
        Check(command.size() >= 4 && command.size() <= 5 + 255, "commands have a GSM header");
        received = 0;
        const std::uint8_t choice = input_.byte();
        std::vector<std::uint8_t> answer;
        if (choice == 0xFF) {
            return kPcscFailure;
        }
        if (choice < 0xC0) {
            answer = input_.bytes(receive.size() - 2);
            const bool select = command[1] == 0xA4;
            answer.push_back(select ? 0x9F : 0x90);
            answer.push_back(select ? input_.byte() : 0x00);
        } else {
            answer = input_.bytes(input_.byte());
        }
        if (answer.size() > receive.size()) {
            return 0x80100008; // insufficient buffer, as pcsc-lite says
        }
        std::copy(answer.begin(), answer.end(), receive.begin());
        received = answer.size();
        return kPcscSuccess;
    }

private:
    FuzzInput& input_;
};

void expect(QLRESULT result, std::initializer_list<QLRESULT> allowed, const char* what) {
    Check(std::find(allowed.begin(), allowed.end(), result) != allowed.end(), what);
}

template <std::size_t N>
std::size_t terminatedWithin(const QL_CHAR16 (&field)[N]) {
    const auto end = std::find(field, field + N, QL_CHAR16{0});
    Check(end != field + N, "a text field is terminated");
    return static_cast<std::size_t>(end - field);
}

template <std::size_t N>
void fill(QL_CHAR16 (&field)[N], const std::u16string& text) {
    std::fill(field, field + N, QL_CHAR16{0});
    std::copy_n(text.begin(), std::min(text.size(), N - 1), field);
}

// The geometry the host learns from the selections, for its buffers.
struct Host {
    std::uint32_t msisdnLength = 0;
};

void step(FuzzInput& in, Host& host) {
    switch (in.byte() % 26) {
    case 0:
        expect(QLSIM_Init(), {QL_OK, QL_E_NO_CONTEXT}, "QLSIM_Init");
        break;
    case 1:
        expect(QLSIM_Connect(nullptr),
               {QL_OK, QL_E_NO_CONTEXT, QL_E_CARD_REMOVED, QL_E_SHARING, QL_E_CONNECT},
               "QLSIM_Connect");
        break;
    case 2:
        expect(QLSIM_Disconnect(nullptr), {QL_OK}, "QLSIM_Disconnect");
        break;
    case 3:
        expect(QLSIM_Final(), {QL_OK}, "QLSIM_Final");
        break;
    case 4: {
        const auto code = in.counted();
        const std::string text(code.begin(), std::find(code.begin(), code.end(), 0));
        expect(in.flag() ? QLSIM_VerifyPIN1(text.c_str()) : QLSIM_ChangePIN1(text.c_str(), "1234"),
               {QL_OK, QL_E_NOT_CONNECTED, QL_E_CHV}, "CHV command");
        break;
    }
    case 5: {
        QL_PIN_CONTEXT context{};
        std::uint32_t enabled = 9;
        std::uint32_t attempts = 99;
        expect(QLSIM_GetPINContext(&context), {QL_OK, QL_E_NOT_CONNECTED, QL_E_CHV},
               "QLSIM_GetPINContext");
        const QLRESULT result = QLSIM_GetPIN1State(&enabled, &attempts);
        expect(result, {QL_OK, QL_E_NOT_CONNECTED, QL_E_CHV}, "QLSIM_GetPIN1State");
        Check(result != QL_OK || (enabled <= 1 && attempts <= 15), "CHV state in range");
        break;
    }
    case 6: {
        QL_FILE_INFO info{68, 0, 0};
        const QLRESULT result = QLADN_SelectFile(&info);
        expect(result, {QL_OK, QL_E_NOT_CONNECTED, QL_E_SELECT_DF, QL_E_SELECT_EF},
               "QLADN_SelectFile");
        Check(result != QL_OK || (info.recordCount <= 255 && info.recordLength >= 14),
              "phonebook geometry");
        break;
    }
    case 7:
    case 8: {
        QL_ADN_ITEM item{};
        item.index = in.byte();
        const QLRESULT result = QLADN_ReadItemW(&item);
        expect(result, {QL_OK, QL_E_NOT_CONNECTED, QL_E_READ}, "QLADN_ReadItemW");
        if (result == QL_OK) {
            Check(terminatedWithin(item.name) == item.nameLength, "name length agrees");
            Check(terminatedWithin(item.number) == item.numberLength, "number length agrees");
        } else if (result == QL_E_READ) {
            Check(item.nameLength == 0 && item.numberLength == 0, "failed reads zero lengths");
        }
        break;
    }
    case 9: {
        QL_ADN_ITEM item{};
        item.index = in.byte();
        fill(item.name, in.text());
        fill(item.number, in.text());
        expect(QLADN_WriteItemW(&item), {QL_OK, QL_E_NOT_CONNECTED, QL_E_READ, QL_E_WRITE},
               "QLADN_WriteItemW");
        terminatedWithin(item.number);
        break;
    }
    case 10:
        expect(QLADN_Flush(), {QL_OK, QL_E_NOT_CONNECTED, QL_E_SELECT_EF}, "QLADN_Flush");
        break;
    case 11: {
        std::vector<std::uint8_t> record(255 + 2);
        const std::uint32_t index = in.word();
        expect(QLADN_ReadRecord(index, record.data()), {QL_OK, QL_E_NOT_CONNECTED, QL_E_READ},
               "QLADN_ReadRecord");
        std::vector<std::uint8_t> data = in.bytes(255);
        data.resize(255, 0xFF);
        expect(QLADN_WriteRecord(index, data.data()), {QL_OK, QL_E_NOT_CONNECTED, QL_E_WRITE},
               "QLADN_WriteRecord");
        break;
    }
    case 12: {
        std::uint8_t* buffer = nullptr;
        std::uint32_t size = 0;
        const QLRESULT result = QLADN_ReadExt1BufP(&buffer, &size);
        expect(result, {QL_OK, QL_E_NOT_CONNECTED}, "QLADN_ReadExt1BufP");
        if (result == QL_OK) {
            Check(buffer != nullptr && size <= 3315 && size % 13 == 0, "extension buffer");
            std::vector<std::uint8_t> copy(buffer, buffer + size);
        }
        std::vector<std::uint8_t> source = in.bytes(in.word() % 4000);
        const auto count = static_cast<std::uint32_t>(source.size());
        source.resize(std::max<std::size_t>(source.size(), 1));
        expect(QLADN_WriteExt1Buf(source.data(), count), {QL_OK, QL_E_NOT_CONNECTED},
               "QLADN_WriteExt1Buf");
        break;
    }
    case 13: {
        QL_COUNT_INFO info{0, 0};
        const QLRESULT result = QLSMS_SelectFile(&info);
        expect(result, {QL_OK, QL_E_NOT_CONNECTED, QL_E_SELECT_EF}, "QLSMS_SelectFile");
        Check(result != QL_OK || info.count <= 255, "message count");
        break;
    }
    case 14:
    case 15: {
        QL_SMS_ITEM item{};
        item.index = in.byte();
        const QLRESULT result = QLSMS_ReadItemW(&item);
        expect(result, {QL_OK, QL_E_NOT_CONNECTED, QL_E_READ}, "QLSMS_ReadItemW");
        const std::size_t address = terminatedWithin(item.address);
        terminatedWithin(item.text);
        if (result == QL_OK) {
            Check(item.addressLength == address || item.addressLength == address + 1,
                  "address length agrees");
            // A text may hold 0 units (the GSM 7-bit '@'); its length counts them too.
            Check(item.textLength <= 2 * 255, "text length within the field");
        }
        break;
    }
    case 16: {
        QL_SMS_ITEM item{};
        item.index = in.byte();
        item.status = in.byte() % 9;
        fill(item.address, in.text());
        fill(item.text, in.text());
        item.textLength = in.word();
        item.timeStamp.year = in.word();
        item.timeStamp.month = in.byte();
        const std::u16string before = item.address;
        const QLRESULT result = QLSMS_WriteItemW(&item);
        expect(result, {QL_OK, QL_E_NOT_CONNECTED, QL_E_WRITE}, "QLSMS_WriteItemW");
        const bool plus = result != QL_E_NOT_CONNECTED && before.starts_with(u'+');
        Check(std::u16string(item.address) == (plus ? before.substr(1) : before),
              "one leading plus is removed in the caller's record");
        break;
    }
    case 17: {
        std::vector<std::uint8_t> record(255 + 2);
        const std::uint32_t index = in.word();
        expect(QLSMS_ReadRecord(index, record.data()), {QL_OK, QL_E_NOT_CONNECTED, QL_E_READ},
               "QLSMS_ReadRecord");
        std::vector<std::uint8_t> data = in.bytes(255);
        data.resize(255, 0x00);
        expect(QLSMS_WriteRecord(index, data.data()), {QL_OK, QL_E_NOT_CONNECTED, QL_E_WRITE},
               "QLSMS_WriteRecord");
        break;
    }
    case 18: {
        QL_FILE_INFO info{68, 0, 0};
        const QLRESULT result = QLISDN_SelectFile(&info);
        expect(result, {QL_OK, QL_E_NOT_CONNECTED, QL_E_SELECT_DF, QL_E_SELECT_EF},
               "QLISDN_SelectFile");
        if (result == QL_OK) {
            host.msisdnLength = info.recordLength;
        }
        break;
    }
    case 19: {
        // The buffers the interface asks for: 32 units, and R - 13 for the name.
        std::vector<QL_CHAR16> name(
            std::max<std::size_t>(32, host.msisdnLength > 13 ? host.msisdnLength - 13 : 0));
        std::vector<QL_CHAR16> number(32);
        expect(QLISDN_ReadItemW(in.byte(), name.data(), number.data()),
               {QL_OK, QL_E_NOT_CONNECTED, QL_E_READ}, "QLISDN_ReadItemW");
        break;
    }
    case 20: {
        const std::u16string name = in.text();
        const std::u16string number = in.text();
        expect(QLISDN_WriteItemW(in.byte(), name.c_str(), number.c_str()),
               {QL_OK, QL_E_NOT_CONNECTED, QL_E_WRITE}, "QLISDN_WriteItemW");
        break;
    }
    case 21:
        expect(QLCC_IsCcSupport(), {QL_OK, QL_E_FAILED}, "QLCC_IsCcSupport");
        break;
    case 22: {
        QL_COUNT_INFO info{0, 0};
        expect(QLCC_SelectFile(&info), {QL_OK, QL_E_NOT_CONNECTED, QL_E_FAILED}, "QLCC_SelectFile");
        break;
    }
    case 23: {
        QL_CC_ITEM item{};
        item.size = in.flag() ? 1624 : 1616;
        item.caseNumber = in.word();
        fill(item.name, in.text());
        // Without a case module there is nothing to read with.
        expect(QLCC_ReadItemW(&item), {QL_E_FAILED}, "QLCC_ReadItemW");
        break;
    }
    default: {
        QL_CC_ITEM item{};
        item.size = in.flag() ? 1624 : 1616;
        fill(item.name, in.text());
        fill(item.number, in.text());
        // Without a case module nothing gets past the guards.
        for (QLRESULT result :
             {QLCC_ModifyItemW(&item, &item), QLCC_AppendItemW(&item), QLCC_DeleteItemW(&item)}) {
            expect(result, {QL_E_NOT_CONNECTED, QL_E_FAILED}, "QLCC change");
        }
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // No case module: the target must not depend on what the machine has installed.
    ::setenv("QUENLIB_CASE_MODULE", "/nonexistent/libdorlin.so", 1);
    ::unsetenv("QUENLIB_READER");
    ::unsetenv("QUENLIB_TRACE");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    AnyCard card(input);
    state() = LibraryState{};
    setCardBackend(&card);
    Host host;
    for (int steps = 0; steps < 64 && !input.empty(); ++steps) {
        step(input, host);
    }
    QLSIM_Disconnect(nullptr);
    QLSIM_Final();
    state() = LibraryState{};
    setCardBackend(nullptr);
    return 0;
}
