#include "program/DocumentFiles.h"
#include "program/ProgramFile.h"
#include "program/tests/ThirdModel.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using Lines = std::vector<std::string>;

// Valid program files to start the mutations from.
std::vector<std::string> SeedFiles() {
    std::vector<std::string> files;
    files.push_back(ScrambleText(BuildPlainDocument(2, {}, {})) + "\r\n");
    files.push_back(ScrambleText(BuildPlainDocument(0, Lines{"note", "SIM-PRG"},
                                                    Lines{"TL1=0039123", "RED=3", "#1ALARM=1"})) +
                    "\r\n");
    Lines program;
    for (int i = 0; i < 40; ++i) {
        program.push_back("TR" + std::to_string(100 + i) + "=333" + std::to_string(i));
    }
    files.push_back(ScrambleText(BuildPlainDocument(1, Lines{"x"}, program)) + "\r\n");
    return files;
}

std::string Mutate(std::string file, std::mt19937& random) {
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
        const std::size_t at = file.empty() ? 0 : random() % file.size();
        switch (random() % 7) {
        case 0: // flip one byte to anything
            if (!file.empty()) {
                file[at] = static_cast<char>(random() % 256);
            }
            break;
        case 1: // change one digit, as a damaged digit would
            if (!file.empty()) {
                file[at] = static_cast<char>('0' + random() % 10);
            }
            break;
        case 2: // cut the file short
            file.resize(at);
            break;
        case 3: // drop a few characters, shifting the groups
            file.erase(at, 1 + random() % 3);
            break;
        case 4: // insert a line break or a stray character
            file.insert(at, 1, "\r\n+- \0a9"[random() % 8]);
            break;
        case 5: // glue random bytes on
            for (int i = static_cast<int>(random() % 20); i > 0; --i) {
                file.push_back(static_cast<char>(random() % 256));
            }
            break;
        default: // duplicate a slice
            file.insert(at, file.substr(at, random() % 30));
            break;
        }
    }
    return file;
}

TEST(DocumentFuzzTest, AnyBytesEitherLoadOrAreRefusedUntouched) {
    const std::vector<std::string> seeds = SeedFiles();
    std::mt19937 random(20240607);
    int loaded = 0;
    int refused = 0;
    for (int round = 0; round < 4000; ++round) {
        const std::string content = Mutate(seeds[round % seeds.size()], random);

        ProgramDocument doc{testing::kThirdModel};
        doc.program.text().assign({"TL9=9"});
        doc.program.buildRemoteText();
        doc.notes = {"keep"};
        doc.modelIndex = 1;
        doc.modified = true;

        const FileResult result = OpenDocumentContent(doc, content);
        if (result.ok) {
            ++loaded;
            EXPECT_TRUE(result.messages.empty());
            EXPECT_FALSE(doc.modified);
            EXPECT_GE(doc.modelIndex, 0);
            EXPECT_LE(doc.modelIndex, 1);
            // What was loaded saves and loads back the same.
            ProgramDocument again{testing::kThirdModel};
            ASSERT_TRUE(OpenDocumentContent(again, DocumentFileBytes(doc)).ok);
            EXPECT_EQ(again.program.text().lines(), doc.program.text().lines());
        } else {
            ++refused;
            ASSERT_EQ(result.messages, (Lines{"Invalid file format"})) << round;
            EXPECT_EQ(doc.program.text().lines(), (Lines{"TL9=9"}));
            EXPECT_EQ(doc.program.remoteText(), ";TL9=9;");
            EXPECT_EQ(doc.notes, (Lines{"keep"}));
            EXPECT_EQ(doc.modelIndex, 1);
            EXPECT_TRUE(doc.modified);
        }
    }
    // Both outcomes must be exercised for the test to mean anything.
    EXPECT_GT(loaded, 100);
    EXPECT_GT(refused, 100);
}

TEST(DocumentFuzzTest, MutatedFilesOnDiskNeverBreakOpen) {
    testing::TemporaryFolder folder;
    const std::string path = folder.file("fuzz.sim");
    const std::vector<std::string> seeds = SeedFiles();
    std::mt19937 random(77);
    for (int round = 0; round < 200; ++round) {
        testing::WriteAll(path, Mutate(seeds[round % seeds.size()], random));
        ProgramDocument doc{testing::kThirdModel};
        const FileResult result = OpenDocument(doc, path);
        if (!result.ok) {
            EXPECT_EQ(result.messages, (Lines{"Invalid file format"}));
            EXPECT_TRUE(doc.program.text().empty());
        }
        EXPECT_EQ(doc.fileName, path);
    }
}

} // namespace
} // namespace tarvik
