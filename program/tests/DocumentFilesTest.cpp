#include "program/DocumentFiles.h"

#include "program/ProgramFile.h"
#include "program/WindowCaption.h"
#include "program/tests/ThirdModel.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using Lines = std::vector<std::string>;
using testing::ReadAll;
using testing::TemporaryFolder;
using testing::WriteAll;

std::string FileOf(const std::string& plain) {
    return ScrambleText(plain) + "\r\n";
}

// Fills doc with a recognisable state that a refused open must leave alone.
void FillDocument(ProgramDocument& doc) {
    doc.program.text().assign({"TL1=1", "RED=3"});
    doc.program.buildRemoteText();
    doc.notes = {"old note"};
    doc.modelIndex = 1;
    doc.modified = true;
}

class DocumentFilesTest : public ::testing::Test {
protected:
    TemporaryFolder folder;
};

TEST_F(DocumentFilesTest, SaveWritesScrambledDigitsAndCrLf) {
    ProgramDocument doc{testing::kThirdModel};
    const std::string path = folder.file("empty.sim");
    const FileResult result = SaveDocument(doc, path);
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.messages.empty());
    const std::string bytes = ReadAll(path);
    EXPECT_EQ(bytes.size(), 53u);
    EXPECT_EQ(bytes, ScrambleText("SIM-05\r\nSIM-PRG\r\n") + "\r\n");
    EXPECT_EQ(doc.fileName, path);
}

TEST_F(DocumentFilesTest, SaveThenOpenRestoresEverything) {
    ProgramDocument saved{testing::kThirdModel};
    saved.modelIndex = 1;
    saved.notes = {"customer: \xC0ngelo", "", "phone 123"};
    saved.program.text().assign({"RED=3", "TL1=0039123", "odd line", ""});
    const std::string path = folder.file("round.sim");
    ASSERT_TRUE(SaveDocument(saved, path).ok);
    EXPECT_FALSE(saved.modified);

    ProgramDocument opened{testing::kThirdModel};
    const FileResult result = OpenDocument(opened, path);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(opened.modelIndex, 1);
    EXPECT_EQ(opened.notes, saved.notes);
    EXPECT_EQ(opened.program.text().lines(), saved.program.text().lines());
    EXPECT_EQ(opened.program.remoteText(), ";RED=3;TL1=0039123;");
    EXPECT_FALSE(opened.modified);
    EXPECT_EQ(opened.fileName, path);
}

TEST_F(DocumentFilesTest, OpenNeverRaisesTheModel) {
    struct Case {
        int current;
        char digit;
        int after;
    };
    const std::vector<Case> cases = {
        {2, '3', 0}, {0, '5', 0}, {1, '5', 1}, {2, '4', 1}, {2, '9', 2}, {2, 'x', 0}, {1, '0', 0},
    };
    for (const auto& c : cases) {
        const std::string path = folder.file("model.sim");
        WriteAll(path, FileOf(std::string("SIM-0") + c.digit + "\r\nSIM-PRG\r\nTL1=1\r\n"));
        ProgramDocument doc{testing::kThirdModel};
        doc.modelIndex = c.current;
        EXPECT_TRUE(OpenDocument(doc, path).ok);
        EXPECT_EQ(doc.modelIndex, c.after) << c.current << " " << c.digit;
    }
}

TEST_F(DocumentFilesTest, OpenCallsHooksInOrderOnAnEmptiedProgram) {
    const std::string path = folder.file("hooks.sim");
    WriteAll(path, FileOf("SIM-03\r\nnote\r\nSIM-PRG\r\nTL1=5\r\n"));
    ProgramDocument doc{testing::kThirdModel};
    FillDocument(doc);

    std::vector<std::string> calls;
    DocumentHooks hooks;
    hooks.applyModel = [&](ProgramDocument& d) {
        calls.push_back("applyModel model=" + std::to_string(d.modelIndex) +
                        " lines=" + std::to_string(d.program.text().size()) +
                        " notes=" + std::to_string(d.notes.size()));
    };
    hooks.decode = [&](ProgramDocument& d) {
        calls.push_back("decode lines=" + std::to_string(d.program.text().size()));
    };
    ASSERT_TRUE(OpenDocument(doc, path, hooks).ok);
    EXPECT_EQ(calls, (Lines{"applyModel model=0 lines=0 notes=0", "decode lines=1"}));
    EXPECT_FALSE(doc.modified);
}

TEST_F(DocumentFilesTest, RefusedOpenLeavesDocumentButTakesFileName) {
    struct Case {
        const char* what;
        std::string content;
    };
    const std::vector<Case> cases = {
        {"empty file", ""},
        {"SIM- missing", FileOf("PRG-05\r\nSIM-PRG\r\n")},
        {"plain text, not digits", "SIM-05\r\nSIM-PRG\r\n"},
        {"CR LF only", "\r\n"},
    };
    for (const auto& c : cases) {
        const std::string path = folder.file("bad.sim");
        WriteAll(path, c.content);
        ProgramDocument doc{testing::kThirdModel};
        FillDocument(doc);
        int decodes = 0;
        DocumentHooks hooks;
        hooks.decode = [&](ProgramDocument&) { ++decodes; };

        const FileResult result = OpenDocument(doc, path, hooks);
        EXPECT_FALSE(result.ok) << c.what;
        EXPECT_EQ(result.messages, (Lines{"Invalid file format"})) << c.what;
        EXPECT_EQ(doc.program.text().lines(), (Lines{"TL1=1", "RED=3"})) << c.what;
        EXPECT_EQ(doc.program.remoteText(), ";TL1=1;RED=3;") << c.what;
        EXPECT_EQ(doc.notes, (Lines{"old note"})) << c.what;
        EXPECT_EQ(doc.modelIndex, 1) << c.what;
        EXPECT_TRUE(doc.modified) << c.what;
        EXPECT_EQ(doc.fileName, path) << c.what;
        EXPECT_EQ(decodes, 0) << c.what;
    }
}

TEST_F(DocumentFilesTest, UnreadableFileGivesDiskErrorThenInvalidFormat) {
    for (const std::string& path : {folder.file("missing.sim"), folder.path().string()}) {
        ProgramDocument doc{testing::kThirdModel};
        FillDocument(doc);
        const FileResult result = OpenDocument(doc, path);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.messages, (Lines{"DISK ERROR", "Invalid file format"})) << path;
        EXPECT_EQ(doc.program.text().lines(), (Lines{"TL1=1", "RED=3"}));
        EXPECT_EQ(doc.fileName, path);
    }
}

TEST_F(DocumentFilesTest, NewEmptiesProgramAndNotesKeepsModelAndSetsModified) {
    ProgramDocument doc{testing::kThirdModel};
    FillDocument(doc);
    doc.modified = false;
    doc.fileName = "/data/home.sim";
    int decodes = 0;
    DocumentHooks hooks;
    hooks.decode = [&](ProgramDocument& d) {
        ++decodes;
        EXPECT_TRUE(d.program.text().empty());
    };
    EXPECT_TRUE(NewDocument(doc, hooks).ok);
    EXPECT_TRUE(doc.program.text().empty());
    EXPECT_TRUE(doc.notes.empty());
    EXPECT_EQ(doc.program.remoteText(), "");
    EXPECT_EQ(doc.modelIndex, 1);
    EXPECT_EQ(doc.fileName, "");
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(decodes, 1);

    // Even an already empty document counts as changed.
    ProgramDocument empty{testing::kThirdModel};
    NewDocument(empty);
    EXPECT_TRUE(empty.modified);
}

TEST_F(DocumentFilesTest, FailedSaveKeepsModifiedAndTheOldFile) {
    const std::string existing = folder.file("keep.sim");
    ProgramDocument original{testing::kThirdModel};
    original.program.text().assign({"TL1=1"});
    ASSERT_TRUE(SaveDocument(original, existing).ok);
    const std::string before = ReadAll(existing);

    std::filesystem::create_directory(folder.path() / "adir");
    const std::vector<std::string> failing = {
        folder.file("keep.sim/inside.sim"), // a folder that is a file
        folder.file("nowhere/new.sim"),     // a folder that does not exist
        folder.file("adir"),                // the target is a folder
        "",                                 // no name at all
    };
    for (const auto& path : failing) {
        ProgramDocument doc{testing::kThirdModel};
        doc.program.text().assign({"TL2=2"});
        ASSERT_TRUE(doc.modified);
        const FileResult result = SaveDocument(doc, path);
        EXPECT_FALSE(result.ok) << path;
        EXPECT_EQ(result.messages, (Lines{"DISK ERROR"})) << path;
        EXPECT_TRUE(doc.modified) << path;
        EXPECT_EQ(doc.program.text().lines(), (Lines{"TL2=2"})) << path;
    }
    EXPECT_EQ(ReadAll(existing), before);
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "adir"));
    // Nothing but the saved file and the folder is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 2);
}

TEST(WindowCaptionTest, ShowsFilePartOfFileName) {
    struct Case {
        std::string fileName;
        std::string caption;
    };
    const std::vector<Case> cases = {
        {"", "Tarvik3"},
        {"C:\\data\\home.sim", "Tarvik3 - home.sim"},
        {"/home/user/alarm.sim", "Tarvik3 - alarm.sim"},
        {"dir/sub\\mixed.sim", "Tarvik3 - mixed.sim"},
        {"plain.sim", "Tarvik3 - plain.sim"},
        {"/trailing/", "Tarvik3 - "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WindowCaption(c.fileName), c.caption) << c.fileName;
    }
}

} // namespace
} // namespace tarvik
