// The settings file: defaults, values that are not what they should be, and what the
// program writes.

#include "editor/shell/app/Settings.h"

#include "editor/core/PasswordDigest.h"
#include "editor/shell/testing/GuiTestSupport.h"

#include <QSettings>
#include <gtest/gtest.h>

namespace tarvik {
namespace {

using testing::TestFolder;

TEST(SettingsTest, AbsentValuesReadAsTheirDefaults) {
    TestFolder folder;
    const auto settings = folder.OpenSettings();
    EXPECT_EQ(settings->Language(), "");
    EXPECT_EQ(settings->Name(), "GSM");
    EXPECT_EQ(settings->PublicKey(), static_cast<std::int32_t>(FactoryDigest()));
}

TEST(SettingsTest, PublicKeyThatIsNotADecimalNumberReadsAsTheFactoryDigest) {
    struct Case {
        QByteArray stored;
        std::int32_t read;
    };
    const std::int32_t factory = static_cast<std::int32_t>(FactoryDigest());
    const std::vector<Case> cases = {
        {"12345", 12345},
        {"-5", -5}, // a number, though no digest: nobody can log in with it
        {"2147483647", 2147483647},
        {"abc", factory},
        {"12x", factory},
        {"0x1F", factory},
        {"", factory},
        {"2147483648", factory}, // does not fit 32 bits
        {"99999999999999999999", factory},
        {"1,2", factory}, // a list in an INI file
        {"\"\\xff\\xfe\"", factory},
    };
    for (const auto& c : cases) {
        TestFolder folder;
        folder.Write("settings.ini", "[User]\nName=GSM\nPublicKey=" + c.stored + "\n");
        EXPECT_EQ(folder.OpenSettings()->PublicKey(), c.read) << c.stored.toStdString();
    }
}

TEST(SettingsTest, ValuesAreWrittenAsTextInTheUserGroup) {
    TestFolder folder;
    {
        const auto settings = folder.OpenSettings();
        settings->SetLanguage("Deutsch");
        settings->SetName(QStringLiteral("J\u00fcrgen, M."));
        settings->SetPublicKey(2147483647u);
    }
    QSettings raw(folder.file("settings.ini"), QSettings::IniFormat);
    EXPECT_EQ(raw.value("User/Language").toString(), "Deutsch");
    EXPECT_EQ(raw.value("User/PublicKey").toString(), "2147483647");
    const auto again = folder.OpenSettings();
    EXPECT_EQ(again->Name(), QStringLiteral("J\u00fcrgen, M."));
    EXPECT_EQ(again->PublicKey(), 2147483647);
}

TEST(SettingsTest, HandWrittenFileWithCommasOrJunkStillReads) {
    TestFolder folder;
    folder.Write("settings.ini", QByteArray("[User]\nName=a, b\nLanguage=\x01\xff\nbroken line\n"
                                            "[Other]\nName=x\n"));
    const auto settings = folder.OpenSettings();
    EXPECT_EQ(settings->Name(), "a,b");
    EXPECT_FALSE(settings->Language().isEmpty());
}

} // namespace
} // namespace tarvik
