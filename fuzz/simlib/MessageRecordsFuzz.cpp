// The record parsers of short messages (GSM and CDMA) and case records, on any bytes: what
// they read stays within the record and the exported fields, and what they read is written
// back and read again the same, as far as a record holds it.
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "simlib/CaseRecords.h"
#include "simlib/coding/CdmaSmsRecord.h"
#include "simlib/coding/GsmSmsRecord.h"
#include "tools/casemodule/CaseRecord.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace quenlib;
using tarvik::fuzz::Check;
using tarvik::fuzz::FuzzInput;

bool isPrefix(const std::u16string& part, const std::u16string& whole) {
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

// Whether a GSM address is written back as it reads: a number of at most 20 digits, with
// or without the '+' of an international one (alphanumeric addresses are read, never written).
bool writtenAsRead(std::u16string_view address) {
    if (!address.empty() && address[0] == u'+') {
        address.remove_prefix(1);
    }
    return !address.empty() && address.size() <= 20 &&
           address.find_first_not_of(u"0123456789*#+DE") == std::u16string_view::npos;
}

void gsmRecord(const std::vector<std::uint8_t>& record, std::size_t length) {
    const ShortMessage message = ParseGsmRecord(record);
    // TP-UDL is one byte; an address has two digits a byte of the record.
    Check(message.text.size() <= 255, "a GSM text has at most 255 characters");
    Check(message.address.size() <= 2 * record.size(), "a GSM address comes from the record");
    if (message.status != kSmsReceivedRead && message.status != kSmsReceivedUnread &&
        message.status != kSmsSent && message.status != kSmsToSend) {
        Check(message.address.empty() && message.text.empty(), "only messages have texts");
        return;
    }
    // Written back into a record of any length, it reads back as a prefix of itself.
    const auto rebuilt = BuildGsmRecord(message, length);
    if (!rebuilt) {
        Check(length < 30, "only a record too short for the fields before the text is refused");
        return;
    }
    Check(rebuilt->size() == length, "a record has its length");
    const ShortMessage again = ParseGsmRecord(*rebuilt);
    Check(isPrefix(again.text, message.text), "a rewritten text reads back");
    Check(again.text.size() <= 160, "TP-UD holds 160 characters at most");
    if (length == 255 && writtenAsRead(message.address)) {
        Check(again.status == message.status, "a rewritten status reads back");
        Check(again.address == message.address, "a rewritten address reads back");
        Check(!IsReceived(message.status) || again.time.month == message.time.month % 100,
              "a rewritten time stamp reads back");
    }
}

void cdmaRecord(const std::vector<std::uint8_t>& record, std::size_t length) {
    const auto message = ParseCdmaRecord(record);
    if (!message) {
        return; // a time stamp of the wrong length
    }
    Check(message->text.size() <= 255, "a CDMA text has at most 255 fields");
    if ((message->status & 1) == 0) {
        Check(message->address.empty() && message->text.empty(), "free records are not read");
        return;
    }
    const auto rebuilt = BuildCdmaRecord(*message, length);
    // A record too short for the parameters around the text is refused.
    Check(rebuilt.has_value() || length < 255, "a full-size record holds any address");
    if (!rebuilt) {
        return;
    }
    Check(rebuilt->size() == length, "a record has its length");
    const auto again = ParseCdmaRecord(*rebuilt);
    Check(again.has_value(), "a rewritten record has a six-byte time stamp");
    Check(!again || isPrefix(again->text, message->text), "a rewritten text reads back");
}

void caseRecord(FuzzInput& in) {
    const auto bytes = in.bytes(casemodule::kRecordSize);
    const auto entry = casemodule::decodeRecord(bytes);
    Check(!entry || bytes.size() == casemodule::kRecordSize, "case records are 32 bytes");
    if (entry) {
        Check(entry->name.size() <= 20 && entry->number.size() <= 22, "a case entry fits");
        if (const auto record = casemodule::encodeRecord(*entry)) {
            Check(casemodule::decodeRecord(*record) == entry, "a case entry reads back");
        }
    }
    // What a module returns, at most its buffers' 128 bytes each, lands in the item.
    QL_CC_ITEM item{};
    const auto name = in.bytes(in.byte() % 129);
    const auto number = in.bytes(in.byte() % 129);
    storeConvertedCase(name, number, item);
    Check(item.nameLength == name.size(), "the name length is the module's byte count");
    Check(item.name[name.size() / 2] == 0, "the name is terminated");
    Check(item.numberLength == number.size() && item.number[number.size()] == 0,
          "the number is terminated");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t choice = in.byte();
    const std::size_t length = in.flag() ? 255 : 1 + in.byte();
    if (choice % 3 == 2) {
        caseRecord(in);
        return 0;
    }
    const auto record = in.bytes(255);
    if (choice % 3 == 0) {
        gsmRecord(record, length);
    } else {
        cdmaRecord(record, length);
    }
    return 0;
}
