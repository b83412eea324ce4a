// Program files on POSIX file systems: named pipes, modes, the longest name, other users'
// files and symbolic links.
#include "program/DocumentFiles.h"
#include "program/ProgramFile.h"
#include "program/tests/ThirdModel.h"
#include "testing/FileContents.h"
#include "testing/OrdinaryUser.h"
#include "testing/TemporaryFolder.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tarvik {
namespace {

using Lines = std::vector<std::string>;
using testing::ReadAll;
using testing::TemporaryFolder;
using testing::WriteAll;

class DocumentFilesPosixTest : public ::testing::Test {
protected:
    TemporaryFolder folder;
};

TEST_F(DocumentFilesPosixTest, OpenOfANamedPipeFailsAtOnceInsteadOfWaitingForAWriter) {
    const std::string path = folder.file("pipe.sim");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    auto opening = std::async(std::launch::async, [&path] {
        ProgramDocument doc{testing::kThirdModel};
        return OpenDocument(doc, path).messages;
    });
    if (opening.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Release the waiting open so that the test can end.
        ::close(::open(path.c_str(), O_WRONLY | O_NONBLOCK));
        opening.wait();
        FAIL() << "opening a named pipe waited for a writer";
    }
    EXPECT_EQ(opening.get(), (Lines{"DISK ERROR", "Invalid file format"}));
}

TEST_F(DocumentFilesPosixTest, SaveReplacesExistingFileKeepingItsPermissions) {
    const std::string path = folder.file("perm.sim");
    WriteAll(path, "old content that is much longer than the new one will be............");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    ProgramDocument doc{testing::kThirdModel};
    ASSERT_TRUE(SaveDocument(doc, path).ok);
    EXPECT_EQ(ReadAll(path), DocumentFileBytes(doc));
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_write |
                                                               std::filesystem::perms::group_read);
}

TEST_F(DocumentFilesPosixTest, SaveAcceptsANameOfTheLongestLengthAllowed) {
    const std::string path = folder.file(std::string(251, 'n') + ".sim"); // 255 bytes
    ProgramDocument doc{testing::kThirdModel};
    doc.program.text().assign({"RED=1"});
    ASSERT_TRUE(SaveDocument(doc, path).ok);
    EXPECT_EQ(ReadAll(path), DocumentFileBytes(doc));
    // Saving again replaces it, and no temporary file stays.
    doc.program.setProgramEntry("RED", "2");
    ASSERT_TRUE(SaveDocument(doc, path).ok);
    EXPECT_EQ(ReadAll(path), DocumentFileBytes(doc));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

// Saves a one-line program to path as a user without special rights. Gives 0 for a
// successful save, 1 for a refused one.
int SaveAsOrdinaryUser(const std::string& path) {
    const std::optional<bool> saved = testing::RunAsOrdinaryUser([&path] {
        ProgramDocument doc{testing::kThirdModel};
        doc.program.text().assign({"RED=1"});
        return SaveDocument(doc, path).ok;
    });
    return saved ? (*saved ? 0 : 1) : 3;
}

TEST_F(DocumentFilesPosixTest, SaveOverAFileThatMayNotBeWrittenFailsAsAWriteInPlaceWould) {
    // The folder lets anyone create files, so only the file's own mode protects it.
    std::filesystem::permissions(folder.path(), std::filesystem::perms::all);
    const std::string path = folder.file("readonly.sim");
    WriteAll(path, "old");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);

    EXPECT_EQ(SaveAsOrdinaryUser(path), 1);
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(DocumentFilesPosixTest, SaveThroughSymbolicLinkReplacesItsTarget) {
    const std::string target = folder.file("target.sim");
    const std::string link = folder.file("link.sim");
    WriteAll(target, "old");
    std::filesystem::create_symlink(target, link);
    ProgramDocument doc{testing::kThirdModel};
    doc.program.text().assign({"RED=1"});
    ASSERT_TRUE(SaveDocument(doc, link).ok);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadAll(target), DocumentFileBytes(doc));
}

} // namespace
} // namespace tarvik
