#include "editor/sim/SimBackup.h"

#include "base/CalendarTime.h"
#include "base/Hex.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>

namespace tarvik {
namespace {

constexpr std::string_view kMagic = "tarvik-sim-backup 1";
constexpr std::string_view kUnknownIccid = "unknown";
constexpr int kMaxRecords = 255;
constexpr int kMinAdnRecordLength = 14;
constexpr std::size_t kMaxIccidDigits = 20;

// CRC-32 (ISO 3309, the one of zip and PNG) of bytes.
std::uint32_t Crc32(std::string_view bytes) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int bit = 0; bit < 8; ++bit) {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc = table[(crc ^ static_cast<std::uint8_t>(byte)) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Decimal digits only (from_chars alone would take a minus sign) as a number from min to max.
std::optional<int> ParseDigits(std::string_view text, int min, int max) {
    if (!IsDigits(text)) {
        return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

// A count or a record number as FormatBackup writes it: no sign and no leading zero, so that
// a file says each number in one way only.
std::optional<int> ParseNumber(std::string_view text, int min, int max) {
    if (text.size() > 1 && text[0] == '0') {
        return std::nullopt;
    }
    return ParseDigits(text, min, max);
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    while (!line.empty()) {
        const std::size_t space = line.find(' ');
        words.push_back(line.substr(0, space));
        if (space == std::string_view::npos) {
            break;
        }
        line.remove_prefix(space + 1);
    }
    return words;
}

// Reads the text line by line; every error names the line it is about.
class BackupReader {
public:
    explicit BackupReader(std::string_view text) : text_(text) {}

    ParsedBackup read() {
        SimBackup backup;
        if (!header(backup)) {
            return failed();
        }
        int adnCount = 0;
        int ext1Count = 0;
        if (!geometry("adn", kMinAdnRecordLength, adnCount, backup.adnRecordLength) ||
            !geometry("ext1", 1, ext1Count, ext1Length_)) {
            return failed();
        }
        if (ext1Length_ != kExt1RecordLength) {
            fail(lineNumber_, "EF EXT1 records of " + std::to_string(ext1Length_) +
                                  " bytes; this program keeps records of " +
                                  std::to_string(kExt1RecordLength));
            return failed();
        }
        if (!records("adn-record", adnCount, backup.adnRecordLength, backup.adn) ||
            !records("ext1-record", ext1Count, kExt1RecordLength, backup.ext1) || !checksum()) {
            return failed();
        }
        return {std::move(backup), {}};
    }

private:
    // The next line without its line end; nothing at the end of the text.
    std::optional<std::string_view> next() {
        if (offset_ >= text_.size()) {
            return std::nullopt;
        }
        const std::size_t end = text_.find('\n', offset_);
        const std::size_t stop = end == std::string_view::npos ? text_.size() : end;
        std::string_view line = text_.substr(offset_, stop - offset_);
        offset_ = end == std::string_view::npos ? text_.size() : end + 1;
        ++lineNumber_;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return line;
    }

    // The next line's words, which must start with keyword and number `count`.
    std::optional<std::vector<std::string_view>> expect(std::string_view keyword, std::size_t count,
                                                        std::string_view what) {
        const auto line = next();
        if (!line) {
            fail(lineNumber_ + 1,
                 "the file ends before " + std::string(what) + ": it was cut short");
            return std::nullopt;
        }
        if (line->ends_with(' ')) {
            fail(lineNumber_, "a blank at the end of the line");
            return std::nullopt;
        }
        auto words = Words(*line);
        if (words.size() != count || words[0] != keyword) {
            fail(lineNumber_, "expected " + std::string(what));
            return std::nullopt;
        }
        return words;
    }

    bool header(SimBackup& backup) {
        const auto magic = next();
        if (!magic || *magic != kMagic) {
            fail(1, "this is no SIM backup of this program (it starts with \"" +
                        std::string(kMagic) + "\")");
            return false;
        }
        const auto iccid = expect("iccid", 2, "\"iccid DIGITS\" or \"iccid unknown\"");
        if (!iccid) {
            return false;
        }
        const std::string_view digits = (*iccid)[1];
        if (digits != kUnknownIccid) {
            if (!IsDigits(digits) || digits.size() > kMaxIccidDigits) {
                fail(lineNumber_, "the ICCID must be 1 to 20 digits or \"unknown\"");
                return false;
            }
            backup.iccid = std::string(digits);
        }
        const auto saved = expect("saved", 2, "\"saved YYYY-MM-DDTHH:MM:SSZ\"");
        if (!saved) {
            return false;
        }
        const auto time = ParseUtcTime((*saved)[1]);
        if (!time) {
            fail(lineNumber_, "expected the time as YYYY-MM-DDTHH:MM:SSZ");
            return false;
        }
        backup.saved = *time;
        return true;
    }

    bool geometry(std::string_view file, int minLength, int& count, int& length) {
        const std::string what = "\"" + std::string(file) + " COUNT LENGTH\"";
        const auto words = expect(file, 3, what);
        if (!words) {
            return false;
        }
        const auto parsedCount = ParseNumber((*words)[1], 0, kMaxRecords);
        const auto parsedLength = ParseNumber((*words)[2], minLength, 255);
        if (!parsedCount || !parsedLength) {
            fail(lineNumber_, "expected " + what + " with a count of 0 to 255 and a length of " +
                                  std::to_string(minLength) + " to 255");
            return false;
        }
        count = *parsedCount;
        length = *parsedLength;
        return true;
    }

    bool records(std::string_view keyword, int count, int length, std::vector<RecordBytes>& out) {
        for (int number = 1; number <= count; ++number) {
            const std::string what =
                "\"" + std::string(keyword) + " " + std::to_string(number) + " HEX\"";
            const auto words = expect(keyword, 3, what);
            if (!words) {
                return false;
            }
            if (ParseNumber((*words)[1], 1, kMaxRecords) != number) {
                fail(lineNumber_, "expected " + what + ": the records must come in order");
                return false;
            }
            auto bytes = FromHex((*words)[2]);
            if (!bytes || static_cast<int>(bytes->size()) != length) {
                fail(lineNumber_,
                     "expected " + std::to_string(length) + " bytes of hex for the record");
                return false;
            }
            out.push_back(std::move(*bytes));
        }
        return true;
    }

    bool checksum() {
        const std::size_t checked = offset_;
        const auto words = expect("crc32", 2, "\"crc32 CHECKSUM\"");
        if (!words) {
            return false;
        }
        const auto value = FromHex((*words)[1]);
        if (!value || value->size() != 4) {
            fail(lineNumber_, "expected the checksum as 8 hex digits");
            return false;
        }
        const std::uint32_t stored = static_cast<std::uint32_t>((*value)[0]) << 24 |
                                     static_cast<std::uint32_t>((*value)[1]) << 16 |
                                     static_cast<std::uint32_t>((*value)[2]) << 8 | (*value)[3];
        if (stored != Crc32(text_.substr(0, checked))) {
            fail(lineNumber_, "the checksum does not match the lines above it: the file was "
                              "changed after it was saved");
            return false;
        }
        if (offset_ < text_.size()) {
            next();
            fail(lineNumber_, "unexpected text after the checksum");
            return false;
        }
        return true;
    }

    void fail(int line, const std::string& what) {
        error_ = "line " + std::to_string(line) + ": " + what;
    }

    ParsedBackup failed() const { return {std::nullopt, error_}; }

    std::string_view text_;
    std::size_t offset_ = 0;
    int lineNumber_ = 0;
    int ext1Length_ = 0;
    std::string error_;
};

} // namespace

int SimBackup::usedRecords() const {
    return static_cast<int>(std::count_if(adn.begin(), adn.end(), [](const RecordBytes& record) {
        return std::any_of(record.begin(), record.end(), [](std::uint8_t b) { return b != 0xFF; });
    }));
}

std::string FormatBackup(const SimBackup& backup) {
    std::string text;
    text += kMagic;
    text += "\niccid ";
    text += backup.iccid ? *backup.iccid : std::string(kUnknownIccid);
    text += "\nsaved " + UtcTimeText(backup.saved);
    text +=
        "\nadn " + std::to_string(backup.adn.size()) + " " + std::to_string(backup.adnRecordLength);
    text += "\next1 " + std::to_string(backup.ext1.size()) + " " +
            std::to_string(kExt1RecordLength) + "\n";
    for (std::size_t i = 0; i < backup.adn.size(); ++i) {
        text += "adn-record " + std::to_string(i + 1) + " " + ToHex(backup.adn[i]) + "\n";
    }
    for (std::size_t i = 0; i < backup.ext1.size(); ++i) {
        text += "ext1-record " + std::to_string(i + 1) + " " + ToHex(backup.ext1[i]) + "\n";
    }
    char checksum[16];
    std::snprintf(checksum, sizeof checksum, "%08X", Crc32(text));
    text += "crc32 ";
    text += checksum;
    text += "\n";
    return text;
}

ParsedBackup ParseBackup(std::string_view text) {
    return BackupReader(text).read();
}

std::string UtcTimeText(std::time_t time) {
    const std::tm parts = base::UtcCalendarTime(time);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

std::optional<std::time_t> ParseUtcTime(std::string_view text) {
    // YYYY-MM-DDTHH:MM:SSZ, each field its fixed width.
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || text[19] != 'Z') {
        return std::nullopt;
    }
    const auto field = [&](std::size_t at, std::size_t width, int min, int max) {
        return ParseDigits(text.substr(at, width), min, max);
    };
    const auto year = field(0, 4, 1970, 9999);
    const auto month = field(5, 2, 1, 12);
    const auto day = field(8, 2, 1, 31);
    const auto hour = field(11, 2, 0, 23);
    const auto minute = field(14, 2, 0, 59);
    const auto second = field(17, 2, 0, 59);
    if (!year || !month || !day || !hour || !minute || !second) {
        return std::nullopt;
    }
    std::tm parts{};
    parts.tm_year = *year - 1900;
    parts.tm_mon = *month - 1;
    parts.tm_mday = *day;
    parts.tm_hour = *hour;
    parts.tm_min = *minute;
    parts.tm_sec = *second;
    const std::time_t time = base::TimeFromUtcCalendar(parts);
    // A day that the month does not have (February 30) comes back as another date: only a
    // time written as this program writes it is taken.
    if (UtcTimeText(time) != text) {
        return std::nullopt;
    }
    return time;
}

} // namespace tarvik
