#include "MkpackageCommand.h"
#include "ScratchFolder.h"
#include "TestPackageBuilder.h"
#include "kivCPackageExtractor.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace mkpackage {
namespace {

namespace fs = std::filesystem;
using setup::test::ReadWholeFile;
using setup::test::ScratchFolder;
using setup::test::WriteWholeFile;

struct RunResult {
    int exitCode;
    std::string out;
    std::string err;
};

RunResult RunTool(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunMkpackage(args, out, err);
    return {code, out.str(), err.str()};
}

// Every file and folder below `root`: relative path to contents (folders map to "/").
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> tree;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        const std::string relative = fs::relative(item.path(), root).string();
        tree[relative] = item.is_directory() ? "/" : ReadWholeFile(item.path().string());
    }
    return tree;
}

class MkpackageTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(m_tree + "/setup/lang");
        fs::create_directories(m_tree + "/empty");
        WriteWholeFile(m_tree + "/setup/setup.ini", "[startup]\r\n1=a.exe\r\n");
        std::string big(5000, '\0');
        for (std::size_t i = 0; i < big.size(); ++i) {
            big[i] = static_cast<char>(i * 7);
        }
        WriteWholeFile(m_tree + "/setup/lang/big.bin", big);
        WriteWholeFile(m_tree + "/setup/a.exe", "");
        WriteWholeFile(m_stub, std::string("\x7f"
                                           "ELF stub\0bytes",
                                           15));
    }

    ScratchFolder m_scratch;
    std::string m_tree = m_scratch / "tree";
    std::string m_stub = m_scratch / "stub";
    std::string m_out = m_scratch / "setup.bin";
};

TEST_F(MkpackageTest, PackListAndExtractGiveBackTheTree) {
    ASSERT_EQ(RunTool({m_stub, m_tree, m_out}).exitCode, 0);
    EXPECT_EQ(ReadWholeFile(m_out).substr(0, 15), ReadWholeFile(m_stub));

    const RunResult listed = RunTool({"--list", m_out});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.out, "folder           0  \\empty\n"
                          "folder           0  \\setup\n"
                          "file             0  \\setup\\a.exe\n"
                          "folder           0  \\setup\\lang\n"
                          "file          5000  \\setup\\lang\\big.bin\n"
                          "file            20  \\setup\\setup.ini\n");

    const std::string target = m_scratch / "extracted";
    fs::create_directory(target);
    setup::kivCPackageExtractor extractor(m_out);
    ASSERT_TRUE(extractor.ExtractFile(target + "\\", 3));
    EXPECT_EQ(Snapshot(target), Snapshot(m_tree));
}

TEST_F(MkpackageTest, EmptyFolderMakesAnEmptyPackage) {
    const std::string empty = m_scratch / "nothing";
    fs::create_directory(empty);
    ASSERT_EQ(RunTool({m_stub, empty, m_out}).exitCode, 0);
    const RunResult listed = RunTool({"--list", m_out});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.out, "");
}

TEST_F(MkpackageTest, NamesUpTo258CharactersFit) {
    // "\" + 200 + "\" + 56 = 258 characters fit; one more does not.
    const std::string folder = std::string(200, 'd');
    fs::create_directories(m_tree + "/" + folder);
    WriteWholeFile(m_tree + "/" + folder + "/" + std::string(56, 'f'), "x");
    ASSERT_EQ(RunTool({m_stub, m_tree, m_out}).exitCode, 0);
    fs::remove(m_out);

    WriteWholeFile(m_tree + "/" + folder + "/" + std::string(57, 'g'), "x");
    const RunResult tooLong = RunTool({m_stub, m_tree, m_out});
    EXPECT_EQ(tooLong.exitCode, 1);
    EXPECT_NE(tooLong.err.find("258"), std::string::npos);
    EXPECT_FALSE(fs::exists(m_out));
}

TEST_F(MkpackageTest, RefusesWhatItCannotPackAndLeavesNoOutput) {
    struct Case {
        const char* label;
        std::vector<std::string> args;
        void (*prepare)(const std::string& tree);
    };
    const std::vector<Case> cases = {
        {"no arguments", {}, nullptr},
        {"two arguments", {m_stub, m_tree}, nullptr},
        {"unknown option", {"--pack", m_tree, m_out}, nullptr},
        {"missing stub", {m_scratch / "absent", m_tree, m_out}, nullptr},
        {"folder is a file", {m_stub, m_stub, m_out}, nullptr},
        {"output inside the folder", {m_stub, m_tree, m_tree + "/setup/out.bin"}, nullptr},
        {"symbolic link in the tree",
         {m_stub, m_tree, m_out},
         [](const std::string& tree) { fs::create_symlink("/etc", tree + "/link"); }},
        {"backslash in a name",
         {m_stub, m_tree, m_out},
         [](const std::string& tree) { WriteWholeFile(tree + "/a\\b", "x"); }},
        {"drive letter starting a name",
         {m_stub, m_tree, m_out},
         [](const std::string& tree) { WriteWholeFile(tree + "/setup/c:notes", "x"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.prepare != nullptr) {
            c.prepare(m_tree);
        }
        const RunResult result = RunTool(c.args);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_FALSE(result.err.empty());
        EXPECT_TRUE(result.out.empty());
        EXPECT_FALSE(fs::exists(m_out));
        EXPECT_FALSE(fs::exists(m_tree + "/setup/out.bin"));
        fs::remove(m_tree + "/link");
        fs::remove(m_tree + "/a\\b");
        fs::remove(m_tree + "/setup/c:notes");
    }
}

TEST_F(MkpackageTest, ListRefusesAFileWithoutAPackage) {
    for (const std::string& file : {m_stub, m_scratch / "absent"}) {
        const RunResult result = RunTool({"--list", file});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find("mkpackage: "), std::string::npos);
    }
}

TEST_F(MkpackageTest, HelpGoesToStandardOutput) {
    const RunResult result = RunTool({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("mkpackage STUB FOLDER OUT"), std::string::npos);
    EXPECT_TRUE(result.err.empty());
}

} // namespace
} // namespace mkpackage
