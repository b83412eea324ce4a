// File > Language, the choice of a language, and the accelerator letters of the menus.

#include "editor/shell/mainwindow/LanguageMenu.h"

#include "editor/shell/app/ResourceFolders.h"
#include "editor/shell/i18n/WindowTranslator.h"
#include "editor/shell/mainwindow/MenuAccelerators.h"
#include "editor/shell/testing/GuiTestSupport.h"
#include "editor/shell/testing/ScriptedPrompts.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <gtest/gtest.h>

namespace tarvik {
namespace {

using testing::ScriptedPrompts;
using testing::TestFolder;

QStringList Captions(const QMenu& menu) {
    QStringList captions;
    for (const QAction* item : menu.actions()) {
        captions.push_back(item->text() + (item->isChecked() ? "*" : ""));
    }
    return captions;
}

TEST(LanguageMenuTest, StoredLanguageIsCheckedWhateverItsCase) {
    const QStringList files = {"/p/LAN_Deutsch.ini", "/p/LAN_Italiano.ini"};
    struct Case {
        QString stored;
        QStringList captions;
        QString file;
    };
    const std::vector<Case> cases = {
        {"deutsch", {"English", "Deutsch*", "Italiano"}, "/p/LAN_Deutsch.ini"},
        {"ITALIANO", {"English", "Deutsch", "Italiano*"}, "/p/LAN_Italiano.ini"},
        {"", {"English*", "Deutsch", "Italiano"}, ""},
        {"English", {"English*", "Deutsch", "Italiano"}, ""},
        {"Fran\u00e7ais", {"English*", "Deutsch", "Italiano"}, ""},
    };
    for (const auto& c : cases) {
        QMenu menu;
        const auto chosen = BuildLanguageMenu(menu, files, c.stored, {});
        EXPECT_EQ(Captions(menu), c.captions) << c.stored.toStdString();
        EXPECT_EQ(chosen ? chosen->file : QString(), c.file) << c.stored.toStdString();
    }
}

TEST(LanguageMenuTest, ChoosingALanguageAsksForARestartAndStoresIt) {
    TestFolder folder;
    const auto settings = folder.OpenSettings();
    ScriptedPrompts prompts;
    LanguageTable table;
    table.load({"Please restart Tarvik=Riavviare Tarvik", "New language:=Nuova lingua:"});
    QMenu menu;
    BuildLanguageMenu(menu, {"/p/LAN_Deutsch.ini"}, "",
                      [&](QAction& item) { ChooseLanguage(item, prompts, *settings, table); });
    QAction* deutsch = menu.actions()[1];
    // Accelerators and translations change what the item shows, not what it stands for.
    deutsch->setText("&Tedesco");
    deutsch->trigger();

    EXPECT_EQ(prompts.infos, QStringList{"Riavviare Tarvik\r\nNuova lingua: Deutsch"});
    EXPECT_EQ(settings->Language(), "Deutsch");
    // On disk at once, not only when the program ends.
    EXPECT_EQ(QSettings(folder.file("settings.ini"), QSettings::IniFormat).value("User/Language"),
              "Deutsch");
    EXPECT_EQ(Captions(menu), (QStringList{"English", "&Tedesco*"}));

    menu.actions()[0]->trigger();
    EXPECT_EQ(settings->Language(), "English");
    EXPECT_EQ(prompts.infos.back(), "Riavviare Tarvik\r\nNuova lingua: English");
}

TEST(LanguageMenuTest, LanguageFilesBesideTheProgramComeBeforeInstalledOnes) {
    TestFolder folder;
    QDir(folder.path()).mkpath("bin");
    QDir(folder.path()).mkpath("share/tarvik");
    folder.Write("bin/LAN_Italiano.ini", "a=b\n");
    folder.Write("share/tarvik/LAN_Italiano.ini", "a=c\n");
    folder.Write("share/tarvik/LAN_Deutsch.ini", "a=d\n");
    folder.Write("share/tarvik/Man_English.pdf", "%PDF");
    folder.Write("bin/tarvik", "");

    const ResourceFolders folders = ResourceFolders::ForExecutable(folder.file("bin/tarvik"));
    EXPECT_EQ(folders.programDir(), folder.file("bin/"));
    EXPECT_EQ(folders.LanguageFiles(), (QStringList{folder.file("bin/LAN_Italiano.ini"),
                                                    folder.file("share/tarvik/LAN_Deutsch.ini")}));
    EXPECT_EQ(folders.Find("Man_English.pdf"), folder.file("share/tarvik/Man_English.pdf"));
    EXPECT_EQ(folders.Find("LAN_Italiano.ini"), folder.file("bin/LAN_Italiano.ini"));
    EXPECT_EQ(folders.Find("missing.pdf"), std::nullopt);
    EXPECT_EQ(folders.Find("share"), std::nullopt) << "a folder is no file";
}

TEST(LanguageMenuTest, StoredLanguageLoadsAndTranslates) {
    // LAN_Deutsch.ini holding a header and one line, "Language" = deutsch.
    TestFolder folder;
    folder.Write("LAN_Deutsch.ini", ";header\r\nRead SIM=SIM lesen\r\n");
    const ResourceFolders folders({folder.path()});
    QMenu menu;
    const auto chosen = BuildLanguageMenu(menu, folders.LanguageFiles(), "deutsch", {});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->name, "Deutsch");
    LanguageTable table;
    table.loadFile(QFile::encodeName(chosen->file).toStdString());
    QWidget window;
    auto* button = new QPushButton("Read SIM", &window);
    WindowTranslator(window, table).Translate();
    EXPECT_EQ(button->text(), "SIM lesen");
}

TEST(MenuAcceleratorsTest, EveryItemGetsALetterOfItsOwnPerMenu) {
    QMenuBar bar;
    QMenu* file = bar.addMenu("File");
    for (const char* caption :
         {"New", "Open", "Save", "Send", "Exit", "&Language", "Read", "1x", "R&&D", "--"}) {
        file->addAction(caption);
    }
    file->addSeparator();
    bar.addMenu("Device");
    bar.addMenu("Help");
    AssignMenuAccelerators(bar);

    QStringList top;
    for (const QAction* item : bar.actions()) {
        top.push_back(item->text());
    }
    EXPECT_EQ(top, (QStringList{"&File", "&Device", "&Help"}));
    EXPECT_EQ(Captions(*file), (QStringList{"&New", "&Open", "&Save", "S&end", "E&xit", "&Language",
                                            "&Read", "&1x", "R&&&D", "--", ""}));
}

} // namespace
} // namespace tarvik
