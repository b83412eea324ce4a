#include "tools/simcard/core/CardImage.h"

#include "base/Hex.h"
#include "testing/TemporaryFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace simcard {
namespace {

namespace fs = std::filesystem;

using tarvik::testing::TemporaryFolder;

std::string readAll(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::string MinimalImage = "simcard-image 1\n"
                                 "chv 1 31323334FFFFFFFF 3 3\n"
                                 "unblock 1 3132333435363738 10 10\n"
                                 "chv 2 35363738FFFFFFFF 3 3\n"
                                 "unblock 2 3837363534333231 10 10\n"
                                 "chv1-enabled 1\n";

TEST(CardImageTest, SettingsShapeANewImage) {
    CardSettings s;
    s.adnRecords = 8;
    s.adnRecordLength = 20;
    s.ext1Records = -1;
    s.smsRecords = 3;
    s.msisdnRecords = 1;
    s.cdmaDirectory = true;
    s.pin1 = "9";
    s.pin1Enabled = false;
    auto image = CardImage::create(s);
    EXPECT_EQ(image.records({DfTelecom, EfAdn}).size(), 8u);
    EXPECT_EQ(image.find({DfTelecom, EfAdn})->recordLength, 20);
    EXPECT_EQ(image.find({DfTelecom, EfExt1}), nullptr);
    EXPECT_EQ(image.records({DfCdma, EfSms}).size(), 3u);
    EXPECT_EQ(image.directories(), (std::vector<std::uint16_t>{DfTelecom, DfGsm, DfCdma}));
    EXPECT_TRUE(image.find({MasterFile, EfIccid})->transparent);
    EXPECT_EQ(tarvik::ToHex(image.chv(1).value), "39FFFFFFFFFFFFFF");
    EXPECT_EQ(image.unblockCode(2).attemptsLeft, 10);
    EXPECT_FALSE(image.chv1Enabled());
    EXPECT_THROW(image.records({DfTelecom, EfExt1}), std::out_of_range);
}

TEST(CardImageTest, RefusesSettingsACardCannotHold) {
    const std::pair<const char*, void (*)(CardSettings&)> cases[] = {
        {"ADN record too short for a number", [](CardSettings& s) { s.adnRecordLength = 13; }},
        {"256 ADN records", [](CardSettings& s) { s.adnRecords = 256; }},
        {"negative SMS count", [](CardSettings& s) { s.smsRecords = -1; }},
        {"EXT1 count below -1", [](CardSettings& s) { s.ext1Records = -2; }},
        {"record longer than 255", [](CardSettings& s) { s.smsRecordLength = 256; }},
        {"nine-character PIN", [](CardSettings& s) { s.pin1 = "123456789"; }},
    };
    for (auto [name, change] : cases) {
        CardSettings s;
        change(s);
        EXPECT_TRUE(Validate(s).has_value()) << name;
        EXPECT_THROW(CardImage::create(s), ImageError) << name;
    }
    EXPECT_FALSE(Validate({}).has_value());
}

TEST(CardImageTest, SavedImageLoadsBackEqual) {
    TemporaryFolder folder;
    CardSettings s;
    s.cdmaDirectory = true;
    s.ext1Records = 0;
    auto image = CardImage::create(s);
    image.chv(1).attemptsLeft = 1;
    image.unblockCode(1).value[0] = 0x00;
    image.setChv1Enabled(false);
    s.caseRecords[513] = Bytes(32, 0x5A);
    auto withCases = CardImage::create(s);
    EXPECT_EQ(withCases.caseSlots(), 514);
    EXPECT_EQ(CardImage::parse(withCases.serialise()), withCases);
    s.caseRecords.clear();
    s.caseCard = true;
    auto emptyCaseCard = CardImage::create(s);
    EXPECT_EQ(CardImage::parse(emptyCaseCard.serialise()), emptyCaseCard);
    auto path = folder.path() / "card.img";
    image.save(path);
    EXPECT_EQ(CardImage::load(path), image);
    EXPECT_FALSE(fs::exists(folder.path() / "card.img.tmp"));
}

TEST(CardImageTest, UnlistedRecordsAreEmptyAndCommentsAreIgnored) {
    auto image =
        CardImage::parse(MinimalImage + "# a comment\n\n"
                                        "df 7F10\n"
                                        "ef 7F10 6F3A 3 14\n"
                                        "record 7F10 6F3A 2 0102030405060708090A0B0C0D0E\n");
    const auto& records = image.records({DfTelecom, EfAdn});
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(tarvik::ToHex(records[0]), std::string(28, 'F'));
    EXPECT_EQ(tarvik::ToHex(records[1]), "0102030405060708090A0B0C0D0E");
}

TEST(CardImageTest, MalformedImagesAreRefusedWithTheirLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "empty"},
        {"simcard-image 3\n", "line 1"},
        {"hello\n", "line 1"},
        {MinimalImage + "ef 7F10 6F3A 3 14\n", "line 7"}, // directory not declared
        {MinimalImage + "df 7F10\nef 7F10 6F3A 3 14\nrecord 7F10 6F3A 4 " + std::string(28, '0') +
             "\n",
         "line 9"}, // record 4 of 3
        {MinimalImage + "df 7F10\nef 7F10 6F3A 3 14\nrecord 7F10 6F3A 1 00\n", "line 9"}, // short
        {MinimalImage + "df 7F10\nef 7F10 6F3A 3 14\nrecord 7F10 6F3A 1 " + std::string(28, 'G') +
             "\n",
         "line 9"},
        {MinimalImage + "df 7F10\nef 7F10 6F3A 256 14\n", "line 8"},
        {MinimalImage + "df 7F10\nef 7F10 6F3A 3 14\nef 7F10 6F3A 3 14\n", "line 9"},
        {MinimalImage + "df 7F10\ndf 7F10\n", "line 8"},
        {MinimalImage + "df 3F00\n", "line 7"},
        {MinimalImage + "frobnicate 1\n", "line 7"},
        {MinimalImage + "chv 1 31323334FFFFFFFF 3 3\n", "line 7"},   // twice
        {"simcard-image 1\nchv 1 31323334FFFFFFFF 4 3\n", "line 2"}, // 4 of 3 left
        {"simcard-image 1\nchv 3 31323334FFFFFFFF 3 3\n", "line 2"}, // no CHV3
        {"simcard-image 1\nchv 1 31323334 3 3\n", "line 2"},         // 4 bytes
        {"simcard-image 1\nchv 1 31323334FFFFFFFF 3\n", "line 2"},   // word missing
        {"simcard-image 1\nchv1-enabled 1\n", "lacks"},
        {MinimalImage + "case 1 " + std::string(62, '0') + "\n", "line 7"},     // 31 bytes
        {MinimalImage + "case 65536 " + std::string(64, '0') + "\n", "line 7"}, // number
        {MinimalImage + "case 1 " + std::string(64, '0') + "\ncase 1 " + std::string(64, '0') +
             "\n",
         "line 8"},
        {MinimalImage + "case-card 2\ncase 2 " + std::string(64, '0') + "\n", "line 8"},
        {MinimalImage + "case 2 " + std::string(64, '0') + "\ncase-card 2\n", "beyond"},
        {MinimalImage + "case-card 2\ncase-card 3\n", "line 8"},
        {MinimalImage + "case-card 65536\n", "line 7"},
        {MinimalImage + "binary 3F00 2FE2\n", "line 7"},    // no bytes
        {MinimalImage + "binary 3F00 2FE2 0\n", "line 7"},  // odd hex
        {MinimalImage + "binary 7F10 6F07 00\n", "line 7"}, // directory not declared
        {MinimalImage + "binary 3F00 7F07 00\n", "line 7"}, // not an EF
        {MinimalImage + "binary 3F00 2FE2 00\nrecord 3F00 2FE2 1 00\n", "line 8"},
    };
    for (const auto& [text, where] : cases) {
        try {
            CardImage::parse(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const ImageError& e) {
            EXPECT_NE(std::string(e.what()).find(where), std::string::npos)
                << e.what() << " for: " << text;
        }
    }
}

TEST(CardImageTest, LoadNamesTheFileAtFault) {
    TemporaryFolder folder;
    auto path = folder.path() / "bad.img";
    std::ofstream(path) << "not an image\n";
    try {
        CardImage::load(path);
        ADD_FAILURE() << "accepted a bad image";
    } catch (const ImageError& e) {
        EXPECT_NE(std::string(e.what()).find("bad.img"), std::string::npos);
    }
    EXPECT_THROW(CardImage::load(folder.path() / "missing.img"), ImageError);
}

TEST(CardImageTest, FailedSaveLeavesTheOldImage) {
    TemporaryFolder folder;
    auto path = folder.path() / "card.img";
    auto image = CardImage::create({});
    image.save(path);
    const auto before = readAll(path);
    // A directory in the way of the temporary file makes the write fail.
    fs::create_directory(folder.path() / "card.img.tmp");
    image.chv(1).attemptsLeft = 0;
    EXPECT_THROW(image.save(path), ImageError);
    EXPECT_EQ(readAll(path), before);
    EXPECT_THROW(image.save(folder.path() / "no" / "such" / "card.img"), ImageError);
}

} // namespace
} // namespace simcard
