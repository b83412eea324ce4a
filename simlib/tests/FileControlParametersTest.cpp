// FCP templates as ETSI TS 102 221 §11.1.1.3 lays them out, and the files EF_PBR and EF.DIR
// name (3GPP TS 31.102 §4.4.2.1, ETSI TS 102 221 §13.1).
#include "simlib/coding/FileControlParameters.h"

#include "base/Hex.h"
#include "simlib/coding/PhonebookReferences.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace quenlib {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(const std::string& text) {
    return tarvik::FromHex(text, tarvik::HexSpacing::Spaced).value();
}

TEST(FileControlParameters, ReadsTheFieldsTheLibraryUses) {
    struct Case {
        const char* name;
        std::string fcp;
        unsigned recordLength;
        unsigned recordCount;
        unsigned size;
        bool deactivated;
        std::optional<bool> pin1Enabled;
    };
    const Case cases[] = {
        // EF ADN: linear fixed (42), 250 records of 28 bytes, 7,000 bytes, operational and
        // activated (05), tags this library skips (83, 8B, 88).
        {"EF ADN",
         "62 19 82 05 42 21 00 1C FA 83 02 6F 3A 8A 01 05 8B 03 6F 06 02 80 02 1B 58 88 00", 28,
         250, 7000, false, std::nullopt},
        // Only a total file size (81).
        {"total size", "62 0B 82 05 42 21 00 0D 0A 81 02 00 A0", 13, 10, 160, false, std::nullopt},
        // Operational and deactivated (04 and 06): the file is not used.
        {"deactivated", "62 0C 82 05 42 21 00 1C 0A 8A 01 04 80 00", 28, 10, 0, true, std::nullopt},
        {"deactivated 06", "62 0A 82 05 42 21 00 1C 0A 8A 01 06", 28, 10, 0, true, std::nullopt},
        // The MF: the PS_DO's first bit goes with the first key reference, PIN1 (01).
        {"PIN1 enabled",
         "62 1E 82 02 78 21 83 02 3F 00 A5 03 80 01 71 8A 01 05 "
         "C6 0C 90 01 80 83 01 01 83 01 0A 83 01 81",
         0, 0, 0, false, true},
        {"PIN1 disabled",
         "62 1E 82 02 78 21 83 02 3F 00 A5 03 80 01 71 8A 01 05 "
         "C6 0C 90 01 00 83 01 01 83 01 0A 83 01 81",
         0, 0, 0, false, false},
        // PIN1 second among the key references; a usage qualifier (95) between them.
        {"PIN1 second", "62 12 82 02 78 21 C6 0C 90 01 40 83 01 0A 95 01 08 83 01 01", 0, 0, 0,
         false, true},
        // A template without key reference 01 says nothing of PIN1.
        {"no PIN1", "62 0C 82 02 78 21 C6 06 90 01 80 83 01 0A", 0, 0, 0, false, std::nullopt},
        // A length in the two-byte form (81 xx).
        {"long form", "62 81 07 82 05 42 21 00 1C 02", 28, 2, 0, false, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto parse = ParseFcp(BytesOf(c.fcp));
        ASSERT_TRUE(parse.fcp) << c.name << ": " << parse.error;
        EXPECT_EQ(parse.fcp->recordLength, c.recordLength) << c.name;
        EXPECT_EQ(parse.fcp->recordCount, c.recordCount) << c.name;
        EXPECT_EQ(parse.fcp->size, c.size) << c.name;
        EXPECT_EQ(parse.fcp->isDeactivated(), c.deactivated) << c.name;
        EXPECT_EQ(parse.fcp->pin1Enabled, c.pin1Enabled) << c.name;
    }
    EXPECT_TRUE(ParseFcp(BytesOf("62 04 82 02 78 21")).fcp->isDirectory());
    EXPECT_FALSE(ParseFcp(BytesOf("62 04 82 02 41 21")).fcp->isRecordFile());
}

TEST(FileControlParameters, MalformedTemplatesGiveAnError) {
    const char* const cases[] = {
        "",
        "62",
        "62 81",                               // the long length form cut short
        "62 10 82 05 42 21 00 1C FA",          // the template runs past the end
        "6F 07 82 05 42 21 00 1C FA",          // no FCP template
        "62 03 8A 01 05",                      // no file descriptor
        "62 07 82 09 42 21 00 1C FA",          // the descriptor runs past the template
        "62 05 82 03 42 21 00",                // a descriptor of 3 bytes
        "62 08 82 02 78 21 8A 02 05 05",       // a life cycle of 2 bytes
        "62 09 82 02 78 21 C6 03 90 05 80",    // the PS_DO runs past the PIN template
        "62 0A 82 02 78 21 C6 04 83 02 01 01", // a key reference of 2 bytes
        "62 04 82 83 00 01",                   // a length form the card does not use
    };
    for (const char* bytes : cases) {
        const auto parse = ParseFcp(BytesOf(bytes));
        EXPECT_FALSE(parse.fcp) << bytes;
        EXPECT_FALSE(parse.error.empty()) << bytes;
    }
}

TEST(PhonebookReferences, PbrNamesTheFirstAdnAndTheExt1) {
    struct Case {
        std::string record;
        std::optional<std::uint16_t> adn;
        std::uint16_t ext1;
    };
    const Case cases[] = {
        // Type 1 files (A8: C0 EF ADN, C5 EF PBC, C4 EF IAP), type 3 files (AA: C2 EF EXT1).
        {"A8 0F C0 03 4F 3A 01 C5 03 4F 09 05 C4 03 4F 11 02 AA 05 C2 03 4F 4A 03 FF FF", 0x4F3A,
         0x4F4A},
        // Without an SFI; without EF EXT1.
        {"A8 04 C0 02 4F 3B FF FF", 0x4F3B, 0},
        // Only the first A8 entry counts; a type 2 entry (A9) before it changes nothing.
        {"A9 05 C6 03 4F 50 07 A8 04 C0 02 4F 3A A8 04 C0 02 4F 3C AA 04 C2 02 4F 4A", 0x4F3A,
         0x4F4A},
        // No EF ADN, lengths that lie, nothing but padding.
        {"AA 05 C2 03 4F 4A 03", std::nullopt, 0},
        {"A8 0F C0 03 4F 3A", std::nullopt, 0},
        {"A8 04 C0 05 4F 3A", std::nullopt, 0},
        {"A8 03 C0 01 4F", std::nullopt, 0},
        {"FF FF FF FF", std::nullopt, 0},
    };
    for (const Case& c : cases) {
        const auto files = ParsePbrRecord(BytesOf(c.record));
        ASSERT_EQ(files.has_value(), c.adn.has_value()) << c.record;
        if (files) {
            EXPECT_EQ(files->adn, *c.adn) << c.record;
            EXPECT_EQ(files->ext1, c.ext1) << c.record;
        }
    }
}

TEST(PhonebookReferences, DirRecordGivesTheUsimAid) {
    struct Case {
        std::string record;
        std::optional<std::string> aid;
    };
    const Case cases[] = {
        {"61 14 4F 0C A0 00 00 00 87 10 02 FF 33 FF FF 89 50 04 55 53 49 4D FF FF",
         "A0 00 00 00 87 10 02 FF 33 FF FF 89"},
        {"61 09 4F 07 A0 00 00 00 87 10 02", "A0 00 00 00 87 10 02"},
        // An ISIM (10 04) is not the USIM; nor a record without an AID, or one that lies.
        {"61 0E 4F 0C A0 00 00 00 87 10 04 FF 33 FF FF 89", std::nullopt},
        {"61 06 50 04 55 53 49 4D", std::nullopt},
        {"61 20 4F 0C A0 00 00 00 87 10 02", std::nullopt},
        {"FF FF FF FF", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto aid = UsimAidOf(BytesOf(c.record));
        ASSERT_EQ(aid.has_value(), c.aid.has_value()) << c.record;
        if (aid) {
            EXPECT_EQ(*aid, BytesOf(*c.aid)) << c.record;
        }
    }
}

} // namespace
} // namespace quenlib
