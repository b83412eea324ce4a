// Program files pinned to bytes scrambled by hand from the key table, digit by digit, so that
// a wrong key byte or a shifted key position fails here even if scrambling and unscrambling
// still agree with each other.
#include "program/DocumentFiles.h"
#include "program/ProgramFile.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using Lines = std::vector<std::string>;
using testing::ReadAll;
using testing::TemporaryFolder;
using testing::WriteAll;

TEST(ProgramFileBytesTest, SeventeenZeroBytesSpellTheKeyFromItsSecondByte) {
    // Character k takes key byte k mod 17: 91 5e c7 08 b2 64 1d f3 29 8e 70 d5 4b a6 0c 5f,
    // then 3a for character 17.
    EXPECT_EQ(ScrambleText(std::string(17, '\0')),
              "145094199008178100029243041142112213075166012095058");
    EXPECT_EQ(UnscrambleText("145094199008178100029243041142112213075166012095058\r\n"),
              std::string(17, '\0'));
}

// The plain document
//   SIM-04 / Caffè bar / SIM-PRG / RED=3 / TL1=0039123
// (48 bytes with their CR LF, "è" being the single byte E8) scrambled by hand: each byte
// XOR its key byte, as three decimal digits. All 17 key bytes are used, most of them
// twice or three times.
const std::string kFile = "194023138037130080016249106239022179163134110062072"
                          "156084148065255073077161110131122135014226049108055"
                          "155010139057143084045192016191066230070172"
                          "\r\n";

TEST(ProgramFileBytesTest, AFileScrambledByHandOpens) {
    TemporaryFolder folder;
    const std::string path = folder.file("hand.sim");
    WriteAll(path, kFile);
    ProgramDocument doc{2};

    ASSERT_TRUE(OpenDocument(doc, path).ok);

    EXPECT_EQ(doc.modelIndex, 1);
    EXPECT_EQ(doc.notes, (Lines{"Caff\xe8 bar"}));
    EXPECT_EQ(doc.program.text().lines(), (Lines{"RED=3", "TL1=0039123"}));
    EXPECT_FALSE(doc.modified);
}

TEST(ProgramFileBytesTest, SavingThatDocumentWritesTheSameBytes) {
    TemporaryFolder folder;
    const std::string path = folder.file("saved.sim");
    ProgramDocument doc{1};
    doc.notes = {"Caff\xe8 bar"};
    doc.program.text().assign({"RED=3", "TL1=0039123"});

    ASSERT_TRUE(SaveDocument(doc, path).ok);

    EXPECT_EQ(ReadAll(path), kFile);
    EXPECT_EQ(kFile.size(), 3u * 48u + 2u);
}

} // namespace
} // namespace tarvik
