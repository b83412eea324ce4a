#include "setup/PackageExtractor.h"
#include "setup/tests/ScratchFolder.h"
#include "setup/tests/TestPackageBuilder.h"
#include "tools/mkpackage/MkpackageCommand.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <utility>
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
        fs::create_directories(tree_ + "/setup/lang");
        fs::create_directories(tree_ + "/empty");
        WriteWholeFile(tree_ + "/setup/setup.ini", "[startup]\r\n1=a.exe\r\n");
        std::string big(5000, '\0');
        for (std::size_t i = 0; i < big.size(); ++i) {
            big[i] = static_cast<char>(i * 7);
        }
        WriteWholeFile(tree_ + "/setup/lang/big.bin", big);
        WriteWholeFile(tree_ + "/setup/a.exe", "");
        WriteWholeFile(stub_, std::string("\x7f"
                                          "ELF stub\0bytes",
                                          15));
    }

    ScratchFolder scratch_;
    std::string tree_ = scratch_ / "tree";
    std::string stub_ = scratch_ / "stub";
    std::string out_ = scratch_ / "setup.bin";
};

TEST_F(MkpackageTest, PackListAndExtractGiveBackTheTree) {
    const RunResult packed = RunTool({stub_, tree_, out_});
    ASSERT_EQ(packed.exitCode, 0);
    EXPECT_EQ(packed.err, "");
    EXPECT_EQ(ReadWholeFile(out_).substr(0, 15), ReadWholeFile(stub_));

    const RunResult listed = RunTool({"--list", out_});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.out, "folder           0  \\empty\n"
                          "folder           0  \\setup\n"
                          "file             0  \\setup\\a.exe\n"
                          "folder           0  \\setup\\lang\n"
                          "file          5000  \\setup\\lang\\big.bin\n"
                          "file            20  \\setup\\setup.ini\n");

    const std::string target = scratch_ / "extracted";
    fs::create_directory(target);
    setup::PackageExtractor extractor(out_);
    ASSERT_TRUE(extractor.extractFile(target + "/", 3));
    EXPECT_EQ(Snapshot(target), Snapshot(tree_));
}

TEST_F(MkpackageTest, EmptyFolderMakesAnEmptyPackage) {
    const std::string empty = scratch_ / "nothing";
    fs::create_directory(empty);
    const RunResult packed = RunTool({stub_, empty, out_});
    ASSERT_EQ(packed.exitCode, 0);
    EXPECT_NE(packed.err.find("warning: the folder has no setup/setup.ini"), std::string::npos);
    const RunResult listed = RunTool({"--list", out_});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.out, "");
}

TEST_F(MkpackageTest, NamesUpTo258CharactersFit) {
    // "\" + 200 + "\" + 56 = 258 characters fit; one more does not.
    const std::string folder = std::string(200, 'd');
    fs::create_directories(tree_ + "/" + folder);
    WriteWholeFile(tree_ + "/" + folder + "/" + std::string(56, 'f'), "x");
    ASSERT_EQ(RunTool({stub_, tree_, out_}).exitCode, 0);
    fs::remove(out_);

    WriteWholeFile(tree_ + "/" + folder + "/" + std::string(57, 'g'), "x");
    const RunResult tooLong = RunTool({stub_, tree_, out_});
    EXPECT_EQ(tooLong.exitCode, 1);
    EXPECT_NE(tooLong.err.find("258"), std::string::npos);
    EXPECT_FALSE(fs::exists(out_));
}

TEST_F(MkpackageTest, RefusesWhatItCannotPackAndLeavesNoOutput) {
    struct Case {
        const char* label;
        std::vector<std::string> args;
        void (*prepare)(const std::string& tree);
    };
    const std::vector<Case> cases = {
        {"no arguments", {}, nullptr},
        {"two arguments", {stub_, tree_}, nullptr},
        {"unknown option", {"--pack", tree_, out_}, nullptr},
        {"missing stub", {scratch_ / "absent", tree_, out_}, nullptr},
        {"folder is a file", {stub_, stub_, out_}, nullptr},
        {"output inside the folder", {stub_, tree_, tree_ + "/setup/out.bin"}, nullptr},
        {"symbolic link in the tree",
         {stub_, tree_, out_},
         [](const std::string& tree) { fs::create_symlink("/etc", tree + "/link"); }},
        {"backslash in a name",
         {stub_, tree_, out_},
         [](const std::string& tree) { WriteWholeFile(tree + "/a\\b", "x"); }},
        {"drive letter starting a name",
         {stub_, tree_, out_},
         [](const std::string& tree) { WriteWholeFile(tree + "/setup/c:notes", "x"); }},
        {"character Windows-1252 lacks",
         {stub_, tree_, out_},
         [](const std::string& tree) { WriteWholeFile(tree + "/setup/\u0101.txt", "x"); }},
        {"name that is no UTF-8",
         {stub_, tree_, out_},
         [](const std::string& tree) { WriteWholeFile(tree + "/setup/\xE9.txt", "x"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.prepare != nullptr) {
            c.prepare(tree_);
        }
        const RunResult result = RunTool(c.args);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_FALSE(result.err.empty());
        EXPECT_TRUE(result.out.empty());
        EXPECT_FALSE(fs::exists(out_));
        EXPECT_FALSE(fs::exists(tree_ + "/setup/out.bin"));
        fs::remove(tree_ + "/link");
        fs::remove(tree_ + "/a\\b");
        fs::remove(tree_ + "/setup/c:notes");
        fs::remove(tree_ + "/setup/\u0101.txt");
        fs::remove(tree_ + "/setup/\xE9.txt");
    }
}

TEST_F(MkpackageTest, WarnsAboutWhatSetupWouldNotDoAsMeant) {
    struct Case {
        const char* label;
        void (*prepare)(const std::string& tree);
        const char* warning;
    };
    const std::vector<Case> cases = {
        {"no configuration", [](const std::string& tree) { fs::remove(tree + "/setup/setup.ini"); },
         "mkpackage: warning: the folder has no setup/setup.ini"},
        {"configuration is a folder",
         [](const std::string& tree) {
             fs::remove(tree + "/setup/setup.ini");
             fs::create_directory(tree + "/setup/setup.ini");
         },
         "mkpackage: warning: the folder has no setup/setup.ini"},
        {"dot file", [](const std::string& tree) { WriteWholeFile(tree + "/setup/.keep", ""); },
         "mkpackage: warning: \\setup\\.keep begins with \".\""},
        {"names differing in case",
         [](const std::string& tree) { WriteWholeFile(tree + "/setup/A.EXE", ""); },
         "mkpackage: warning: \\setup\\a.exe differs from \\setup\\A.EXE only in letter case"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove_all(tree_);
        SetUp();
        c.prepare(tree_);
        const RunResult result = RunTool({stub_, tree_, out_});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_NE(result.err.find(c.warning), std::string::npos) << result.err;
        EXPECT_TRUE(fs::exists(out_));
        fs::remove(out_);
    }
    // An upper-case spelling of the configuration is what setup reads too.
    fs::remove_all(tree_);
    SetUp();
    fs::rename(tree_ + "/setup/setup.ini", tree_ + "/setup/SETUP.INI");
    EXPECT_EQ(RunTool({stub_, tree_, out_}).err, "");
}

TEST_F(MkpackageTest, OutputOfASmallTreeIsExactlyTheseBytes) {
    const std::string tree = scratch_ / "small";
    fs::create_directories(tree + "/setup");
    WriteWholeFile(tree + "/setup/setup.ini", "[startup]\n1=a\n");
    WriteWholeFile(tree + "/setup/\u00e9.txt", "hi");
    WriteWholeFile(stub_, "STUB");
    ASSERT_EQ(RunTool({stub_, tree, out_}).exitCode, 0);
    // Offsets are absolute and every integer is u32 little-endian. The UTF-8 name "é.txt" is
    // stored in Windows-1252, where the e acute is E9.
    // clang-format off
    const std::string expected(
        // 0: the stub
        "STUB"
        // 4: signature, 3 entries, directory at 93 (0x5d)
        "\xb5\x4b\x3d\x05\x6f\x4b\x93\xa4\xb4\xd7\xb4\x9f\xdb\x36\x7e\x49"
        "\x03\x00\x00\x00"
        "\x5d\x00\x00\x00"
        // 28: the files' bytes in directory order; "hi" at 42
        "[startup]\n1=a\n"
        "hi"
        // 44: name table, each length word counting the NUL
        "\x07\x00\x00\x00" "\\setup\0"             // name at 48
        "\x11\x00\x00\x00" "\\setup\\setup.ini\0"  // name at 59
        "\x0d\x00\x00\x00" "\\setup\\\xe9.txt\0"   // name at 80
        // 93: directory: type, name offset, file size, stored size, data offset
        "\x02\x00\x00\x00" "\x30\x00\x00\x00" "\x00\x00\x00\x00" "\x00\x00\x00\x00" "\x00\x00\x00\x00"
        "\x01\x00\x00\x00" "\x3b\x00\x00\x00" "\x0e\x00\x00\x00" "\x0e\x00\x00\x00" "\x1c\x00\x00\x00"
        "\x01\x00\x00\x00" "\x50\x00\x00\x00" "\x02\x00\x00\x00" "\x02\x00\x00\x00" "\x2a\x00\x00\x00"
        // 153: trailer
        "\x04\x00\x00\x00",
        157);
    // clang-format on
    EXPECT_EQ(ReadWholeFile(out_), expected);
}

TEST_F(MkpackageTest, ListShowsOddNamesSafelyAndMarksWhatSetupRefuses) {
    setup::test::TestPackageBuilder()
        .folder("\\setup")
        .file("\\setup\\caf\xE9\x80.txt", "12")
        .file("\\setup\\bell\x07\x1b[2J\x9d", "x")
        .file("\\..\\escape", "evil")
        .file("\\", "")
        .folder("\\C:\\drive")
        .writeTo(out_);
    const RunResult listed = RunTool({"--list", out_});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.out, "folder           0  \\setup\n"
                          "file             2  \\setup\\caf\u00e9\u20ac.txt\n"
                          "file             1  \\setup\\bell\\x07\\x1b[2J\\x9d\n"
                          "file             4  \\..\\escape  (setup refuses this name)\n"
                          "file             0  \\  (setup refuses this name)\n"
                          "folder           0  \\C:\\drive  (setup refuses this name)\n");
}

TEST_F(MkpackageTest, ListOfAPartlyReadablePackageSaysWhereItStops) {
    setup::test::TestPackageBuilder builder;
    builder.folder("\\setup").file("\\setup\\setup.ini", "[startup]\n");
    builder.entry(setup::test::TestEntry{setup::kTypeFile, "\\long", "x", 260u, {}, {}, {}, false});
    builder.file("\\never", "y");
    builder.writeTo(out_);
    const RunResult listed = RunTool({"--list", out_});
    EXPECT_EQ(listed.exitCode, 1);
    EXPECT_EQ(listed.out, "folder           0  \\setup\n"
                          "file            10  \\setup\\setup.ini\n");
    EXPECT_EQ(listed.err, "mkpackage: the directory stops after entry 2 of 4: the next entry's "
                          "name is longer than 258 characters\n");
}

TEST_F(MkpackageTest, BareStubNameIsFoundInThePath) {
    // As installed: "mkpackage setup FOLDER OUT" with the stub in a folder of PATH, and a
    // folder named setup (no stub) in the current folder.
    const std::string bin = scratch_ / "bin";
    fs::create_directories(bin);
    fs::copy_file(stub_, bin + "/setup");
    const fs::path oldCurrent = fs::current_path();
    fs::create_directories(scratch_ / "here/setup");
    fs::current_path(scratch_ / "here");
    const char* oldPath = std::getenv("PATH");
    const std::string savedPath = oldPath != nullptr ? oldPath : "";
    ::setenv("PATH", ("/nonexistent::" + bin).c_str(), 1);
    const RunResult found = RunTool({"setup", tree_, out_});
    ::setenv("PATH", "/nonexistent", 1);
    const RunResult missing = RunTool({"setup", tree_, scratch_ / "other"});
    ::setenv("PATH", savedPath.c_str(), 1);
    fs::current_path(oldCurrent);

    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(ReadWholeFile(out_).substr(0, 15), ReadWholeFile(stub_));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("cannot open the stub setup"), std::string::npos) << missing.err;
}

TEST_F(MkpackageTest, ListRefusesAFileWithoutAPackage) {
    for (const std::string& file : {stub_, scratch_ / "absent"}) {
        const RunResult result = RunTool({"--list", file});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find("mkpackage: "), std::string::npos);
    }
}

TEST_F(MkpackageTest, HelpAndVersionGoToStandardOutput) {
    for (const auto& [option, text] : {std::pair{"--help", "mkpackage STUB FOLDER OUT"},
                                       std::pair{"--version", "mkpackage " TARVIK_VERSION "\n"}}) {
        const RunResult result = RunTool({option});
        EXPECT_EQ(result.exitCode, 0) << option;
        EXPECT_NE(result.out.find(text), std::string::npos) << result.out;
        EXPECT_TRUE(result.err.empty()) << option;
    }
}

TEST(MkpackageArgsTest, RefusesBadArgumentsWithOneLine) {
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{}, "mkpackage: missing operand\n"},
        {{"stub", "folder"}, "mkpackage: missing operand\n"},
        {{"stub", "folder", "out", "more"}, "mkpackage: extra operand 'more'\n"},
        {{"--list"}, "mkpackage: --list needs a value (FILE)\n"},
        {{"--list", "a", "b"}, "mkpackage: extra operand 'b'\n"},
        {{"--frob", "a", "b", "c"}, "mkpackage: unknown option '--frob'\n"},
        {{"--version=1"}, "mkpackage: --version takes no value\n"},
    };
    for (const auto& c : cases) {
        const RunResult result = RunTool(c.args);
        EXPECT_EQ(result.exitCode, 1) << ::testing::PrintToString(c.args);
        EXPECT_EQ(result.err, c.err + "Try 'mkpackage --help'.\n");
        EXPECT_EQ(result.out, "");
    }
}

} // namespace
} // namespace mkpackage
