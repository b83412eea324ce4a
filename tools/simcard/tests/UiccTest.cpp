// The card with --uicc, command by command, against ETSI TS 102 221 and 3GPP TS 31.102.

#include "base/Hex.h"
#include "tools/simcard/core/SimCard.h"
#include "tools/simcard/tests/CardTestSupport.h"

#include <gtest/gtest.h>

namespace simcard {
namespace {

using testing::code;
using testing::filled;
using testing::send;

CardSettings uicc(PhonebookLayout layout = PhonebookLayout::Telecom, bool pin1Enabled = false) {
    CardSettings s;
    s.uicc = true;
    s.phonebook = layout;
    s.pin1Enabled = pin1Enabled;
    return s;
}

// One command and the answer it must get, in hex.
struct Step {
    std::string command;
    std::string answer;
};

void run(SimCard& card, const std::vector<Step>& steps, const std::string& name) {
    for (std::size_t i = 0; i < steps.size(); ++i)
        EXPECT_EQ(send(card, steps[i].command), steps[i].answer)
            << name << ", step " << i + 1 << ": " << steps[i].command;
}

TEST(UiccClassTest, AnswersClass00AndRefusesTheGsmClass) {
    // TS 102 221 §10.1.1 and §10.2.1: class 00 for ISO commands, 80 for STATUS; any other
    // class answers 6E 00, an instruction its class does not have 6D 00.
    const Step cases[] = {
        {"A0A40000023F00", "6E00"},
        {"A0C0000016", "6E00"},
        {"A0F2000016", "6E00"},
        {"10A4000C023F00", "6E00"},
        {"00A4000C023F00", "9000"},
        {"80F2000C00", "9000"},
        {"00F2000C00", "6D00"},
        {"80A4000C023F00", "6D00"},
        {"000A000002", "6D00"}, // the contact-case commands belong to the GSM card
        {"00A400", "6700"},
        // A case 4 APDU with its Le: over T=0 the card answers 61 xx all the same.
        {"00A40004027F1000", "611D"},
        {"00A40004027F100000", "6700"},
    };
    for (const auto& c : cases) {
        SimCard card(CardImage::create(uicc()));
        EXPECT_EQ(send(card, c.command), c.answer) << c.command;
    }
}

TEST(UiccClassTest, A2gViewAnswersClassA0AsTheGsmSimDoes) {
    // A UICC with a 2G view: GSM 11.11 answers to class A0 (9F xx, 98 04), TS 102 221
    // answers to class 00, over the same files. The two views keep their own current file
    // and verified PIN here.
    CardSettings s = uicc(PhonebookLayout::Telecom, true);
    s.gsmClass = true;
    SimCard card(CardImage::create(s));
    run(card,
        {{"A0A40000027F10", "9F16"},
         {"00A40004027F10", "611D"},
         {"A0A40000026F3A", "9F0F"},
         {"A0B201041C", "9804"},
         {"A020000108" + code("1234"), "9000"},
         {"A0DC01041C" + filled(28, "12"), "9000"},
         {"00A4080C047F106F3A", "9000"},
         {"00B201041C", "6982"},
         {"0020000100", "63C3"},
         {"0020000108" + code("1234"), "9000"},
         {"00B201041C", filled(28, "12") + "9000"},
         {"A0B201041C", filled(28, "12") + "9000"},
         {"10A4000C023F00", "6E00"}},
        "2G view");
}

TEST(UiccSelectTest, FcpsDescribeTheFiles) {
    // TS 102 221 §11.1.1.3: an EF's FCP (82 descriptor with record length and count, 83,
    // 8A, 8B, 80 size, 88 empty: no SFI); a DF's (82 78, 83, 84 its name for the ADF, 8A,
    // 8B, C6 with PS_DO 90 and the key references 01 and 81, §9.5.2).
    const std::string adf = "84 0C A0000000871002FF49FF0589";
    struct Case {
        const char* name;
        CardSettings settings;
        std::vector<std::string> path; // SELECT ... P2 0C before the FCP
        std::string select;
        std::string fcp;
    };
    const Case cases[] = {
        {"EF ADN, 250 records of 28",
         uicc(),
         {"7F10"},
         "00A4000402 6F3A",
         "62 19 82 05 42 21 001C FA 83 02 6F3A 8A 01 05 8B 03 2F06 02 80 02 1B58 88 00"},
        {"EF ICCID, transparent, read always",
         uicc(),
         {},
         "00A4000402 2FE2",
         "62 16 82 02 41 21 83 02 2FE2 8A 01 05 8B 03 2F06 01 80 02 000A 88 00"},
        {"EF DIR, 2 records of 32",
         uicc(),
         {},
         "00A4000402 2F00",
         "62 19 82 05 42 21 0020 02 83 02 2F00 8A 01 05 8B 03 2F06 01 80 02 0040 88 00"},
        {"DF Telecom, PIN1 disabled",
         uicc(),
         {},
         "00A4000402 7F10",
         "62 1B 82 02 78 21 83 02 7F10 8A 01 05 8B 03 2F06 03 C6 09 90 01 40 83 01 01 83 01 81"},
        {"MF, PIN1 enabled",
         uicc(PhonebookLayout::Telecom, true),
         {"7F10"},
         "00A4000402 3F00",
         "62 1B 82 02 78 21 83 02 3F00 8A 01 05 8B 03 2F06 03 C6 09 90 01 C0 83 01 01 83 01 81"},
        {"ADF USIM by its AID",
         uicc(),
         {},
         "00A404040C A0000000871002FF49FF0589",
         "62 29 82 02 78 21 83 02 7FFF " + adf +
             " 8A 01 05 8B 03 2F06 03 C6 09 90 01 40 83 01 01 83 01 81"},
        {"ADF USIM by the first bytes of its AID",
         uicc(),
         {},
         "00A4040407 A0000000871002",
         "62 29 82 02 78 21 83 02 7FFF " + adf +
             " 8A 01 05 8B 03 2F06 03 C6 09 90 01 40 83 01 01 83 01 81"},
        {"EF PBR of the global phonebook",
         uicc(PhonebookLayout::Global),
         {"7F10", "5F3A"},
         "00A4000402 4F30",
         "62 19 82 05 42 21 0020 02 83 02 4F30 8A 01 05 8B 03 2F06 02 80 02 0040 88 00"},
    };
    for (const auto& c : cases) {
        SimCard card(CardImage::create(c.settings));
        for (const auto& id : c.path)
            ASSERT_EQ(send(card, "00A4000C02" + id), "9000") << c.name;
        const auto fcp = *tarvik::FromHex(c.fcp, tarvik::HexSpacing::Spaced);
        const auto length =
            tarvik::ToHex(std::vector<std::uint8_t>{static_cast<std::uint8_t>(fcp.size())});
        // §7.3.1.1.4 (T=0): the answer waits behind 61 xx for GET RESPONSE.
        EXPECT_EQ(send(card, c.select), "61" + length) << c.name;
        EXPECT_EQ(send(card, "00C00000" + length), tarvik::ToHex(fcp) + "9000") << c.name;
    }
}

TEST(UiccSelectTest, ReachesTheFilesOfEachPlace) {
    // TS 102 221 §8.4.1: from the current DF, the MF, the DF itself, its parent, its
    // children and the DFs beside it; 7FFF is the ADF once an application was selected
    // (§8.5). §8.4.2: paths from the MF (P1 08) and from the current DF (P1 09).
    struct Case {
        const char* name;
        CardSettings settings;
        std::vector<std::string> before; // each answers 90 00
        std::string select;
        std::string answer;
    };
    const Case cases[] = {
        {"DF Telecom from the MF", uicc(), {}, "00A4000C027F10", "9000"},
        {"no DF GSM on a UICC", uicc(), {}, "00A4000C027F20", "6A82"},
        {"EF ADN in DF Telecom", uicc(), {"00A4000C027F10"}, "00A4000C026F3A", "9000"},
        {"EF ADN is not a child of the MF", uicc(), {}, "00A4000C026F3A", "6A82"},
        {"EF SMS", uicc(), {"00A4000C027F10"}, "00A4000C026F3C", "9000"},
        {"EF MSISDN", uicc(), {"00A4000C027F10"}, "00A4000C026F40", "9000"},
        {"no DF Phonebook in DF Telecom", uicc(), {"00A4000C027F10"}, "00A4000C025F3A", "6A82"},
        {"7FFF before any application", uicc(), {}, "00A4000C027FFF", "6A82"},
        {"7FFF after the AID",
         uicc(),
         {"00A4040C0CA0000000871002FF49FF0589", "00A4000C023F00"},
         "00A4000C027FFF",
         "9000"},
        {"an unknown AID", uicc(), {}, "00A4040C07A0000000871003", "6A82"},
        {"an AID shorter than its RID", uicc(), {}, "00A4040C04A0000000", "6A82"},
        {"path from the MF to EF ADN", uicc(), {}, "00A4080C047F106F3A", "9000"},
        {"path with the MF's own identifier", uicc(), {}, "00A4080C063F007F106F3A", "9000"},
        {"path through a missing DF", uicc(), {}, "00A4080C047F206F3A", "6A82"},
        {"path from the current DF", uicc(), {"00A4000C027F10"}, "00A4090C026F3A", "9000"},
        {"odd path", uicc(), {}, "00A4080C037F106F", "6700"},
        {"P2 asking for FCI", uicc(), {}, "00A40000023F00", "6A86"},
        {"select by an unknown mode", uicc(), {}, "00A4020C023F00", "6A86"},
        {"identifier of one byte", uicc(), {}, "00A4000C017F", "6700"},
        {"global: DF Phonebook in DF Telecom",
         uicc(PhonebookLayout::Global),
         {"00A4000C027F10"},
         "00A4000C025F3A",
         "9000"},
        {"global: no EF ADN in DF Telecom",
         uicc(PhonebookLayout::Global),
         {"00A4000C027F10"},
         "00A4000C026F3A",
         "6A82"},
        {"global: parent DF Telecom from EF PBR",
         uicc(PhonebookLayout::Global),
         {"00A4080C067F105F3A4F30"},
         "00A4000C027F10",
         "9000"},
        {"global: DF Telecom's EF SMS is not in DF Phonebook",
         uicc(PhonebookLayout::Global),
         {"00A4080C047F105F3A"},
         "00A4000C026F3C",
         "6A82"},
        {"local: no DF Phonebook in DF Telecom",
         uicc(PhonebookLayout::Local),
         {"00A4000C027F10"},
         "00A4000C025F3A",
         "6A82"},
        {"local: DF Phonebook in ADF USIM",
         uicc(PhonebookLayout::Local),
         {"00A4040C0CA0000000871002FF49FF0589"},
         "00A4000C025F3A",
         "9000"},
        {"local: path through 7FFF",
         uicc(PhonebookLayout::Local),
         {"00A4040C07A0000000871002"},
         "00A4080C067FFF5F3A4F3A",
         "9000"},
    };
    for (const auto& c : cases) {
        SimCard card(CardImage::create(c.settings));
        for (const auto& command : c.before)
            ASSERT_EQ(send(card, command), "9000") << c.name << ": " << command;
        EXPECT_EQ(send(card, c.select), c.answer) << c.name;
    }
}

TEST(UiccSelectTest, FailedSelectionKeepsTheCurrentFile) {
    SimCard card(CardImage::create(uicc()));
    run(card,
        {{"00A4080C047F106F3A", "9000"},
         {"00A4000C026F07", "6A82"},
         {"00B201041C", filled(28, "FF") + "9000"}},
        "still EF ADN");
}

TEST(UiccTransportTest, GetResponseHandsOutTheWaitingBytesInPieces) {
    // TS 102 221 §7.3.1.1.4 and ISO/IEC 7816-3 §10.3.4: a shorter Le gets the first bytes
    // and 61 xx for the rest; a longer one 6C xx with what waits; any other command drops
    // what waits.
    SimCard card(CardImage::create(uicc()));
    const std::string fcp = "6219820542 21001CFA83026F3A8A01058B032F060280021B588800";
    const std::string compact = tarvik::ToHex(*tarvik::FromHex(fcp, tarvik::HexSpacing::Spaced));
    run(card,
        {{"00A4000C027F10", "9000"},
         {"00A40004026F3A", "611B"},
         {"00C0000020", "6C1B"},
         {"00C0000000", "6C1B"}, // Le 00 asks for 256
         {"00C0000010", compact.substr(0, 32) + "610B"},
         {"00C000000B", compact.substr(32) + "9000"},
         {"00C0000001", "6985"},
         {"00A40004026F3A", "611B"},
         {"00B201041C", filled(28, "FF") + "9000"},
         {"00C000001B", "6985"},
         {"00A40004026F3A", "611B"},
         {"00C001001B", "6B00"},
         {"00C000001B", compact + "9000"}},
        "FCP of EF ADN");
}

TEST(UiccTransportTest, WrongLeAnswers6CAndChangesNothing) {
    // TS 102 221 §7.3.1.1.5 (case 2 over T=0) and §10.2.1.2: 6C xx with the exact length;
    // the command has no other effect, so NEXT does not move the record pointer.
    SimCard card(CardImage::create(uicc()));
    card.image().find({DfTelecom, EfAdn})->records[0] = Bytes(28, 0x01);
    card.image().find({DfTelecom, EfAdn})->records[1] = Bytes(28, 0x02);
    run(card,
        {{"00A4080C047F106F3A", "9000"},
         {"00B2000210", "6C1C"},
         {"00B2000200", "6C1C"},
         {"00B200021C", filled(28, "01") + "9000"},
         {"00B200021C", filled(28, "02") + "9000"},
         {"00A4000C023F00", "9000"},
         {"00A4000C022FE2", "9000"},
         {"00B0000000", "6C0A"},
         {"00B0000014", "6C0A"},
         {"00B0000804", "6C02"},
         {"00B0000802", "10F79000"},
         {"80F2000000", "6C1D"},
         {"80F200001D",
          "621B8202782183023F008A01058B032F0603C609900140830101830181" + std::string("9000")}},
        "wrong Le");
}

TEST(UiccRecordTest, ModesAddressTheRecords) {
    // TS 102 221 §11.1.5 and §11.1.6: absolute (04, P1 00 the current record), next (02)
    // and previous (03); 6A 83 past the ends; 67 00 for data not a record long.
    SimCard card(CardImage::create(uicc()));
    auto& records = card.image().find({DfTelecom, EfMsisdn})->records;
    records[0] = Bytes(28, 0xA1);
    records[1] = Bytes(28, 0xA2);
    const std::string one = filled(28, "A1"), two = filled(28, "A2");
    run(card,
        {{"00A4080C047F106F40", "9000"},
         {"00B200041C", "6A83"}, // no current record yet
         {"00B200031C", two + "9000"},
         {"00B200031C", one + "9000"},
         {"00B200031C", "6A83"},
         {"00B200041C", one + "9000"},
         {"00B200021C", two + "9000"},
         {"00B200021C", "6A83"},
         {"00B203041C", "6A83"},
         {"00B201051C", "6A86"},
         {"00B2010C1C", "6A82"}, // by a short file identifier
         {"00DC02041C" + filled(28, "33"), "9000"},
         {"00B202041C", filled(28, "33") + "9000"},
         {"00DC02041B" + filled(27, "33"), "6700"},
         {"00DC00031C" + filled(28, "44"), "9000"}, // previous from record 2
         {"00B201041C", filled(28, "44") + "9000"},
         {"00B0000001", "6981"},
         {"00A4000C027F10", "9000"},
         {"00B201041C", "6986"}},
        "EF MSISDN");
}

TEST(UiccRecordTest, FilesOfTheMfAreReadAlwaysAndUpdatedNever) {
    // TS 102 221 §13.1 (EF DIR) and §13.2 (EF ICCID); 69 82 refuses what the access rule
    // does not allow.
    SimCard card(CardImage::create(uicc(PhonebookLayout::Telecom, true)));
    run(card,
        {{"00A4000C022F00", "9000"},
         {"00B2010420", "61144F0CA0000000871002FF49FF05895004" + std::string("5553494D") +
                            filled(10, "FF") + "9000"},
         {"00B2020420", filled(32, "FF") + "9000"},
         {"00DC020420" + filled(32, "00"), "6982"},
         {"00A4000C022FE2", "9000"},
         {"00B000000A", "989400000000000010F79000"},
         {"00D6000001" + std::string("00"), "6982"},
         {"00A4080C047F106F3A", "9000"},
         {"00B201041C", "6982"},
         {"00DC01041C" + filled(28, "00"), "6982"}},
        "PIN1 enabled, not verified");
}

TEST(UiccPhonebookTest, EfPbrNamesTheFilesOfEachLayout) {
    // 3GPP TS 31.102 §4.4.2.1: A8 holds the type 1 files (C0 EF ADN), AA the type 3 files
    // (C2 EF EXT1), each with its file identifier.
    const std::string pbr = "A804C0024F3AAA04C2024F4A" + filled(20, "FF") + "9000";
    struct Case {
        const char* name;
        CardSettings settings;
        std::string toPbr; // commands that select EF PBR
        std::string record;
    };
    CardSettings noExt1 = uicc(PhonebookLayout::Global);
    noExt1.ext1Records = -1;
    CardSettings both = uicc(PhonebookLayout::Global);
    both.localPhonebook = true;
    const Case cases[] = {
        {"global", uicc(PhonebookLayout::Global), "00A4080C067F105F3A4F30", pbr},
        {"local", uicc(PhonebookLayout::Local), "00A4080C067FFF5F3A4F30", pbr},
        {"global without EF EXT1", noExt1, "00A4080C067F105F3A4F30",
         "A804C0024F3A" + filled(26, "FF") + "9000"},
        {"local beside global", both, "00A4080C067FFF5F3A4F30", pbr},
    };
    for (const auto& c : cases) {
        SimCard card(CardImage::create(c.settings));
        ASSERT_EQ(send(card, "00A4040C07A0000000871002"), "9000") << c.name;
        ASSERT_EQ(send(card, c.toPbr), "9000") << c.name;
        EXPECT_EQ(send(card, "00B2010420"), c.record) << c.name;
        EXPECT_EQ(send(card, "00B2020420"), filled(32, "FF") + "9000") << c.name;
        // The files it names are there, with the ADN geometry.
        ASSERT_EQ(send(card, "00A40004024F3A"), "611B") << c.name;
        EXPECT_EQ(send(card, "00C000001B").substr(0, 18), "621982054221001CFA") << c.name;
        EXPECT_EQ(send(card, "00A4000C024F4A"), c.settings.ext1Records < 0 ? "6A82" : "9000")
            << c.name;
    }
}

TEST(UiccPhonebookTest, GlobalAndLocalPhonebooksAreSeparateFiles) {
    CardSettings s = uicc(PhonebookLayout::Global);
    s.localPhonebook = true;
    SimCard card(CardImage::create(s));
    run(card,
        {{"00A4080C067F105F3A4F3A", "9000"},
         {"00DC01041C" + filled(28, "12"), "9000"},
         {"00A4040C07A0000000871002", "9000"},
         {"00A4080C067FFF5F3A4F3A", "9000"},
         {"00B201041C", filled(28, "FF") + "9000"}},
        "write the global one, read the local one");
    EXPECT_EQ(tarvik::ToHex(card.image().records({DfGlobalPhonebook, EfPhonebookAdn})[0]),
              filled(28, "12"));
}

TEST(UiccPersistTest, FailedStoreUndoesTheChangeWith6581) {
    // TS 102 221 §10.2.1.3: 65 81, memory problem.
    bool storeWorks = false;
    SimCard card(CardImage::create(uicc()), [&](const CardImage&) { return storeWorks; });
    run(card,
        {{"00A4080C047F106F3A", "9000"},
         {"00DC01041C" + filled(28, "11"), "6581"},
         {"00B201041C", filled(28, "FF") + "9000"},
         {"002000010831323339FFFFFFFF", "6984"}, // PIN1 disabled: nothing stored
         {"002800010831323330FFFFFFFF", "6581"}},
        "store fails");
    EXPECT_FALSE(card.image().chv1Enabled());
    EXPECT_EQ(card.image().chv(1).attemptsLeft, 3);
    storeWorks = true;
    EXPECT_EQ(send(card, "00DC01041C" + filled(28, "11")), "9000");
}

TEST(UiccResetTest, ResetReturnsToTheMfAndForgetsTheApplicationAndPins) {
    SimCard card(CardImage::create(uicc(PhonebookLayout::Local, true)));
    run(card,
        {{"00A4040C07A0000000871002", "9000"},
         {"0020000108" + code("1234"), "9000"},
         {"00A4000C025F3A", "9000"}},
        "before reset");
    card.reset();
    run(card, {{"00A4000C025F3A", "6A82"}, {"00A4000C027FFF", "6A82"}, {"0020000100", "63C3"}},
        "after reset");
}

} // namespace
} // namespace simcard
