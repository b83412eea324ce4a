// Card images of a UICC (format version 2) beside the GSM ones (version 1).

#include "tools/simcard/core/CardImage.h"
#include "tools/simcard/core/SimCard.h"
#include "tools/simcard/tests/CardTestSupport.h"

#include <gtest/gtest.h>

namespace simcard {
namespace {

using testing::filled;
using testing::send;

const std::string Codes = "chv 1 31323334FFFFFFFF 2 3\n"
                          "unblock 1 3132333435363738 10 10\n"
                          "chv 2 35363738FFFFFFFF 3 3\n"
                          "unblock 2 3837363534333231 10 10\n"
                          "chv1-enabled 1\n";

TEST(UiccImageTest, GsmImagesStayVersion1) {
    const auto text = CardImage::create({}).serialise();
    EXPECT_TRUE(text.starts_with("simcard-image 1\n")) << text;
    EXPECT_EQ(text.find("uicc"), std::string::npos);
}

TEST(UiccImageTest, EveryLayoutLoadsBackEqual) {
    for (auto layout : {PhonebookLayout::Telecom, PhonebookLayout::Global, PhonebookLayout::Local})
        for (bool local : {false, true}) {
            CardSettings s;
            s.uicc = true;
            s.phonebook = layout;
            s.localPhonebook = local;
            s.gsmClass = local;
            s.cdmaDirectory = true;
            auto image = CardImage::create(s);
            image.find({MasterFile, EfDir})->records[1][0] = 0x61;
            const auto text = image.serialise();
            EXPECT_TRUE(text.starts_with("simcard-image 2\nuicc\n")) << text;
            EXPECT_EQ(CardImage::parse(text), image) << text;
        }
}

TEST(UiccImageTest, Version2TextShapesTheCard) {
    const auto image = CardImage::parse("simcard-image 2\nuicc\n" + Codes +
                                        "df 7F10\n"
                                        "adf A0000000871002FF49FF0589\n"
                                        "df 7F10/5F3A\n"
                                        "df 7FFF/5F3A\n"
                                        "ef 3F00 2F00 1 4\n"
                                        "ef 7F10/5F3A 4F30 1 6\n"
                                        "ef 7F10/5F3A 4F3A 2 14\n"
                                        "ef 7FFF/5F3A 4F3A 1 14\n"
                                        "record 7F10/5F3A 4F30 1 A804C0024F3A\n"
                                        "record 7FFF/5F3A 4F3A 1 " +
                                        filled(14, "22") + "\n");
    EXPECT_TRUE(image.uicc());
    EXPECT_EQ(image.nestedDirectories(),
              (std::vector<DirectoryId>{DfGlobalPhonebook, DfLocalPhonebook}));
    SimCard card(image);
    EXPECT_EQ(send(card, "A0A40000023F00"), "6E00");
    EXPECT_EQ(send(card, "00A4080C067F105F3A4F30"), "9000");
    EXPECT_EQ(send(card, "0020000108" + testing::code("1234")), "9000");
    EXPECT_EQ(send(card, "00B2010406"), "A804C0024F3A9000");
    EXPECT_EQ(send(card, "00A4040C07A0000000871002"), "9000");
    EXPECT_EQ(send(card, "00A4080C067FFF5F3A4F3A"), "9000");
    EXPECT_EQ(send(card, "00B201040E"), filled(14, "22") + "9000");
}

TEST(UiccImageTest, OldImagesLoadAsTheyDid) {
    // A version 1 image of before the UICC: a GSM card as it always was.
    const auto image = CardImage::parse("simcard-image 1\n" + Codes +
                                        "df 7F10\n"
                                        "df 7F20\n"
                                        "binary 3F00 2FE2 989400000000000010F7\n"
                                        "ef 7F10 6F3A 2 14\n"
                                        "record 7F10 6F3A 2 " +
                                        filled(14, "01") + "\n");
    EXPECT_FALSE(image.uicc());
    EXPECT_TRUE(image.nestedDirectories().empty());
    EXPECT_EQ(image.directories(), (std::vector<std::uint16_t>{DfTelecom, DfGsm}));
    SimCard card(image);
    EXPECT_EQ(send(card, "00A4000C023F00"), "6E00");
    EXPECT_EQ(send(card, "A0A40000027F10"), "9F16");
    EXPECT_EQ(send(card, "A0A40000026F3A"), "9F0F");
    EXPECT_EQ(send(card, "A02000010831323334FFFFFFFF"), "9000");
    EXPECT_EQ(send(card, "A0B202040E"), filled(14, "01") + "9000");
    EXPECT_TRUE(image.serialise().starts_with("simcard-image 1\n"));
}

TEST(UiccImageTest, MalformedVersion2ImagesAreRefusedWithTheirLine) {
    const std::string head = "simcard-image 2\n" + Codes; // lines 1 to 6
    const std::pair<std::string, std::string> cases[] = {
        {head + "df 7F10/5F3A\n", "line 7"},               // parent not declared
        {head + "df 7F10\ndf 7F10/5F3A/4F30\n", "line 8"}, // three levels
        {head + "df 7F10\ndf 7F10/4F30\n", "line 8"},      // not a DF identifier
        {head + "df 7F10\ndf 7F10/5F3A\ndf 7F10/5F3A\n", "line 9"},
        {head + "df 7FFF\n", "line 7"},  // the ADF is an adf line
        {head + "adf A000\n", "line 7"}, // shorter than a RID
        {head + "adf A0000000871002\nadf A0000000871002\n", "line 8"},
        {head + "adf A0000000871002\ndf 7FFF/5F3A/\n", "line 8"},
        {head + "ef 7FFF/5F3A 4F3A 1 14\n", "line 7"},     // no ADF
        {head + "df 7F10\nef 7F10 5F3A 1 14\n", "line 8"}, // not an EF identifier
        {head + "uicc 1\n", "line 7"},
        {"simcard-image 1\n" + Codes + "uicc\n", "line 7"}, // version 1 has no UICC
        {"simcard-image 1\n" + Codes + "gsm-class\n", "line 7"},
        {"simcard-image 1\n" + Codes + "df 7F10\ndf 7F10/5F3A\n", "line 8"},
        {"simcard-image 1\n" + Codes + "ef 3F00 2F00 1 4\n", "line 7"},
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

TEST(UiccImageTest, PhonebookOutsideDfTelecomNeedsAUicc) {
    CardSettings s;
    s.phonebook = PhonebookLayout::Global;
    EXPECT_TRUE(Validate(s));
    s.phonebook = PhonebookLayout::Telecom;
    s.localPhonebook = true;
    EXPECT_TRUE(Validate(s));
    s.uicc = true;
    EXPECT_FALSE(Validate(s));
    s.uicc = false;
    s.localPhonebook = false;
    s.gsmClass = true;
    EXPECT_TRUE(Validate(s));
    s.uicc = true;
    EXPECT_FALSE(Validate(s));
    s.gsmClass = false;
    s.uicc = false;
    s.localPhonebook = false;
    s.phonebook = PhonebookLayout::Local;
    EXPECT_THROW(CardImage::create(s), ImageError);
}

} // namespace
} // namespace simcard
