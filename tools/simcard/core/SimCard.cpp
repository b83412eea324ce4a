#include "tools/simcard/core/SimCard.h"

#include "tools/simcard/core/StatusWord.h"

#include <algorithm>
#include <utility>

namespace simcard {

namespace {

constexpr std::uint8_t GsmClass = 0xA0;

enum Instruction : std::uint8_t {
    Select = 0xA4,
    Status = 0xF2,
    ReadBinary = 0xB0,
    UpdateBinary = 0xD6,
    ReadRecord = 0xB2,
    UpdateRecord = 0xDC,
    Seek = 0xA2,
    Increase = 0x32,
    VerifyChv = 0x20,
    ChangeChv = 0x24,
    DisableChv = 0x26,
    EnableChv = 0x28,
    UnblockChv = 0x2C,
    GetResponse = 0xC0,
    // The contact-case application of some cards.
    CaseCount = 0x0A,
    ReadCase = 0x09,
    WriteCase = 0x0B,
};

enum RecordMode : std::uint8_t { Next = 0x02, Previous = 0x03, AbsoluteOrCurrent = 0x04 };

constexpr std::size_t CodeLength = 8;

Bytes Word(std::uint16_t sw) {
    return {static_cast<std::uint8_t>(sw >> 8), static_cast<std::uint8_t>(sw & 0xFF)};
}

Bytes WithWord(Bytes data, std::uint16_t sw) {
    data.push_back(static_cast<std::uint8_t>(sw >> 8));
    data.push_back(static_cast<std::uint8_t>(sw & 0xFF));
    return data;
}

void PutId(Bytes& response, std::size_t at, std::uint16_t value) {
    response[at] = static_cast<std::uint8_t>(value >> 8);
    response[at + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

// The first P3 bytes of `response` (P3 00 asks for 256), or 67 XX naming its length when
// it is shorter than that.
Bytes FirstBytes(Bytes response, std::uint8_t p3) {
    std::size_t wanted = p3 == 0 ? 256 : p3;
    if (wanted > response.size())
        return Word(static_cast<std::uint16_t>(sw::WrongLength | response.size()));
    response.resize(wanted);
    return WithWord(std::move(response), sw::Ok);
}

} // namespace

SimCard::SimCard(CardImage image, Persist persist)
    : image_(std::move(image)), persist_(std::move(persist)) {}

void SimCard::reset() {
    currentDirectory_ = MasterFile;
    currentFile_.reset();
    currentRecord_ = 0;
    pendingResponse_.clear();
    verified_ = {};
    uicc_ = {};
}

Bytes SimCard::process(std::span<const std::uint8_t> apdu) {
    if (image_.uicc() && !(image_.gsmClass() && !apdu.empty() && apdu[0] == GsmClass))
        return UiccCommands(uicc_, image_, persist_).process(apdu);
    if (apdu.size() < 4)
        return Word(sw::WrongLength);
    if (apdu[0] != GsmClass)
        return Word(sw::WrongClass);
    Command c{apdu[1], apdu[2], apdu[3], apdu.size() > 4 ? apdu[4] : std::uint8_t{0}, {}};
    if (apdu.size() > 5)
        c.data = apdu.subspan(5);
    // Incoming data must be exactly P3 bytes long.
    if (!c.data.empty() && c.data.size() != c.p3)
        return Word(sw::WrongLength);

    if (c.ins == GetResponse)
        return getResponse(c);
    pendingResponse_.clear();
    switch (c.ins) {
    case Select:
        return select(c);
    case Status:
        return status(c);
    case ReadRecord:
        return readRecord(c);
    case UpdateRecord:
        return updateRecord(c);
    case VerifyChv:
        return verifyChv(c, false);
    case ChangeChv:
        return verifyChv(c, true);
    case DisableChv:
        return disableChv(c);
    case EnableChv:
        return enableChv(c);
    case UnblockChv:
        return unblockChv(c);
    case CaseCount:
        return caseCount(c);
    case ReadCase:
        return readCase(c);
    case WriteCase:
        return writeCase(c);
    case ReadBinary:
        return readBinary(c);
    case UpdateBinary:
        return updateBinary(c);
    case Seek:
    case Increase:
        // There are no cyclic files, and SEEK is not offered.
        return Word(currentFile_ ? sw::FileInconsistent : sw::NoEfSelected);
    default:
        return Word(sw::UnknownInstruction);
    }
}

Bytes SimCard::select(const Command& c) {
    if (c.p1 != 0 || c.p2 != 0)
        return Word(sw::WrongP1P2);
    if (c.p3 != 2 || c.data.size() != 2)
        return Word(sw::WrongLength | 2);
    auto id = static_cast<std::uint16_t>(c.data[0] << 8 | c.data[1]);

    // Reachable: the MF, the current directory, its children, its parent and the
    // directories beside it (all directories here are children of the MF).
    Bytes response;
    if (id == MasterFile || id == currentDirectory_ || image_.hasDirectory(id)) {
        currentDirectory_ = id;
        currentFile_.reset();
        response = directoryResponse(id);
    } else if (image_.find({currentDirectory_, id})) {
        currentFile_ = id;
        response = fileResponse({currentDirectory_, id});
    } else {
        return Word(sw::FileNotFound);
    }
    currentRecord_ = 0;
    pendingResponse_ = std::move(response);
    return Word(static_cast<std::uint16_t>(sw::ResponseWaiting | pendingResponse_.size()));
}

Bytes SimCard::getResponse(const Command& c) {
    if (c.p1 != 0 || c.p2 != 0)
        return Word(sw::WrongP1P2);
    if (pendingResponse_.empty())
        return Word(sw::WrongLength);
    return FirstBytes(pendingResponse_, c.p3);
}

Bytes SimCard::status(const Command& c) {
    if (c.p1 != 0 || c.p2 != 0)
        return Word(sw::WrongP1P2);
    return FirstBytes(directoryResponse(currentDirectory_), c.p3);
}

Bytes SimCard::directoryResponse(std::uint16_t id) const {
    Bytes r(22, 0x00);
    PutId(r, 4, id);
    r[6] = id == MasterFile ? 0x01 : 0x02;
    r[12] = static_cast<std::uint8_t>(r.size() - 13); // length of bytes 14 on
    r[13] = image_.chv1Enabled() ? 0x00 : 0x80;       // file characteristics
    r[14] = static_cast<std::uint8_t>(id == MasterFile ? image_.directories().size() : 0);
    r[15] = static_cast<std::uint8_t>(image_.filesIn(id).size());
    r[16] = 0x04; // CHV1, UNBLOCK CHV1, CHV2, UNBLOCK CHV2
    r[18] = image_.chv(1).statusByte();
    r[19] = image_.unblockCode(1).statusByte();
    r[20] = image_.chv(2).statusByte();
    r[21] = image_.unblockCode(2).statusByte();
    return r;
}

Bytes SimCard::fileResponse(FilePath path) const {
    const auto& file = *image_.find(path);
    const std::size_t size =
        file.transparent ? file.body.size() : file.records.size() * file.recordLength;
    // Bytes 14 on: the structure, and for record files the record length.
    Bytes r(file.transparent ? 14 : 15, 0x00);
    PutId(r, 2, static_cast<std::uint16_t>(size));
    PutId(r, 4, path.ef);
    r[6] = 0x04; // EF
    const auto access = accessConditions(path);
    std::copy(access.begin(), access.end(), r.begin() + 8);
    r[11] = 0x01; // not invalidated
    r[12] = static_cast<std::uint8_t>(r.size() - 13);
    r[13] = file.transparent ? 0x00 : 0x01; // transparent or linear fixed
    if (!file.transparent)
        r[14] = static_cast<std::uint8_t>(file.recordLength);
    return r;
}

std::array<std::uint8_t, 3> SimCard::accessConditions(FilePath path) {
    // Nibbles (GSM 11.11, 9.3): 0 always, 1 CHV1, 2 CHV2, 4 administrative, F never.
    // Bytes: READ and UPDATE, INCREASE and RFU, REHABILITATE and INVALIDATE.
    if (path == FilePath{MasterFile, EfIccid})
        return {0x0F, 0xFF, 0x44}; // 10.1.1: read always, update never
    if (path == FilePath{DfTelecom, EfAdn})
        return {0x11, 0xFF, 0x22}; // 10.5.1: invalidate and rehabilitate with CHV2
    return {0x11, 0xFF, 0x44};
}

SimCard::RecordAccess SimCard::accessRecord(const Command& c, bool carriesData) {
    auto* selected = currentFile_ ? image_.find({currentDirectory_, *currentFile_}) : nullptr;
    if (!selected)
        return {.error = sw::NoEfSelected};
    auto& file = *selected;
    if (file.transparent)
        return {.error = sw::FileInconsistent};
    if (c.p2 < Next || c.p2 > AbsoluteOrCurrent)
        return {.error = sw::WrongP1P2};
    if (!chv1Satisfied())
        return {.error = sw::AccessDenied};
    if (c.p3 != file.recordLength || (carriesData && c.data.size() != c.p3))
        return {.error = static_cast<std::uint16_t>(sw::WrongLength | file.recordLength)};
    const int count = static_cast<int>(file.records.size());
    int record = 0;
    // GSM 11.11, 8.5 and 8.6: absolute and current mode leave the record pointer where it
    // is; NEXT and PREVIOUS move it and ignore P1.
    const bool movesPointer = c.p2 != AbsoluteOrCurrent;
    if (c.p2 == AbsoluteOrCurrent)
        record = c.p1 == 0 ? currentRecord_ : c.p1;
    else if (c.p2 == Next)
        record = currentRecord_ + 1; // the first record while there is no record pointer
    else                             // Previous: the last record while there is no record pointer
        record = currentRecord_ == 0 ? count : currentRecord_ - 1;
    if (record < 1 || record > count)
        return {.error = sw::OutOfRange};
    return {&file.records[static_cast<std::size_t>(record - 1)], movesPointer ? record : 0};
}

Bytes SimCard::readRecord(const Command& c) {
    auto access = accessRecord(c, false);
    if (!access.stored)
        return Word(access.error);
    if (access.newPointer)
        currentRecord_ = access.newPointer;
    return WithWord(*access.stored, sw::Ok);
}

Bytes SimCard::updateRecord(const Command& c) {
    auto access = accessRecord(c, true);
    if (!access.stored)
        return Word(access.error);
    auto& stored = *access.stored;
    if (!std::ranges::equal(stored, c.data)) {
        Bytes old = stored;
        stored.assign(c.data.begin(), c.data.end());
        if (persist_ && !persist_(image_)) {
            stored = std::move(old);
            return Word(sw::MemoryProblem);
        }
    }
    if (access.newPointer)
        currentRecord_ = access.newPointer;
    return Word(sw::Ok);
}

const ElementaryFile* SimCard::currentTransparentFile(std::uint16_t& error) const {
    const auto* file = currentFile_ ? image_.find({currentDirectory_, *currentFile_}) : nullptr;
    if (!file) {
        error = sw::NoEfSelected;
        return nullptr;
    }
    if (!file->transparent) {
        error = sw::FileInconsistent;
        return nullptr;
    }
    return file;
}

Bytes SimCard::readBinary(const Command& c) {
    std::uint16_t error = 0;
    const auto* file = currentTransparentFile(error);
    if (!file)
        return Word(error);
    const FilePath path{currentDirectory_, *currentFile_};
    const std::uint8_t read = accessConditions(path)[0] >> 4;
    if (read == 0x0F || (read == 0x01 && !chv1Satisfied()))
        return Word(sw::AccessDenied);
    if (c.p1 & 0x80)
        return Word(sw::WrongP1P2);
    const std::size_t offset = static_cast<std::size_t>(c.p1 << 8 | c.p2);
    const std::size_t length = c.p3 == 0 ? 256 : c.p3;
    if (offset >= file->body.size())
        return Word(sw::WrongP1P2);
    if (offset + length > file->body.size())
        return Word(static_cast<std::uint16_t>(
            sw::WrongLength | std::min<std::size_t>(file->body.size() - offset, 0xFF)));
    auto begin = file->body.begin() + static_cast<std::ptrdiff_t>(offset);
    return WithWord(Bytes(begin, begin + static_cast<std::ptrdiff_t>(length)), sw::Ok);
}

Bytes SimCard::updateBinary(const Command&) {
    std::uint16_t error = 0;
    if (!currentTransparentFile(error))
        return Word(error);
    // The only transparent file, EF ICCID, is never updated.
    return Word(sw::AccessDenied);
}

std::optional<std::uint16_t> SimCard::present(SecretCode& code,
                                              std::span<const std::uint8_t> presented) {
    if (code.blocked())
        return sw::Blocked;
    if (code.matches(presented)) {
        code.attemptsLeft = code.maxAttempts;
        return std::nullopt;
    }
    --code.attemptsLeft;
    return code.blocked() ? sw::Blocked : sw::AccessDenied;
}

Bytes SimCard::commit(const CardImage& before, Bytes success) {
    if (image_ == before || !persist_ || persist_(image_))
        return success;
    image_ = before;
    return Word(sw::MemoryProblem);
}

Bytes SimCard::verifyChv(const Command& c, bool change) {
    // VERIFY carries the code; CHANGE carries the code, then its new value.
    const std::size_t length = change ? 2 * CodeLength : CodeLength;
    if (c.p1 != 0 || (c.p2 != 1 && c.p2 != 2))
        return Word(sw::WrongP1P2);
    if (c.p3 != length || c.data.size() != length)
        return Word(static_cast<std::uint16_t>(sw::WrongLength | length));
    const int n = c.p2;
    if (n == 1 && !image_.chv1Enabled())
        return Word(sw::ChvContradiction);
    const CardImage before = image_;
    auto& code = image_.chv(n);
    auto failure = present(code, c.data.first(CodeLength));
    if (failure)
        verified_[n - 1] = false;
    else if (change)
        std::ranges::copy(c.data.subspan(CodeLength), code.value.begin());
    auto answer = commit(before, Word(failure.value_or(sw::Ok)));
    if (!failure && answer == Word(sw::Ok))
        verified_[n - 1] = true;
    return answer;
}

Bytes SimCard::disableChv(const Command& c) {
    // Only CHV1 can be disabled.
    if (c.p1 != 0 || c.p2 != 1)
        return Word(sw::WrongP1P2);
    if (c.p3 != CodeLength || c.data.size() != CodeLength)
        return Word(sw::WrongLength | CodeLength);
    if (!image_.chv1Enabled())
        return Word(sw::ChvContradiction);
    const CardImage before = image_;
    auto failure = present(image_.chv(1), c.data);
    if (failure)
        verified_[0] = false;
    else
        image_.setChv1Enabled(false);
    return commit(before, Word(failure.value_or(sw::Ok)));
}

Bytes SimCard::enableChv(const Command& c) {
    if (c.p1 != 0 || c.p2 != 1)
        return Word(sw::WrongP1P2);
    if (c.p3 != CodeLength || c.data.size() != CodeLength)
        return Word(sw::WrongLength | CodeLength);
    if (image_.chv1Enabled())
        return Word(sw::ChvContradiction);
    const CardImage before = image_;
    auto failure = present(image_.chv(1), c.data);
    if (!failure)
        image_.setChv1Enabled(true);
    auto answer = commit(before, Word(failure.value_or(sw::Ok)));
    // The code was just presented, so the holder stays verified.
    verified_[0] = !failure && answer == Word(sw::Ok);
    return answer;
}

Bytes SimCard::unblockChv(const Command& c) {
    // P2 00 addresses CHV1, 02 CHV2.
    if (c.p1 != 0 || (c.p2 != 0 && c.p2 != 2))
        return Word(sw::WrongP1P2);
    if (c.p3 != 2 * CodeLength || c.data.size() != 2 * CodeLength)
        return Word(sw::WrongLength | 2 * CodeLength);
    const int n = c.p2 == 0 ? 1 : 2;
    const CardImage before = image_;
    auto failure = present(image_.unblockCode(n), c.data.first(CodeLength));
    if (!failure) {
        auto& code = image_.chv(n);
        std::ranges::copy(c.data.subspan(CodeLength), code.value.begin());
        code.attemptsLeft = code.maxAttempts;
        // Unblocking sets a new CHV1, which protects the card again.
        if (n == 1)
            image_.setChv1Enabled(true);
    }
    auto answer = commit(before, Word(failure.value_or(sw::Ok)));
    if (!failure && answer == Word(sw::Ok))
        verified_[n - 1] = true;
    return answer;
}

Bytes SimCard::caseCount(const Command& c) {
    if (!image_.caseCard())
        return Word(sw::UnknownInstruction);
    if (c.p1 != 0 || c.p2 != 0)
        return Word(sw::WrongP1P2);
    if (c.p3 != 2)
        return Word(sw::WrongLength | 2);
    const auto count = static_cast<unsigned>(image_.caseSlots());
    return WithWord(
        {static_cast<std::uint8_t>(count >> 8), static_cast<std::uint8_t>(count & 0xFF)}, sw::Ok);
}

std::optional<std::uint16_t> SimCard::caseNumber(const Command& c) const {
    if (!image_.caseCard())
        return sw::UnknownInstruction;
    if (c.p3 != CaseRecordLength || (c.ins == WriteCase && c.data.size() != CaseRecordLength))
        return static_cast<std::uint16_t>(sw::WrongLength | CaseRecordLength);
    if ((c.p1 << 8 | c.p2) >= image_.caseSlots())
        return sw::OutOfRange;
    return std::nullopt;
}

Bytes SimCard::readCase(const Command& c) {
    if (auto refused = caseNumber(c))
        return Word(*refused);
    return WithWord(image_.caseRecord(static_cast<std::uint16_t>(c.p1 << 8 | c.p2)), sw::Ok);
}

Bytes SimCard::writeCase(const Command& c) {
    if (auto refused = caseNumber(c))
        return Word(*refused);
    const CardImage before = image_;
    image_.setCaseRecord(static_cast<std::uint16_t>(c.p1 << 8 | c.p2),
                         Bytes(c.data.begin(), c.data.end()));
    return commit(before, Word(sw::Ok));
}

} // namespace simcard
