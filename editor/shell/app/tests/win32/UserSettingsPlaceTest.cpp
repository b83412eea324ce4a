// Where the user's settings live on Windows: string values in a registry key of the user.
// The tests write that very key, so they run only in a prefix of their own (the Windows
// test stage makes a fresh one).

#include "editor/core/PasswordDigest.h"
#include "editor/shell/app/Settings.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

namespace tarvik {
namespace {

constexpr wchar_t userKey[] = L"Software\\Velmor\\Tarvik\\User";

struct RegistryValue {
    DWORD type = REG_NONE;
    std::wstring text;
};

// A value of the user key as the registry holds it, read with the Win32 API itself.
std::optional<RegistryValue> ReadRegistryValue(const wchar_t* name) {
    RegistryValue value;
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, userKey, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                     nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, userKey, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                     data.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.text = data.data();
    return value;
}

void WriteRegistryText(const wchar_t* name, const std::wstring& text) {
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, userKey, name, REG_SZ, text.c_str(), bytes),
              ERROR_SUCCESS);
}

class UserSettingsPlaceTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Velmor\\Tarvik"); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Velmor\\Tarvik"); }
};

// Every value is a string (REG_SZ), integers as decimal text, in the subkey "User".
TEST_F(UserSettingsPlaceTest, ValuesAreStringsInTheUserSubkeyOfVelmorTarvik) {
    {
        const auto settings = Settings::OpenUser();
        settings->SetLanguage(QStringLiteral("Deutsch"));
        settings->SetName(QStringLiteral("J\u00fcrgen, M."));
        settings->SetPublicKey(2147483647u);
    }
    struct Case {
        const wchar_t* name;
        std::wstring text;
    };
    const std::vector<Case> cases = {
        {L"Language", L"Deutsch"},
        {L"Name", L"J\u00fcrgen, M."},
        {L"PublicKey", L"2147483647"},
    };
    for (const auto& c : cases) {
        const auto value = ReadRegistryValue(c.name);
        ASSERT_TRUE(value.has_value()) << c.name;
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ)) << c.name;
        EXPECT_EQ(value->text, c.text) << c.name;
    }
}

// Values that another program (or an earlier version) wrote as strings are read as written;
// a PublicKey that is no decimal number counts as absent.
TEST_F(UserSettingsPlaceTest, StringsWrittenToTheKeyAreRead) {
    const auto factory = static_cast<std::int32_t>(FactoryDigest());
    struct Case {
        std::wstring name;
        std::wstring publicKey;
        QString readName;
        std::int32_t readPublicKey;
    };
    const std::vector<Case> cases = {
        {L"GSM", L"12345", QStringLiteral("GSM"), 12345},
        {L"Anna, B\u00e4r", L"0", QStringLiteral("Anna, B\u00e4r"), 0},
        {L"GSM", L"12x", QStringLiteral("GSM"), factory},
        {L"GSM", L"", QStringLiteral("GSM"), factory},
    };
    for (const auto& c : cases) {
        WriteRegistryText(L"Name", c.name);
        WriteRegistryText(L"PublicKey", c.publicKey);
        const auto settings = Settings::OpenUser();
        EXPECT_EQ(settings->Name(), c.readName);
        EXPECT_EQ(settings->PublicKey(), c.readPublicKey) << c.readName.toStdString();
    }
}

} // namespace
} // namespace tarvik
