#include "tools/simcard/core/CardImage.h"

#include "base/Hex.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>
#include <system_error>

namespace simcard {

namespace {

// Version 1 knows DFs under the MF only; version 2 adds the UICC, its ADF and the DFs
// inside a DF. An image that needs none of that is still written as version 1.
constexpr std::string_view Magic = "simcard-image 1";
constexpr std::string_view MagicVersion2 = "simcard-image 2";
constexpr int ChvAttempts = 3;
constexpr int UnblockAttempts = 10;
const Bytes FreeCaseRecord(CaseRecordLength, 0xFF);

// A record of `length` bytes, all FF but the first byte.
Bytes FreeRecord(int length, std::uint8_t firstByte = 0xFF) {
    Bytes record(static_cast<std::size_t>(length), 0xFF);
    if (!record.empty())
        record[0] = firstByte;
    return record;
}

std::string FileIdText(std::uint16_t id) {
    const std::uint8_t bytes[] = {static_cast<std::uint8_t>(id >> 8),
                                  static_cast<std::uint8_t>(id & 0xFF)};
    return tarvik::ToHex(bytes);
}

// "7F10", or "7F10/5F3A" for a DF inside a DF.
std::string DirectoryText(DirectoryId df) {
    if (!IsNested(df))
        return FileIdText(FileIdOf(df));
    return FileIdText(FileIdOf(ParentOf(df))) + "/" + FileIdText(FileIdOf(df));
}

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < line.size()) {
        auto start = line.find_first_not_of(" \t\r", pos);
        if (start == std::string_view::npos)
            break;
        auto end = line.find_first_of(" \t\r", start);
        if (end == std::string_view::npos)
            end = line.size();
        words.push_back(line.substr(start, end - start));
        pos = end;
    }
    return words;
}

// Reads one line's statements; every failure names the line it came from.
class LineParser {
public:
    LineParser(int lineNumber, std::vector<std::string_view> words)
        : lineNumber_(lineNumber), words_(std::move(words)) {}

    [[noreturn]] void fail(const std::string& what) const {
        throw ImageError("card image line " + std::to_string(lineNumber_) + ": " + what);
    }
    void expectWords(std::size_t count) const {
        if (words_.size() != count)
            fail("expected " + std::to_string(count) + " words");
    }
    int number(std::size_t index, int min, int max) const {
        auto word = words_.at(index);
        int value = 0;
        auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (error != std::errc() || end != word.data() + word.size() || value < min || value > max)
            fail("'" + std::string(word) + "' is not a number from " + std::to_string(min) +
                 " to " + std::to_string(max));
        return value;
    }
    std::uint16_t fileId(std::size_t index) const { return FileIdText(words_.at(index)); }
    // A directory as DirectoryText() writes it.
    DirectoryId directory(std::size_t index) const {
        const auto word = words_.at(index);
        const auto slash = word.find('/');
        if (slash == std::string_view::npos)
            return FileIdText(word);
        return Inside(FileIdText(word.substr(0, slash)), FileIdText(word.substr(slash + 1)));
    }
    std::uint16_t FileIdText(std::string_view text) const {
        auto bytes = tarvik::FromHex(text, tarvik::HexSpacing::Spaced);
        if (!bytes || bytes->size() != 2)
            fail("'" + std::string(text) + "' is not a file identifier");
        return static_cast<std::uint16_t>((*bytes)[0] << 8 | (*bytes)[1]);
    }
    Bytes bytes(std::size_t index, std::size_t size) const {
        auto bytes = tarvik::FromHex(words_.at(index), tarvik::HexSpacing::Spaced);
        if (!bytes || bytes->size() != size)
            fail("expected " + std::to_string(size) + " bytes of hex");
        return *bytes;
    }
    SecretCode code(int maxLimit) const {
        SecretCode code;
        auto value = bytes(2, 8);
        std::copy(value.begin(), value.end(), code.value.begin());
        code.maxAttempts = number(4, 1, maxLimit);
        code.attemptsLeft = number(3, 0, code.maxAttempts);
        return code;
    }
    std::string_view word(std::size_t index) const { return words_.at(index); }

private:
    int lineNumber_;
    std::vector<std::string_view> words_;
};

// The first record of EF DIR (ETSI TS 102 221 §13.1): the application template 61 with
// the USIM's AID (4F) and its label (50), then FF.
Bytes UsimDirectoryRecord(std::size_t length) {
    Bytes record = {0x61, 0x00, 0x4F, static_cast<std::uint8_t>(UsimAid.size())};
    record.insert(record.end(), UsimAid.begin(), UsimAid.end());
    record.insert(record.end(), {0x50, 0x04, 'U', 'S', 'I', 'M'});
    record[1] = static_cast<std::uint8_t>(record.size() - 2);
    record.resize(length, 0xFF);
    return record;
}

// The one used record of an EF PBR (3GPP TS 31.102 §4.4.2.1): the type 1 files in A8 (EF
// ADN in C0), the type 3 files in AA (EF EXT1 in C2), each by its file identifier.
Bytes PhonebookReference(std::size_t length, bool withExt1) {
    Bytes record = {0xA8, 0x04, 0xC0, 0x02, EfPhonebookAdn >> 8, EfPhonebookAdn & 0xFF};
    if (withExt1)
        record.insert(record.end(),
                      {0xAA, 0x04, 0xC2, 0x02, EfPhonebookExt1 >> 8, EfPhonebookExt1 & 0xFF});
    record.resize(length, 0xFF);
    return record;
}

constexpr int DirRecordLength = 32;
constexpr int PbrRecordLength = 32;

} // namespace

void CardImage::addPhonebook(DirectoryId df, const CardSettings& s) {
    addDirectory(df);
    auto& pbr = addRecordFile({df, EfPbr}, 2, PbrRecordLength, FreeRecord(PbrRecordLength));
    pbr.records[0] = PhonebookReference(PbrRecordLength, s.ext1Records >= 0);
    addRecordFile({df, EfPhonebookAdn}, s.adnRecords, s.adnRecordLength,
                  FreeRecord(s.adnRecordLength));
    if (s.ext1Records >= 0)
        addRecordFile({df, EfPhonebookExt1}, s.ext1Records, s.ext1RecordLength,
                      FreeRecord(s.ext1RecordLength));
}

CardImage CardImage::create(const CardSettings& s) {
    if (auto error = Validate(s))
        throw ImageError(*error);
    CardImage image;
    if (s.uicc) {
        image.uicc_ = true;
        image.gsmClass_ = s.gsmClass;
        image.applicationId_ = UsimAid;
        auto& dir = image.addRecordFile({MasterFile, EfDir}, 2, DirRecordLength,
                                        FreeRecord(DirRecordLength));
        dir.records[0] = UsimDirectoryRecord(DirRecordLength);
    }
    // A SIM has EF ICCID under the MF (unless told otherwise) and DF GSM beside DF Telecom.
    if (s.iccid) {
        ElementaryFile iccid;
        iccid.transparent = true;
        iccid.body = IccidBytes(*s.iccid);
        image.files_[{MasterFile, EfIccid}] = iccid;
    }
    image.directories_.push_back(DfTelecom);
    // A UICC answering class 00 only has no GSM directory to offer.
    if (!s.uicc)
        image.directories_.push_back(DfGsm);
    if (s.phonebook == PhonebookLayout::Telecom) {
        image.addRecordFile({DfTelecom, EfAdn}, s.adnRecords, s.adnRecordLength,
                            FreeRecord(s.adnRecordLength));
        if (s.ext1Records >= 0)
            image.addRecordFile({DfTelecom, EfExt1}, s.ext1Records, s.ext1RecordLength,
                                FreeRecord(s.ext1RecordLength));
    } else if (s.phonebook == PhonebookLayout::Global) {
        image.addPhonebook(DfGlobalPhonebook, s);
    }
    if (s.phonebook == PhonebookLayout::Local || s.localPhonebook)
        image.addPhonebook(DfLocalPhonebook, s);
    // A free GSM short message record has status 00; the rest of it is FF.
    image.addRecordFile({DfTelecom, EfSms}, s.smsRecords, s.smsRecordLength,
                        FreeRecord(s.smsRecordLength, 0x00));
    image.addRecordFile({DfTelecom, EfMsisdn}, s.msisdnRecords, s.msisdnRecordLength,
                        FreeRecord(s.msisdnRecordLength));
    if (s.cdmaDirectory) {
        // A free CDMA record is all 00, as the phones that use them erase one.
        image.directories_.push_back(DfCdma);
        image.addRecordFile({DfCdma, EfSms}, s.smsRecords, CdmaSmsRecordLength,
                            Bytes(static_cast<std::size_t>(CdmaSmsRecordLength), 0x00));
    }
    image.chv_[0] = SecretCode::fromText(s.pin1, ChvAttempts);
    image.chv_[1] = SecretCode::fromText(s.pin2, ChvAttempts);
    image.unblock_[0] = SecretCode::fromText(s.puk1, UnblockAttempts);
    image.unblock_[1] = SecretCode::fromText(s.puk2, UnblockAttempts);
    image.chv1Enabled_ = s.pin1Enabled;
    image.caseCard_ = s.caseCard || !s.caseRecords.empty();
    if (image.caseCard_) {
        image.caseSlots_ = s.caseSlots;
        for (const auto& [number, record] : s.caseRecords) {
            image.caseSlots_ = std::max(image.caseSlots_, number + 1);
            image.setCaseRecord(number, record);
        }
    }
    return image;
}

void CardImage::addDirectory(DirectoryId df) {
    if (hasDirectory(df))
        return;
    if (IsNested(df))
        nested_.push_back(df);
    else if (df == AdfUsim)
        setApplication(UsimAid);
    else
        directories_.push_back(static_cast<std::uint16_t>(df));
}

void CardImage::setApplication(Bytes aid) {
    applicationId_ = std::move(aid);
}

ElementaryFile& CardImage::addRecordFile(FilePath path, int records, int recordLength,
                                         const Bytes& free) {
    ElementaryFile file;
    file.recordLength = recordLength;
    file.records.assign(static_cast<std::size_t>(records), free);
    return files_[path] = std::move(file);
}

void CardImage::removeFile(FilePath path) {
    files_.erase(path);
}

Bytes CardImage::caseRecord(std::uint16_t number) const {
    auto found = caseRecords_.find(number);
    return found == caseRecords_.end() ? FreeCaseRecord : found->second;
}

void CardImage::setCaseRecord(std::uint16_t number, const Bytes& record) {
    if (record == FreeCaseRecord)
        caseRecords_.erase(number);
    else
        caseRecords_[number] = record;
}

bool CardImage::hasDirectory(DirectoryId df) const {
    if (IsNested(df))
        return std::ranges::find(nested_, df) != nested_.end();
    if (df == AdfUsim && !applicationId_.empty())
        return true;
    return std::ranges::find(directories_, df) != directories_.end();
}

std::vector<std::uint16_t> CardImage::filesIn(DirectoryId df) const {
    std::vector<std::uint16_t> ids;
    for (const auto& [path, file] : files_)
        if (path.df == df)
            ids.push_back(path.ef);
    return ids;
}

ElementaryFile* CardImage::find(FilePath path) {
    auto it = files_.find(path);
    return it == files_.end() ? nullptr : &it->second;
}

const ElementaryFile* CardImage::find(FilePath path) const {
    auto it = files_.find(path);
    return it == files_.end() ? nullptr : &it->second;
}

const std::vector<Bytes>& CardImage::records(FilePath path) const {
    const auto* file = find(path);
    if (!file)
        throw std::out_of_range("no file " + DirectoryText(path.df) + "/" + FileIdText(path.ef));
    return file->records;
}

std::string CardImage::serialise() const {
    std::ostringstream out;
    const bool version2 = uicc_ || !applicationId_.empty() || !nested_.empty();
    out << (version2 ? MagicVersion2 : Magic) << "\n";
    if (uicc_)
        out << "uicc\n";
    if (gsmClass_)
        out << "gsm-class\n";
    for (int n = 1; n <= 2; ++n) {
        const auto& c = chv(n);
        const auto& u = unblockCode(n);
        out << "chv " << n << ' ' << tarvik::ToHex(c.value) << ' ' << c.attemptsLeft << ' '
            << c.maxAttempts << "\n";
        out << "unblock " << n << ' ' << tarvik::ToHex(u.value) << ' ' << u.attemptsLeft << ' '
            << u.maxAttempts << "\n";
    }
    out << "chv1-enabled " << (chv1Enabled_ ? 1 : 0) << "\n";
    if (caseCard_)
        out << "case-card " << caseSlots_ << "\n";
    for (const auto& [number, record] : caseRecords_)
        out << "case " << number << ' ' << tarvik::ToHex(record) << "\n";
    for (auto df : directories_)
        out << "df " << FileIdText(df) << "\n";
    if (!applicationId_.empty())
        out << "adf " << tarvik::ToHex(applicationId_) << "\n";
    for (auto df : nested_)
        out << "df " << DirectoryText(df) << "\n";
    for (const auto& [path, file] : files_) {
        if (file.transparent)
            out << "binary " << DirectoryText(path.df) << ' ' << FileIdText(path.ef) << ' '
                << tarvik::ToHex(file.body) << "\n";
        else
            out << "ef " << DirectoryText(path.df) << ' ' << FileIdText(path.ef) << ' '
                << file.records.size() << ' ' << file.recordLength << "\n";
    }
    // The records make up nearly all of the text; they are appended directly because the
    // image is rewritten after every change.
    std::string text = out.str();
    for (const auto& [path, file] : files_) {
        const std::string prefix =
            "record " + DirectoryText(path.df) + ' ' + FileIdText(path.ef) + ' ';
        text.reserve(text.size() +
                     file.records.size() * (prefix.size() + 5 + 2 * file.recordLength));
        for (std::size_t i = 0; i < file.records.size(); ++i) {
            text += prefix;
            text += std::to_string(i + 1);
            text += ' ';
            tarvik::AppendHex(text, file.records[i]);
            text += '\n';
        }
    }
    return text;
}

CardImage CardImage::parse(std::string_view text) {
    CardImage image;
    int version = 0; // 0: no magic line yet
    std::array<bool, 2> seenChv{}, seenUnblock{};
    bool seenEnabled = false;
    bool seenCaseCard = false;
    int lineNumber = 0;
    std::size_t pos = 0;
    // Version 2 allows EFs in the MF and in DFs inside DFs, whose identifiers start with 4F.
    auto checkFileId = [&](const LineParser& p, std::uint16_t id, std::initializer_list<int> highs,
                           const char* what) {
        const int high = id >> 8;
        if (std::ranges::find(highs, high) == highs.end() &&
            !(version == 2 && (high == 0x4F || high == 0x2F || high == 0x6F)))
            p.fail(what);
    };
    while (pos < text.size()) {
        auto end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        auto line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        auto words = SplitWords(line);
        if (words.empty() || words[0].starts_with('#'))
            continue;
        LineParser p(lineNumber, words);
        auto keyword = words[0];
        if (version == 0) {
            if (words.size() != 2 || keyword != "simcard-image" ||
                (words[1] != "1" && words[1] != "2"))
                p.fail("not a card image (expected '" + std::string(Magic) + "' or '" +
                       std::string(MagicVersion2) + "')");
            version = words[1] == "1" ? 1 : 2;
        } else if (keyword == "chv" || keyword == "unblock") {
            bool isChv = keyword == "chv";
            p.expectWords(5);
            int n = p.number(1, 1, 2);
            auto& seen = isChv ? seenChv : seenUnblock;
            if (seen[n - 1])
                p.fail("code given twice");
            seen[n - 1] = true;
            (isChv ? image.chv_ : image.unblock_)[n - 1] = p.code(15);
        } else if (keyword == "chv1-enabled") {
            p.expectWords(2);
            image.chv1Enabled_ = p.number(1, 0, 1) == 1;
            seenEnabled = true;
        } else if (keyword == "case-card") {
            p.expectWords(2);
            if (seenCaseCard)
                p.fail("case-card given twice");
            seenCaseCard = true;
            image.caseCard_ = true;
            image.caseSlots_ = p.number(1, 0, MaxCaseSlots);
        } else if (keyword == "case") {
            p.expectWords(3);
            auto number = static_cast<std::uint16_t>(p.number(1, 0, MaxCaseSlots - 1));
            if (image.caseRecords_.contains(number))
                p.fail("case record given twice");
            if (seenCaseCard && number >= image.caseSlots_)
                p.fail("case record beyond the case-card's records");
            image.setCaseRecord(number, p.bytes(2, CaseRecordLength));
        } else if (version == 2 && keyword == "uicc") {
            p.expectWords(1);
            image.uicc_ = true;
        } else if (version == 2 && keyword == "gsm-class") {
            p.expectWords(1);
            image.gsmClass_ = true;
        } else if (version == 2 && keyword == "adf") {
            p.expectWords(2);
            auto aid = tarvik::FromHex(p.word(1), tarvik::HexSpacing::Spaced);
            if (!aid || aid->size() < 5 || aid->size() > 16)
                p.fail("an application identifier is 5 to 16 bytes of hex");
            if (!image.applicationId_.empty())
                p.fail("adf given twice");
            image.applicationId_ = *aid;
        } else if (keyword == "df") {
            p.expectWords(2);
            const DirectoryId df = version == 2 ? p.directory(1) : p.fileId(1);
            const auto parent = ParentOf(df);
            const auto high = FileIdOf(df) >> 8;
            if (!IsNested(df) && (df == MasterFile || high != 0x7F))
                p.fail("a directory identifier starts with 7F");
            // 7FFF names the current application; the ADF is declared by its AID.
            if (version == 2 && df == AdfUsim)
                p.fail("the ADF is declared with 'adf'");
            if (IsNested(df) && (IsNested(parent) || (high != 0x5F && high != 0x7F)))
                p.fail("a directory inside a directory starts with 5F or 7F");
            if (IsNested(df) && !image.hasDirectory(parent))
                p.fail("directory not declared before the directory inside it");
            if (image.hasDirectory(df))
                p.fail("directory given twice");
            if (IsNested(df))
                image.nested_.push_back(df);
            else if (std::ranges::find(image.directories_, df) == image.directories_.end())
                image.directories_.push_back(static_cast<std::uint16_t>(df));
            else
                p.fail("directory given twice");
        } else if (keyword == "ef") {
            p.expectWords(5);
            FilePath path{version == 2 ? p.directory(1) : p.fileId(1), p.fileId(2)};
            if (!image.hasDirectory(path.df) && !(version == 2 && path.df == MasterFile))
                p.fail("directory not declared before its file");
            checkFileId(p, path.ef, {0x6F}, "a file identifier starts with 6F");
            if (image.find(path))
                p.fail("file given twice");
            int records = p.number(3, 0, 255);
            int length = p.number(4, 1, 255);
            image.addRecordFile(path, records, length, FreeRecord(length));
        } else if (keyword == "binary") {
            p.expectWords(4);
            FilePath path{version == 2 ? p.directory(1) : p.fileId(1), p.fileId(2)};
            if (path.df != MasterFile && !image.hasDirectory(path.df))
                p.fail("directory not declared before its file");
            checkFileId(p, path.ef, {0x6F, 0x2F}, "a file identifier starts with 6F or 2F");
            if (image.find(path))
                p.fail("file given twice");
            auto body = tarvik::FromHex(p.word(3), tarvik::HexSpacing::Spaced);
            if (!body || body->empty() || body->size() > 0x7FFF)
                p.fail("expected the file's bytes in hex");
            ElementaryFile file;
            file.transparent = true;
            file.body = *body;
            image.files_[path] = std::move(file);
        } else if (keyword == "record") {
            p.expectWords(5);
            auto* file = image.find({version == 2 ? p.directory(1) : p.fileId(1), p.fileId(2)});
            if (!file || file->transparent)
                p.fail("record of an undeclared file");
            if (file->records.empty())
                p.fail("record of a file without records");
            int number = p.number(3, 1, static_cast<int>(file->records.size()));
            file->records[static_cast<std::size_t>(number - 1)] =
                p.bytes(4, static_cast<std::size_t>(file->recordLength));
        } else {
            p.fail("unknown statement '" + std::string(keyword) + "'");
        }
    }
    if (version == 0)
        throw ImageError("card image is empty");
    if (!seenChv[0] || !seenChv[1] || !seenUnblock[0] || !seenUnblock[1] || !seenEnabled)
        throw ImageError("card image lacks a chv, unblock or chv1-enabled statement");
    if (!image.caseRecords_.empty() && !seenCaseCard) {
        // Case records alone make a case card with just enough records.
        image.caseCard_ = true;
        image.caseSlots_ = image.caseRecords_.rbegin()->first + 1;
    }
    if (!image.caseRecords_.empty() && image.caseRecords_.rbegin()->first >= image.caseSlots_)
        throw ImageError("card image has a case record beyond the case-card's records");
    return image;
}

CardImage CardImage::load(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ImageError("cannot open card image " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        throw ImageError("cannot read card image " + path.string());
    try {
        return parse(text.str());
    } catch (const ImageError& e) {
        throw ImageError(path.string() + ": " + e.what());
    }
}

void CardImage::save(const std::filesystem::path& path) const {
    auto temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << serialise();
        out.flush();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw ImageError("cannot write card image " + temporary.string());
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        throw ImageError("cannot replace card image " + path.string());
    }
}

} // namespace simcard
