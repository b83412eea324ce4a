#include "installer/InstallRecord.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace installer::test {
namespace {

TEST(InstallRecord, IsWrittenAsSectionsOfCrLfLines) {
    InstallRecord record{"Tarvik",
                         "Tarvik",
                         {"a.exe", "doc\\b.pdf", "uninstall.exe"},
                         {"a.exe.tarvik-old"},
                         "C:\\T",
                         "C:\\S\\Tarvik.lnk",
                         ".sim",
                         "Tarvik.Program"};
    const std::string expected =
        "; What the installer put on this machine: its uninstall removes it.\r\n"
        "[product]\r\nkey = Tarvik\r\nname = Tarvik\r\n"
        "[files]\r\na.exe\r\ndoc\\b.pdf\r\nuninstall.exe\r\n"
        "[leftovers]\r\na.exe.tarvik-old\r\n"
        "[path]\r\nentry = C:\\T\r\n"
        "[shortcut]\r\nfile = C:\\S\\Tarvik.lnk\r\n"
        "[association]\r\nextension = .sim\r\nprogid = Tarvik.Program\r\n";
    EXPECT_EQ(FormatInstallRecord(record), expected);
    const auto read = ParseInstallRecord(expected);
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.value.files, record.files);
    EXPECT_EQ(read.value.leftovers, record.leftovers);
    EXPECT_EQ(read.value.pathEntry, "C:\\T");
    EXPECT_EQ(read.value.shortcutFile, "C:\\S\\Tarvik.lnk");
    EXPECT_EQ(read.value.progId, "Tarvik.Program");
}

TEST(InstallRecord, RefusesARecordThatWouldDeleteOutsideItsFolder) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"[files]\na.exe\n", "the record names no uninstall key"},
        {"[product]\nkey=A\\..\\..\\Run\n", "the record names no uninstall key"},
        {"[product]\nkey=A\n[files]\n..\\..\\Windows\\win.ini\n",
         "line 4: '..\\..\\Windows\\win.ini' is not a file in the folder"},
        {"[product]\nkey=A\n[leftovers]\nC:\\boot.ini\n",
         "line 4: 'C:\\boot.ini' is not a file in the folder"},
        {"[product]\nkey=A\n[shortcut]\nfile=C:\\Windows\\notepad.exe\n",
         "line 3: the shortcut is no .lnk file"},
        {"[product]\nkey=A\n[association]\nextension=.sim\n",
         "the record's file association is incomplete"},
        {"[product]\nkey=A\n[association]\nextension=.sim\nprogid=\\\n",
         "the record's file association is incomplete"},
    };
    for (const auto& [text, error] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ParseInstallRecord(text).error, error);
    }
}

} // namespace
} // namespace installer::test
