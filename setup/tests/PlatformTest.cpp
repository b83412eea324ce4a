#include "ScratchFolder.h"
#include "platform/SetupPlatform.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <sys/stat.h>

namespace setup::test {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and puts the old value back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        if (m_old) {
            ::setenv(m_name, m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name);
        }
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(SetupPlatform, TempFolderComesFromTmpdirAndEndsInASeparator) {
    {
        const ScopedEnvironment tmpdir("TMPDIR", "/var/tmp");
        EXPECT_EQ(TempFolder(), "/var/tmp/");
    }
    {
        const ScopedEnvironment tmpdir("TMPDIR", "/var/tmp/");
        EXPECT_EQ(TempFolder(), "/var/tmp/");
    }
    for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
        const ScopedEnvironment tmpdir("TMPDIR", unset);
        EXPECT_EQ(TempFolder(), "/tmp/");
    }
}

TEST(SetupPlatform, UniqueTempFilesAreCreatedWithDistinctNames) {
    const ScratchFolder scratch;
    const std::regex pattern(R"(ist[0-9A-F]{4}\.tmp)");
    std::set<std::string> names;
    for (int i = 0; i < 50; ++i) {
        const std::optional<std::string> path =
            CreateUniqueTempFile(scratch.Path().string(), "istx");
        ASSERT_TRUE(path.has_value());
        EXPECT_TRUE(fs::is_regular_file(*path));
        const std::string name = fs::path(*path).filename().string();
        EXPECT_TRUE(std::regex_match(name, pattern)) << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 50u);
    EXPECT_FALSE(CreateUniqueTempFile(scratch / "absent", "ist").has_value());
}

TEST(SetupPlatform, FoldersArePrivateToTheUser) {
    const ScratchFolder scratch;
    const std::string folder = scratch / "ist1A2B.tm!";
    ASSERT_TRUE(CreateFolder(folder));
    struct stat info {};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0077, 0u);
    EXPECT_FALSE(CreateFolder(folder));
    EXPECT_FALSE(CreateFolder(scratch / "missing/child"));
}

TEST(SetupPlatform, LogPathPrefersQlInstLogOverHome) {
    {
        const ScopedEnvironment log("QL_INST_LOG", "/x/custom.log");
        const ScopedEnvironment home("HOME", "/home/u");
        EXPECT_EQ(DefaultLogPath(), "/x/custom.log");
    }
    {
        const ScopedEnvironment log("QL_INST_LOG", nullptr);
        const ScopedEnvironment home("HOME", "/home/u/");
        EXPECT_EQ(DefaultLogPath(), "/home/u/ql_inst.log");
    }
    {
        const ScopedEnvironment log("QL_INST_LOG", "");
        const ScopedEnvironment home("HOME", nullptr);
        EXPECT_EQ(DefaultLogPath(), "");
    }
}

TEST(SetupPlatform, BackslashesBecomeFolderSeparators) {
    EXPECT_EQ(NativePath("/tmp/ist1.tm!\\\\setup\\setup.ini"), "/tmp/ist1.tm!//setup/setup.ini");
    EXPECT_TRUE(PathExists("/"));
    EXPECT_FALSE(PathExists(""));
}

} // namespace
} // namespace setup::test
