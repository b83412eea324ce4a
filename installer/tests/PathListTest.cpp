#include "installer/PathList.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace installer::test {
namespace {

// %NAME% expanded as the system would for this user.
std::string Expand(std::string_view text) {
    std::string expanded(text);
    const std::string name = "%LOCALAPPDATA%";
    if (const std::size_t at = expanded.find(name); at != std::string::npos) {
        expanded.replace(at, name.size(), "C:\\Users\\u\\AppData\\Local");
    }
    return expanded;
}

constexpr const char* tarvikFolder = "C:\\Users\\u\\AppData\\Local\\Programs\\Tarvik";

TEST(PathList, AppendsTheFolderOnceAndKeepsEveryOtherEntryAsWritten) {
    struct Case {
        std::string before;
        std::string after;
    };
    const std::string f = tarvikFolder;
    const std::vector<Case> cases = {
        {"", f},
        {"C:\\bin", "C:\\bin;" + f},
        {"C:\\bin;", "C:\\bin;" + f},
        {"%USERPROFILE%\\bin;;C:\\x", "%USERPROFILE%\\bin;;C:\\x;" + f},
        {"\"C:\\odd;name\";C:\\y", "\"C:\\odd;name\";C:\\y;" + f},
        // Already there, however it is written: nothing changes.
        {f, f},
        {"C:\\a;" + f + ";C:\\b", "C:\\a;" + f + ";C:\\b"},
        {"c:\\users\\U\\appdata\\LOCAL\\programs\\tarvik\\",
         "c:\\users\\U\\appdata\\LOCAL\\programs\\tarvik\\"},
        {"\"" + f + "\"", "\"" + f + "\""},
        {"%LOCALAPPDATA%\\Programs\\Tarvik", "%LOCALAPPDATA%\\Programs\\Tarvik"},
        // A longer name that starts the same is another folder.
        {f + "2", f + "2;" + f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        const PathEdit edit = AppendPathEntry(c.before, tarvikFolder, Expand);
        EXPECT_EQ(edit.value, c.after);
        EXPECT_EQ(edit.changed, c.before != c.after);
        // Appending again changes nothing.
        EXPECT_FALSE(AppendPathEntry(edit.value, tarvikFolder, Expand).changed);
    }
}

TEST(PathList, RemovesExactlyTheEntriesOfTheFolder) {
    struct Case {
        std::string before;
        std::string after;
    };
    const std::string f = tarvikFolder;
    const std::vector<Case> cases = {
        {f, ""},
        {"C:\\bin;" + f, "C:\\bin"},
        {f + ";C:\\bin", "C:\\bin"},
        {"C:\\a;" + f + ";C:\\b", "C:\\a;C:\\b"},
        {"%USERPROFILE%\\bin;;" + f + ";%SystemRoot%", "%USERPROFILE%\\bin;;%SystemRoot%"},
        {"C:\\a;" + f + "\\;%LOCALAPPDATA%\\Programs\\Tarvik;C:\\b", "C:\\a;C:\\b"},
        {"\"C:\\odd;name\";" + f, "\"C:\\odd;name\""},
        // Not there: nothing changes, not even odd separators.
        {"C:\\a;;C:\\b;", "C:\\a;;C:\\b;"},
        {f + "2;" + f + "\\sub", f + "2;" + f + "\\sub"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        const PathEdit edit = RemovePathEntry(c.before, tarvikFolder, Expand);
        EXPECT_EQ(edit.value, c.after);
        EXPECT_EQ(edit.changed, c.before != c.after);
    }
    // Removing what was appended gives back what was there before.
    for (const std::string before : {"", "C:\\bin", "%PATH%;C:\\x"}) {
        SCOPED_TRACE(before);
        EXPECT_EQ(RemovePathEntry(AppendPathEntry(before, tarvikFolder, Expand).value, tarvikFolder,
                                  Expand)
                      .value,
                  before);
    }
}

TEST(PathList, AFolderWithASemicolonIsAppendedInQuotes) {
    const PathEdit edit = AppendPathEntry("C:\\bin", "C:\\a;b", nullptr);
    EXPECT_EQ(edit.value, "C:\\bin;\"C:\\a;b\"");
    EXPECT_EQ(RemovePathEntry(edit.value, "C:\\a;b", nullptr).value, "C:\\bin");
}

} // namespace
} // namespace installer::test
