#include "installer/InstallRun.h"

#include "installer/InstallList.h"
#include "installer/tests/FakeMachine.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace installer::test {
namespace {

const std::string tarvikFolder = "C:\\Users\\u\\AppData\\Local\\Programs\\Tarvik";
const std::string startMenu =
    "C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
const std::string uninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvik";

InstallList ListOf(const std::string& text) {
    const auto parsed = ParseInstallList(text);
    EXPECT_TRUE(parsed.ok()) << parsed.error;
    return parsed.value;
}

const std::string cliList = "[product]\nname=Tarvik command line\nversion=3.0\npublisher=Tarvik\n"
                            "key=Tarvik\nsource=..\\files\npath=yes\n"
                            "[files]\ntarvik-cli.exe\nquenlib.dll\nREADME.txt\n";
const std::string fullList = "[product]\nname=Tarvik\nversion=3.1\nkey=Tarvik\nsource=..\\files\n"
                             "path=yes\n[files]\nTarvik.exe\ntarvik-cli.exe\nquenlib.dll\n"
                             "doc\\guide.pdf\n[shortcut]\nname=Tarvik\ntarget=Tarvik.exe\n"
                             "[association]\nextension=.sim\nprogid=Tarvik.Program\n"
                             "description=Tarvik SIM program\ntarget=Tarvik.exe\n";

// Everything the installer may touch, to compare before and after.
struct State {
    FoldedMap<std::string> files;
    std::set<std::string, FoldedLess> folders;
    FoldedMap<FoldedMap<RegistryValue>> keys;

    friend bool operator==(const State&, const State&) = default;
};

State StateOf(const FakeMachine& m) {
    return {m.files.files, m.files.folders, m.registry.keys};
}

std::string Value(FakeMachine& m, const std::string& key, const std::string& name) {
    const auto value = m.registry.readValue(key, name);
    return value.value ? value.value->text : "(none)";
}

TEST(InstallRun, InstallsFilesUninstallEntryPathShortcutAndAssociation) {
    FakeMachine m;
    const auto done = InstallProduct(ListOf(fullList), FakeMachine::places(), m.machine);
    ASSERT_TRUE(done.ok()) << done.error;
    EXPECT_EQ(done.value, "Tarvik 3.1 is installed in " + tarvikFolder + ".");
    for (const char* name : {"Tarvik.exe", "tarvik-cli.exe", "quenlib.dll", "doc\\guide.pdf"}) {
        EXPECT_EQ(m.files.files[tarvikFolder + "\\" + name],
                  "new " + std::string(name == std::string("doc\\guide.pdf") ? "guide" : name));
    }
    EXPECT_EQ(m.files.files[tarvikFolder + "\\uninstall.exe"], "installer program");
    EXPECT_EQ(m.files.files[startMenu + "\\Tarvik.lnk"],
              "link to " + tarvikFolder + "\\Tarvik.exe in " + tarvikFolder);
    // Nothing staged or set aside is left.
    for (const auto& [path, content] : m.files.files) {
        EXPECT_EQ(path.find(".tarvik-"), std::string::npos) << path;
    }
    // The values Windows reads from an uninstall entry (Microsoft's "Uninstall Registry Key").
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"DisplayName", "Tarvik"},
        {"DisplayVersion", "3.1"},
        {"InstallLocation", tarvikFolder},
        {"UninstallString", "\"" + tarvikFolder + "\\uninstall.exe\" /uninstall"},
        {"QuietUninstallString", "\"" + tarvikFolder + "\\uninstall.exe\" /uninstall /quiet"},
        {"DisplayIcon", tarvikFolder + "\\Tarvik.exe"},
    };
    for (const auto& [name, text] : texts) {
        EXPECT_EQ(Value(m, uninstallKey, name), text) << name;
    }
    for (const char* name : {"NoModify", "NoRepair"}) {
        EXPECT_EQ(m.registry.readValue(uninstallKey, name).value,
                  (RegistryValue{ValueKind::Number, "", 1}));
    }
    // PATH keeps its kind, so that %USERPROFILE% is still expanded.
    EXPECT_EQ(m.registry.readValue("Environment", "Path").value,
              (RegistryValue{ValueKind::ExpandedText, "%USERPROFILE%\\bin;" + tarvikFolder, 0}));
    EXPECT_EQ(Value(m, "Software\\Classes\\.sim", ""), "Tarvik.Program");
    EXPECT_EQ(Value(m, "Software\\Classes\\Tarvik.Program\\shell\\open\\command", ""),
              "\"" + tarvikFolder + "\\Tarvik.exe\" \"%1\"");
    EXPECT_EQ(m.desktop.environmentAnnounced, 1);
    EXPECT_EQ(m.desktop.associationAnnounced, 1);
}

TEST(InstallRun, ReinstallReplacesFilesKeepsOnePathEntryAndDropsWhatIsNoLongerListed) {
    FakeMachine m;
    ASSERT_TRUE(InstallProduct(ListOf(fullList), FakeMachine::places(), m.machine).ok());
    m.files.files["C:\\pkg\\files\\tarvik-cli.exe"] = "newer tarvik-cli.exe";
    // A file the user put in the folder is none of the installer's business.
    m.files.files[tarvikFolder + "\\notes.txt"] = "mine";
    const auto done = InstallProduct(ListOf(cliList), FakeMachine::places(), m.machine);
    ASSERT_TRUE(done.ok()) << done.error;
    EXPECT_EQ(m.files.files[tarvikFolder + "\\tarvik-cli.exe"], "newer tarvik-cli.exe");
    for (const std::string& gone :
         {tarvikFolder + "\\Tarvik.exe", tarvikFolder + "\\doc\\guide.pdf",
          startMenu + "\\Tarvik.lnk"}) {
        EXPECT_FALSE(m.files.files.contains(gone)) << gone;
    }
    EXPECT_TRUE(m.files.files.contains(tarvikFolder + "\\notes.txt"));
    EXPECT_EQ(Value(m, "Environment", "Path"), "%USERPROFILE%\\bin;" + tarvikFolder);
    EXPECT_EQ(Value(m, uninstallKey, "DisplayName"), "Tarvik command line");
    EXPECT_EQ(Value(m, uninstallKey, "Publisher"), "Tarvik");
    EXPECT_FALSE(m.registry.keyExists("Software\\Classes\\Tarvik.Program").value);
    EXPECT_FALSE(m.registry.keyExists("Software\\Classes\\.sim").value);
}

TEST(InstallRun, UninstallLeavesTheMachineAsBeforeTheInstall) {
    struct Case {
        std::string name;
        std::function<void(FakeMachine&)> before; // the machine before the install
        std::function<void(FakeMachine&)> during; // after the install, before the uninstall
        std::function<void(State&)> expected;     // what differs from before the install
    };
    const std::vector<Case> cases = {
        {"nothing in use", [](FakeMachine&) {}, [](FakeMachine&) {}, [](State&) {}},
        {"PATH changed meanwhile", [](FakeMachine&) {},
         [](FakeMachine& m) {
             m.registry.keys["Environment"]["Path"].text =
                 "C:\\first;" + tarvikFolder + ";C:\\last";
         },
         [](State& s) { s.keys["Environment"]["Path"].text = "C:\\first;C:\\last"; }},
        {"the user's own PATH entry for the folder",
         [](FakeMachine& m) { m.registry.keys["Environment"]["Path"].text = tarvikFolder; },
         [](FakeMachine&) {}, [](State&) {}},
        {"no PATH value before", [](FakeMachine& m) { m.registry.keys["Environment"].clear(); },
         [](FakeMachine&) {}, [](State&) {}},
        {"the uninstall program runs", [](FakeMachine&) {},
         [](FakeMachine& m) { m.files.inUse.insert(tarvikFolder + "\\uninstall.exe"); },
         [](State& s) { s.files["C:\\Temp\\tarvik-removed-uninstall.exe"] = "installer program"; }},
        {".sim taken over by another program", [](FakeMachine&) {},
         [](FakeMachine& m) {
             m.registry.keys["Software\\Classes\\.sim"][""].text = "Other.Program";
         },
         [](State& s) {
             s.keys["Software\\Classes\\.sim"][""] = {ValueKind::Text, "Other.Program", 0};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMachine m;
        c.before(m);
        State expected = StateOf(m);
        ASSERT_TRUE(InstallProduct(ListOf(fullList), FakeMachine::places(), m.machine).ok());
        c.during(m);
        const auto done = UninstallProduct(FakeMachine::places(), m.machine);
        ASSERT_TRUE(done.ok()) << done.error;
        EXPECT_EQ(done.value, "Tarvik is removed.");
        c.expected(expected);
        const State after = StateOf(m);
        EXPECT_EQ(after.files, expected.files);
        EXPECT_EQ(after.folders, expected.folders);
        EXPECT_EQ(after.keys, expected.keys);
    }
}

TEST(InstallRun, AFailureAtAnyChangeLeavesEverythingAsItWas) {
    struct Case {
        std::string name;
        std::function<void(FakeMachine&)> prepare;
        std::function<Outcome<std::string>(FakeMachine&)> run;
    };
    const auto install = [](const std::string& list) {
        return [list](FakeMachine& m) {
            return InstallProduct(ListOf(list), FakeMachine::places(), m.machine);
        };
    };
    const auto installed = [](const std::string& list) {
        return [list](FakeMachine& m) {
            ASSERT_TRUE(InstallProduct(ListOf(list), FakeMachine::places(), m.machine).ok());
        };
    };
    const std::vector<Case> cases = {
        {"first install", [](FakeMachine&) {}, install(fullList)},
        {"install over another", installed(fullList), install(cliList)},
        {"install over the same", installed(cliList), install(cliList)},
        {"uninstall", installed(fullList),
         [](FakeMachine& m) { return UninstallProduct(FakeMachine::places(), m.machine); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int changes = 0;
        {
            FakeMachine m;
            c.prepare(m);
            m.counter.made = 0;
            ASSERT_TRUE(c.run(m).ok());
            changes = m.counter.made;
        }
        int failures = 0;
        for (int n = 0; n < changes; ++n) {
            SCOPED_TRACE(n);
            FakeMachine m;
            c.prepare(m);
            const State before = StateOf(m);
            m.desktop.environmentAnnounced = 0;
            m.counter.made = 0;
            m.counter.failAt = n;
            const auto done = c.run(m);
            if (done.ok()) {
                // Past the point of no return only deleting the former files is left, and
                // what cannot be deleted is kept aside.
                EXPECT_NE(StateOf(m), before);
                continue;
            }
            ++failures;
            EXPECT_TRUE(done.error.ends_with(" Nothing was changed.")) << done.error;
            EXPECT_TRUE(done.error.find("injected") != std::string::npos) << done.error;
            const State after = StateOf(m);
            EXPECT_EQ(after.files, before.files);
            EXPECT_EQ(after.folders, before.folders);
            EXPECT_EQ(after.keys, before.keys);
            EXPECT_EQ(m.desktop.environmentAnnounced, 0);
        }
        EXPECT_GT(failures, changes / 2);
    }
}

TEST(InstallRun, AFileHeldOpenStopsTheRunWithItsNameAndChangesNothing) {
    struct Case {
        std::string name;
        std::function<Outcome<std::string>(FakeMachine&)> run;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"reinstall",
         [](FakeMachine& m) {
             return InstallProduct(ListOf(cliList), FakeMachine::places(), m.machine);
         },
         "Cannot replace the files in " + tarvikFolder + ": cannot move " + tarvikFolder +
             "\\quenlib.dll to " + tarvikFolder +
             "\\quenlib.dll.tarvik-old. Close the programs started from there and try "
             "again. Nothing was changed."},
        {"uninstall",
         [](FakeMachine& m) { return UninstallProduct(FakeMachine::places(), m.machine); },
         "Cannot remove " + tarvikFolder + "\\quenlib.dll: cannot move " + tarvikFolder +
             "\\quenlib.dll to " + tarvikFolder +
             "\\quenlib.dll.tarvik-old. Close the programs started from there and try "
             "again. Nothing was changed."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMachine m;
        ASSERT_TRUE(InstallProduct(ListOf(cliList), FakeMachine::places(), m.machine).ok());
        m.files.locked.insert(tarvikFolder + "\\quenlib.dll");
        const State before = StateOf(m);
        const auto done = c.run(m);
        EXPECT_EQ(done.error, c.error);
        EXPECT_EQ(StateOf(m), before);
    }
}

} // namespace
} // namespace installer::test
