#include "simlib/PhonebookLocation.h"

#include "simlib/CardCommands.h"
#include "simlib/coding/PhonebookReferences.h"

namespace quenlib {

namespace {

constexpr std::uint8_t kFirstRecord = 1;
constexpr DirectoryPath kGlobalPhonebook = DirectoryPath::of(kDfTelecom, kDfPhonebook);
constexpr DirectoryPath kLocalPhonebook = DirectoryPath::of(kCurrentAdf, kDfPhonebook);

// The files the first record of EF_PBR in `directory` names.
std::optional<PhonebookFiles> readPbr(const Connection& connection,
                                      const DirectoryPath& directory) {
    const auto geometry = selectRecordFile(connection, directory, kEfPbr);
    if (!geometry || geometry->recordCount < 1) {
        return std::nullopt;
    }
    const auto record =
        readRecord(connection, kFirstRecord, static_cast<std::uint8_t>(geometry->recordLength));
    if (!record) {
        return std::nullopt;
    }
    return ParsePbrRecord(record->data());
}

// The USIM's AID from EF.DIR, looked up once a connection.
bool findUsim(const Connection& connection) {
    LibraryState& s = state();
    if (!s.usimAid.empty()) {
        return true;
    }
    const auto geometry = selectRecordFile(connection, kMasterPath, kEfDir);
    if (!geometry) {
        return false;
    }
    for (int record = 1; record <= geometry->recordCount; ++record) {
        const auto answer = readRecord(connection, static_cast<std::uint8_t>(record),
                                       static_cast<std::uint8_t>(geometry->recordLength));
        if (!answer) {
            return false;
        }
        if (auto aid = UsimAidOf(answer->data())) {
            s.usimAid = std::move(*aid);
            return true;
        }
    }
    return false;
}

std::optional<PhonebookLocation> throughPbr(const Connection& connection,
                                            const DirectoryPath& directory, PhonebookPlace place) {
    const auto files = readPbr(connection, directory);
    if (!files || !selectRecordFile(connection, directory, files->adn)) {
        return std::nullopt;
    }
    return PhonebookLocation{place, directory, files->adn, files->ext1};
}

} // namespace

std::optional<PhonebookLocation> locateUiccPhonebook(const Connection& connection) {
    if (selectRecordFile(connection, kTelecomPath, kEfAdn)) {
        return PhonebookLocation{PhonebookPlace::Telecom, kTelecomPath, kEfAdn, kEfExt1};
    }
    if (auto global = throughPbr(connection, kGlobalPhonebook, PhonebookPlace::Global)) {
        return global;
    }
    if (!findUsim(connection)) {
        return std::nullopt;
    }
    return throughPbr(connection, kLocalPhonebook, PhonebookPlace::Local);
}

bool hasLocalUsimPhonebook(const Connection& connection) {
    return findUsim(connection) && readPbr(connection, kLocalPhonebook).has_value();
}

} // namespace quenlib
