// Where the user's settings live on Linux and how they are laid out there.

#include "editor/shell/app/Settings.h"
#include "editor/shell/testing/GuiTestSupport.h"

#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

namespace tarvik {
namespace {

using testing::TestFolder;

// QSettings' native format for the user scope is an INI file named after the organisation
// and the application below the configuration folder ($XDG_CONFIG_HOME, by default
// ~/.config, where the XDG base directory rules put it). The test points the folder at
// one of its own; the file's name and bytes below it are what users and their scripts see.
TEST(UserSettingsPlaceTest, TheUserSettingsAreTextInTheUserSectionOfVelmorTarvikConf) {
    const TestFolder config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    {
        const auto settings = Settings::OpenUser();
        settings->SetLanguage(QStringLiteral("Italiano"));
        settings->SetName(QStringLiteral("GSM"));
        settings->SetPublicKey(2147483647u);
    }
    QFile file(config.file(QStringLiteral("Velmor/Tarvik.conf")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(),
              "[User]\nLanguage=Italiano\nName=GSM\nPublicKey=2147483647\n");
}

} // namespace
} // namespace tarvik
