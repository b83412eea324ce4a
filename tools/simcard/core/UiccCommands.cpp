#include "tools/simcard/core/UiccCommands.h"

#include "tools/simcard/core/Fcp.h"
#include "tools/simcard/core/StatusWord.h"

#include <algorithm>

namespace simcard {

namespace {

// ETSI TS 102 221 §10.1.1: ISO commands in class 00, the UICC's own ones in class 80.
constexpr std::uint8_t IsoClass = 0x00;
constexpr std::uint8_t UiccClass = 0x80;

enum Instruction : std::uint8_t {
    Select = 0xA4,
    Status = 0xF2,
    ReadBinary = 0xB0,
    UpdateBinary = 0xD6,
    ReadRecord = 0xB2,
    UpdateRecord = 0xDC,
    Verify = 0x20,
    ChangePin = 0x24,
    DisableVerification = 0x26,
    EnableVerification = 0x28,
    UnblockPin = 0x2C,
    GetResponse = 0xC0,
};

enum SelectBy : std::uint8_t { FileId = 0x00, Name = 0x04, PathFromMf = 0x08, PathFromDf = 0x09 };
enum SelectAnswer : std::uint8_t { WithFcp = 0x04, NoData = 0x0C };
enum RecordMode : std::uint8_t { Next = 0x02, Previous = 0x03, AbsoluteOrCurrent = 0x04 };

constexpr std::uint16_t CurrentApplication = 0x7FFF;
// The shortest partial AID that still names a provider's application (its RID).
constexpr std::size_t RidLength = 5;

Bytes Word(std::uint16_t sw) {
    return {static_cast<std::uint8_t>(sw >> 8), static_cast<std::uint8_t>(sw & 0xFF)};
}

Bytes WithWord(Bytes data, std::uint16_t sw) {
    data.push_back(static_cast<std::uint8_t>(sw >> 8));
    data.push_back(static_cast<std::uint8_t>(sw & 0xFF));
    return data;
}

// Le as P3 carries it: 00 asks for 256 bytes.
std::size_t Expected(std::uint8_t p3) {
    return p3 == 0 ? 256 : p3;
}

// 61 xx or 6C xx naming a length of up to 256 bytes (00 for 256).
std::uint16_t WithLength(std::uint16_t sw, std::size_t length) {
    return static_cast<std::uint16_t>(sw | (length & 0xFF));
}

} // namespace

Bytes UiccCommands::process(std::span<const std::uint8_t> apdu) {
    if (apdu.size() < 4)
        return Word(sw::WrongLength);
    Command c{apdu[0], apdu[1], apdu[2], apdu[3], apdu.size() > 4 ? apdu[4] : std::uint8_t{0}, {}};
    if (apdu.size() > 5)
        c.data = apdu.subspan(5);
    // A case 4 APDU may end with Le; over T=0 it never reaches the card, which answers
    // 61 xx instead.
    if (c.p3 != 0 && c.data.size() == c.p3 + 1u)
        c.data = c.data.first(c.p3);
    if (!c.data.empty() && c.data.size() != c.p3)
        return Word(sw::WrongLength);
    if (c.cla != IsoClass && c.cla != UiccClass)
        return Word(sw::WrongClass);
    if ((c.cla == UiccClass) != (c.ins == Status))
        return Word(sw::UnknownInstruction);

    if (c.ins == GetResponse)
        return getResponse(c);
    state_.pendingResponse.clear();
    switch (c.ins) {
    case Select:
        return select(c);
    case Status:
        return status(c);
    case ReadRecord:
        return readRecord(c);
    case UpdateRecord:
        return updateRecord(c);
    case ReadBinary:
        return readBinary(c);
    case UpdateBinary:
        return updateBinary(c);
    case Verify:
        return verifyPin(c, false);
    case ChangePin:
        return verifyPin(c, true);
    case DisableVerification:
        return switchVerification(c, false);
    case EnableVerification:
        return switchVerification(c, true);
    case UnblockPin:
        return unblockPin(c);
    default:
        return Word(sw::UnknownInstruction);
    }
}

namespace {

// The DF `id` directly inside `parent`, when the image has one. 7FFF inside the MF is the
// ADF of the active application.
std::optional<DirectoryId> Child(const CardImage& image, DirectoryId parent, std::uint16_t id,
                                 bool applicationActive) {
    if (parent == MasterFile) {
        if (id == CurrentApplication)
            return applicationActive && image.hasDirectory(AdfUsim)
                       ? std::optional<DirectoryId>(AdfUsim)
                       : std::nullopt;
        if (id != MasterFile && image.hasDirectory(id))
            return id;
        return std::nullopt;
    }
    if (IsNested(parent) || !image.hasDirectory(Inside(parent, id)))
        return std::nullopt;
    return Inside(parent, id);
}

} // namespace

std::optional<DirectoryId> UiccCommands::reachableDirectory(std::uint16_t id) const {
    // §8.4.1: the MF, the current DF, its parent, its children, the DFs beside it, and
    // the ADF of the active application by 7FFF.
    const auto current = state_.currentDirectory;
    if (id == MasterFile)
        return MasterFile;
    if (id == CurrentApplication)
        return Child(image_, MasterFile, id, state_.applicationActive);
    if (current != MasterFile && id == FileIdOf(current))
        return current;
    if (auto found = Child(image_, current, id, state_.applicationActive))
        return found;
    const auto parent = ParentOf(current);
    if (current != MasterFile && parent != MasterFile && id == FileIdOf(parent))
        return parent;
    if (current != MasterFile)
        return Child(image_, parent, id, state_.applicationActive);
    return std::nullopt;
}

Bytes UiccCommands::select(const Command& c) {
    if (c.p2 != WithFcp && c.p2 != NoData)
        return Word(sw::IncorrectP1P2);
    auto enter = [this](DirectoryId directory) {
        state_.currentDirectory = directory;
        state_.currentFile.reset();
    };
    const auto ids = [&c] {
        std::vector<std::uint16_t> list;
        for (std::size_t i = 0; i + 1 < c.data.size(); i += 2)
            list.push_back(static_cast<std::uint16_t>(c.data[i] << 8 | c.data[i + 1]));
        return list;
    }();

    switch (c.p1) {
    case FileId: {
        // No data selects the MF (ISO/IEC 7816-4).
        if (c.p3 == 0) {
            enter(MasterFile);
            break;
        }
        if (c.p3 != 2 || c.data.size() != 2)
            return Word(sw::WrongLength);
        if (auto directory = reachableDirectory(ids[0]))
            enter(*directory);
        else if (image_.find({state_.currentDirectory, ids[0]}))
            state_.currentFile = ids[0];
        else
            return Word(sw::NotFound);
        break;
    }
    case Name: {
        // §8.5.2: the AID, or its first bytes down to the RID.
        const auto& aid = image_.applicationId();
        if (c.p3 == 0 || c.p3 > 16 || c.data.size() != c.p3)
            return Word(sw::WrongLength);
        if (aid.empty() || c.data.size() < RidLength || c.data.size() > aid.size() ||
            !std::ranges::equal(c.data, std::span(aid).first(c.data.size())))
            return Word(sw::NotFound);
        enter(AdfUsim);
        state_.applicationActive = true;
        break;
    }
    case PathFromMf:
    case PathFromDf: {
        if (c.p3 == 0 || c.p3 % 2 != 0 || c.data.size() != c.p3)
            return Word(sw::WrongLength);
        DirectoryId directory = c.p1 == PathFromMf ? MasterFile : state_.currentDirectory;
        std::size_t first = 0;
        // §8.4.2: a path from the MF leaves out 3F00; accept it all the same.
        if (c.p1 == PathFromMf && ids[0] == MasterFile)
            first = 1;
        for (std::size_t i = first; i + 1 < ids.size(); ++i) {
            auto next = Child(image_, directory, ids[i], state_.applicationActive);
            if (!next)
                return Word(sw::NotFound);
            directory = *next;
        }
        if (first == ids.size()) {
            enter(MasterFile);
        } else if (auto last = Child(image_, directory, ids.back(), state_.applicationActive)) {
            enter(*last);
        } else if (image_.find({directory, ids.back()})) {
            state_.currentDirectory = directory;
            state_.currentFile = ids.back();
        } else {
            return Word(sw::NotFound);
        }
        break;
    }
    default:
        return Word(sw::IncorrectP1P2);
    }
    state_.currentRecord = 0;
    return selected(c.p2 == WithFcp);
}

Bytes UiccCommands::selected(bool withFcp) {
    if (!withFcp)
        return Word(sw::Ok);
    state_.pendingResponse = fcpOfCurrent();
    return Word(WithLength(sw::MoreData, state_.pendingResponse.size()));
}

Bytes UiccCommands::fcpOfCurrent() const {
    const auto directory = state_.currentDirectory;
    if (state_.currentFile) {
        const FilePath path{directory, *state_.currentFile};
        if (const auto* file = image_.find(path))
            return ElementaryFileFcp(path.ef, *file, pinProtected(path));
    }
    const PinState pins{image_.chv1Enabled(), true};
    return DirectoryFcp(FileIdOf(directory),
                        directory == AdfUsim ? image_.applicationId() : Bytes{}, pins);
}

Bytes UiccCommands::getResponse(const Command& c) {
    if (c.p1 != 0 || c.p2 != 0)
        return Word(sw::WrongP1P2);
    auto& pending = state_.pendingResponse;
    if (pending.empty())
        return Word(sw::ConditionsNotSatisfied);
    // ISO/IEC 7816-3 §10.3.4: Le longer than what waits gets 6C xx, shorter gets the first
    // bytes and 61 xx for the rest.
    const auto wanted = Expected(c.p3);
    if (wanted > pending.size())
        return Word(WithLength(sw::WrongLe, pending.size()));
    Bytes out(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(wanted));
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(wanted));
    return WithWord(std::move(out),
                    pending.empty() ? sw::Ok : WithLength(sw::MoreData, pending.size()));
}

Bytes UiccCommands::status(const Command& c) {
    // §11.1.2: P2 00 the FCP of the current DF or ADF, 01 its name, 0C nothing.
    Bytes answer;
    const auto directory = state_.currentDirectory;
    if (c.p2 == 0x00) {
        answer = DirectoryFcp(FileIdOf(directory),
                              directory == AdfUsim ? image_.applicationId() : Bytes{},
                              {image_.chv1Enabled(), true});
    } else if (c.p2 == 0x01) {
        if (directory != AdfUsim)
            return Word(sw::IncorrectP1P2);
        const auto& aid = image_.applicationId();
        answer = {0x84, static_cast<std::uint8_t>(aid.size())};
        answer.insert(answer.end(), aid.begin(), aid.end());
    } else if (c.p2 == NoData) {
        return Word(sw::Ok);
    } else {
        return Word(sw::IncorrectP1P2);
    }
    if (Expected(c.p3) != answer.size())
        return Word(WithLength(sw::WrongLe, answer.size()));
    return WithWord(std::move(answer), sw::Ok);
}

UiccCommands::Selected UiccCommands::currentEf(bool wantRecords, bool updating) {
    if (!state_.currentFile)
        return {.error = sw::NoCurrentEf};
    const FilePath path{state_.currentDirectory, *state_.currentFile};
    auto* file = image_.find(path);
    if (!file)
        return {.error = sw::NoCurrentEf};
    if (file->transparent == wantRecords)
        return {.error = sw::IncompatibleFile};
    if (pinProtected(path) ? !pin1Satisfied() : updating)
        return {.error = sw::SecurityNotSatisfied};
    return {file, 0};
}

UiccCommands::RecordChoice UiccCommands::chooseRecord(const Command& c, int count) const {
    // §11.1.5: absolute mode leaves the record pointer alone, NEXT and PREVIOUS move it
    // (from no pointer to the first or last record) and do not interpret P1.
    int record = 0;
    const int mode = c.p2 & 0x07;
    if (mode == AbsoluteOrCurrent)
        record = c.p1 == 0 ? state_.currentRecord : c.p1;
    else if (mode == Next)
        record = state_.currentRecord + 1;
    else if (mode == Previous)
        record = state_.currentRecord == 0 ? count : state_.currentRecord - 1;
    else
        return {.error = sw::IncorrectP1P2};
    if (record < 1 || record > count)
        return {.error = sw::RecordNotFound};
    return {record, mode == AbsoluteOrCurrent ? 0 : record, 0};
}

Bytes UiccCommands::readRecord(const Command& c) {
    // A short file identifier in P2 (b8 to b4): the FCPs say the files have none.
    if (c.p2 >> 3)
        return Word(sw::NotFound);
    auto selected = currentEf(true, false);
    if (!selected.file)
        return Word(selected.error);
    const auto& file = *selected.file;
    auto choice = chooseRecord(c, static_cast<int>(file.records.size()));
    if (choice.error)
        return Word(choice.error);
    if (Expected(c.p3) != static_cast<std::size_t>(file.recordLength))
        return Word(WithLength(sw::WrongLe, static_cast<std::size_t>(file.recordLength)));
    if (choice.newPointer)
        state_.currentRecord = choice.newPointer;
    return WithWord(file.records[static_cast<std::size_t>(choice.record - 1)], sw::Ok);
}

Bytes UiccCommands::updateRecord(const Command& c) {
    if (c.p2 >> 3)
        return Word(sw::NotFound);
    auto selected = currentEf(true, true);
    if (!selected.file)
        return Word(selected.error);
    auto& file = *selected.file;
    if (c.p3 != file.recordLength || c.data.size() != c.p3)
        return Word(sw::WrongLength);
    auto choice = chooseRecord(c, static_cast<int>(file.records.size()));
    if (choice.error)
        return Word(choice.error);
    auto& stored = file.records[static_cast<std::size_t>(choice.record - 1)];
    if (!std::ranges::equal(stored, c.data)) {
        Bytes old = stored;
        stored.assign(c.data.begin(), c.data.end());
        if (persist_ && !persist_(image_)) {
            stored = std::move(old);
            return Word(sw::UiccMemoryProblem);
        }
    }
    if (choice.newPointer)
        state_.currentRecord = choice.newPointer;
    return Word(sw::Ok);
}

Bytes UiccCommands::readBinary(const Command& c) {
    // P1 b8 set: a short file identifier, which these files do not have.
    if (c.p1 & 0x80)
        return Word(sw::NotFound);
    auto selected = currentEf(false, false);
    if (!selected.file)
        return Word(selected.error);
    const auto& body = selected.file->body;
    const std::size_t offset = static_cast<std::size_t>(c.p1 << 8 | c.p2);
    if (offset >= body.size())
        return Word(sw::WrongP1P2);
    const std::size_t available = body.size() - offset;
    if (Expected(c.p3) > available)
        return Word(WithLength(sw::WrongLe, available));
    auto begin = body.begin() + static_cast<std::ptrdiff_t>(offset);
    return WithWord(Bytes(begin, begin + static_cast<std::ptrdiff_t>(Expected(c.p3))), sw::Ok);
}

Bytes UiccCommands::updateBinary(const Command& c) {
    if (c.p1 & 0x80)
        return Word(sw::NotFound);
    auto selected = currentEf(false, true);
    if (!selected.file)
        return Word(selected.error);
    auto& body = selected.file->body;
    const std::size_t offset = static_cast<std::size_t>(c.p1 << 8 | c.p2);
    if (offset >= body.size())
        return Word(sw::WrongP1P2);
    if (c.p3 == 0 || c.data.size() != c.p3 || offset + c.p3 > body.size())
        return Word(sw::WrongLength);
    const CardImage before = image_;
    std::ranges::copy(c.data, body.begin() + static_cast<std::ptrdiff_t>(offset));
    return commit(before, Word(sw::Ok));
}

Bytes UiccCommands::commit(const CardImage& before, Bytes success) {
    if (image_ == before || !persist_ || persist_(image_))
        return success;
    image_ = before;
    return Word(sw::UiccMemoryProblem);
}

} // namespace simcard
