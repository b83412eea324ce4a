// The login at start and the change of name and password, through the real dialogs.

#include "editor/shell/app/Login.h"

#include "editor/core/PasswordDigest.h"
#include "editor/shell/app/Application.h"
#include "editor/shell/dialogs/NewPasswordDialog.h"
#include "editor/shell/dialogs/PasswordDialog.h"
#include "editor/shell/testing/GuiTestSupport.h"
#include "editor/shell/testing/ScriptedPrompts.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>

namespace tarvik {
namespace {

using testing::ScriptedPrompts;
using testing::TestFolder;

// One start of the program, up to the login: fresh windows over the same settings file.
class Start {
public:
    explicit Start(const TestFolder& folder)
        : settings_(folder.OpenSettings()),
          app_(*settings_, prompts, ResourceFolders({folder.path()})) {
        app_.CreateWindows();
    }

    bool Login() { return RunLogin(app_.passwordDialog(), *settings_, prompts, language_); }
    PasswordDialog& login() { return app_.passwordDialog(); }
    NewPasswordDialog& change() { return app_.newPasswordDialog(); }
    Settings& settings() { return *settings_; }

    ScriptedPrompts prompts;

private:
    LanguageTable language_;
    std::unique_ptr<Settings> settings_;
    Application app_;
};

// Types a password (after clearing the box) and presses Enter in the password box.
void EnterPassword(QDialog& dialog, const QString& password) {
    auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("EdPsw"));
    ASSERT_NE(box, nullptr);
    box->clear();
    QTest::keyClicks(box, password);
    QTest::keyClick(box, Qt::Key_Return);
}

void TypeInto(QDialog& dialog, const char* box, const QString& text) {
    auto* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(box));
    ASSERT_NE(edit, nullptr) << box;
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

TEST(LoginTest, FactoryUserLogsInWithEnter) {
    TestFolder folder;
    Start start(folder);
    start.prompts.QueueExec([](QDialog& dialog) {
        // The user name and the password are filled in; the cursor waits in the password.
        EXPECT_EQ(dialog.windowTitle(), "Password");
        EXPECT_EQ(dialog.findChild<QLineEdit*>("EdName")->text(), "GSM");
        auto* password = dialog.findChild<QLineEdit*>("EdPsw");
        EXPECT_EQ(password->text(), "KTX");
        EXPECT_EQ(password->echoMode(), QLineEdit::Password);
        EXPECT_TRUE(password->hasFocus());
        QTest::keyClick(password, Qt::Key_Return);
    });
    EXPECT_TRUE(start.Login());
}

TEST(LoginTest, WrongPasswordOrCancelEndsTheProgram) {
    struct Case {
        const char* what;
        std::function<void(QDialog&)> answer;
        QStringList errors;
    };
    const QStringList wrong{"Wrong password"};
    const std::vector<Case> cases = {
        {"wrong password", [](QDialog& d) { EnterPassword(d, "KTY"); }, wrong},
        {"empty password", [](QDialog& d) { EnterPassword(d, ""); }, wrong},
        {"close box", [](QDialog& d) { d.close(); }, {}},
        {"Escape", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, {}},
        {"other user",
         [](QDialog& d) {
             TypeInto(d, "EdName", "ADMIN");
             d.findChild<QPushButton*>("ButOK")->click();
         },
         wrong},
    };
    for (const auto& c : cases) {
        TestFolder folder;
        Start start(folder);
        start.prompts.QueueExec(c.answer);
        EXPECT_FALSE(start.Login()) << c.what;
        // Credentials that do not match say so; a login the user cancelled needs no word.
        EXPECT_EQ(start.prompts.errors, c.errors) << c.what;
    }
}

TEST(LoginTest, OkButtonLogsInAndTabOrderStartsAtThePassword) {
    TestFolder folder;
    Start start(folder);
    start.prompts.QueueExec([](QDialog& dialog) {
        auto* password = dialog.findChild<QLineEdit*>("EdPsw");
        auto* ok = dialog.findChild<QPushButton*>("ButOK");
        auto* name = dialog.findChild<QLineEdit*>("EdName");
        EXPECT_TRUE(password->hasFocus());
        QTest::keyClick(password, Qt::Key_Tab);
        EXPECT_TRUE(ok->hasFocus());
        QTest::keyClick(ok, Qt::Key_Tab);
        EXPECT_TRUE(name->hasFocus());
        EXPECT_EQ(password->maxLength(), 15);
        EXPECT_EQ(name->maxLength(), 15);
        ok->click();
    });
    EXPECT_TRUE(start.Login());
}

TEST(LoginTest, AStoredNameLongerThanTheBoxesTakeStillLogsIn) {
    TestFolder folder;
    const QString name = QStringLiteral("Amministratore di sistema"); // 25 characters
    {
        Start setUp(folder);
        setUp.settings().SetName(name);
        setUp.settings().SetPublicKey(CredentialsDigest("Amministratore di sistema", "Sirena7"));
    }
    Start start(folder);
    start.prompts.QueueExec([&](QDialog& dialog) {
        EXPECT_EQ(dialog.findChild<QLineEdit*>("EdName")->text(), name);
        EnterPassword(dialog, "Sirena7");
    });
    EXPECT_TRUE(start.Login());
}

TEST(LoginTest, ChangedCredentialsApplyFromTheNextStartInAnyLetterCase) {
    TestFolder folder;
    {
        Start first(folder);
        first.prompts.QueueExec([](QDialog& d) { EnterPassword(d, "KTX"); });
        ASSERT_TRUE(first.Login());
        first.prompts.QueueExec([](QDialog& dialog) {
            // The change dialog starts from the name used to log in, with OK disabled.
            EXPECT_EQ(dialog.windowTitle(), "Change password");
            EXPECT_EQ(dialog.findChild<QLineEdit*>("EdName")->text(), "GSM");
            EXPECT_FALSE(dialog.findChild<QPushButton*>("ButOK")->isEnabled());
            TypeInto(dialog, "EdName", "Marco Rossi");
            TypeInto(dialog, "EdNew1", "Sirena7");
            TypeInto(dialog, "EdNew2", "Sirena7");
            dialog.findChild<QPushButton*>("ButOK")->click();
        });
        EXPECT_EQ(first.prompts.Exec(first.change()), QDialog::Accepted);
        // The running program keeps its login.
        EXPECT_EQ(first.login().EdName().text(), "GSM");
    }
    for (const QString& password :
         {QStringLiteral("Sirena7"), QStringLiteral("SIRENA7"), QStringLiteral("sirena7")}) {
        Start next(folder);
        next.prompts.QueueExec([&](QDialog& dialog) {
            // The new name is shown with an empty password box.
            auto* name = dialog.findChild<QLineEdit*>("EdName");
            EXPECT_EQ(name->text(), "Marco Rossi");
            EXPECT_EQ(dialog.findChild<QLineEdit*>("EdPsw")->text(), "");
            name->setText(password == "SIRENA7" ? "MARCO ROSSI" : "marco rossi");
            EnterPassword(dialog, password);
        });
        EXPECT_TRUE(next.Login()) << password.toStdString();
    }
    Start old(folder);
    old.prompts.QueueExec([](QDialog& d) {
        d.findChild<QLineEdit*>("EdName")->setText("GSM");
        EnterPassword(d, "KTX");
    });
    EXPECT_FALSE(old.Login()) << "the factory password no longer works";
}

TEST(LoginTest, ChangeOkNeedsTwoEqualPasswordsAndAName) {
    struct Case {
        const char* name;
        const char* first;
        const char* second;
        bool enabled;
    };
    const std::vector<Case> cases = {
        {"GSM", "abc", "abc", true},   {"GSM", "abc", "ABC", false}, // differ only in case
        {"GSM", "abc", "abcd", false}, {"GSM", "", "", false},
        {"", "abc", "abc", false},     {" ", "x", "x", true},
    };
    TestFolder folder;
    Start start(folder);
    for (const auto& c : cases) {
        start.prompts.QueueExec([&](QDialog& dialog) {
            TypeInto(dialog, "EdNew1", c.first);
            TypeInto(dialog, "EdNew2", c.second);
            auto* name = dialog.findChild<QLineEdit*>("EdName");
            name->clear();
            QTest::keyClicks(name, c.name);
            EXPECT_EQ(dialog.findChild<QPushButton*>("ButOK")->isEnabled(), c.enabled)
                << c.name << "/" << c.first << "/" << c.second;
            dialog.findChild<QPushButton*>("ButCa")->click();
        });
        EXPECT_EQ(start.prompts.Exec(start.change()), QDialog::Rejected);
    }
}

TEST(LoginTest, CancelledChangeWritesNothingAndTheBoxesStartEmptyAgain) {
    TestFolder folder;
    Start start(folder);
    start.prompts.QueueExec([](QDialog& dialog) {
        TypeInto(dialog, "EdName", "Anna");
        TypeInto(dialog, "EdNew1", "pw");
        TypeInto(dialog, "EdNew2", "pw");
        ASSERT_TRUE(dialog.findChild<QPushButton*>("ButOK")->isEnabled());
        dialog.findChild<QPushButton*>("ButCa")->click();
    });
    EXPECT_EQ(start.prompts.Exec(start.change()), QDialog::Rejected);
    start.prompts.QueueExec([](QDialog& dialog) {
        EXPECT_EQ(dialog.findChild<QLineEdit*>("EdName")->text(), "GSM");
        EXPECT_EQ(dialog.findChild<QLineEdit*>("EdNew1")->text(), "");
        EXPECT_EQ(dialog.findChild<QLineEdit*>("EdNew2")->text(), "");
        EXPECT_FALSE(dialog.findChild<QPushButton*>("ButOK")->isEnabled());
        dialog.close();
    });
    EXPECT_EQ(start.prompts.Exec(start.change()), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(folder.file("settings.ini")));
    EXPECT_EQ(start.settings().Name(), "GSM");
    EXPECT_EQ(start.settings().PublicKey(), static_cast<std::int32_t>(FactoryDigest()));
}

TEST(LoginTest, ChangeStoresNameAndDigestAsText) {
    TestFolder folder;
    Start start(folder);
    start.prompts.QueueExec([](QDialog& dialog) {
        TypeInto(dialog, "EdName", "Luca");
        TypeInto(dialog, "EdNew1", "x_y");
        TypeInto(dialog, "EdNew2", "x_y");
        QTest::keyClick(dialog.findChild<QLineEdit*>("EdNew2"), Qt::Key_Return);
    });
    ASSERT_EQ(start.prompts.Exec(start.change()), QDialog::Accepted);
    QSettings raw(folder.file("settings.ini"), QSettings::IniFormat);
    EXPECT_EQ(raw.value("User/Name").toString(), "Luca");
    EXPECT_EQ(raw.value("User/PublicKey").toString(), QString::number(PasswordDigest("LUCA_X_Y")));
}

TEST(LoginTest, NamesAndPasswordsHoldOnlyWindows1252Text) {
    TestFolder folder;
    Start start(folder);
    start.prompts.QueueExec([](QDialog& dialog) {
        auto* password = dialog.findChild<QLineEdit*>("EdPsw");
        password->clear();
        // "é" is in Windows-1252 and is kept; "ā" is not and is refused.
        testing::TypeText(*password, QStringLiteral("\u00e9\u0101"));
        EXPECT_EQ(password->text(), QStringLiteral("\u00e9"));
        dialog.close();
    });
    EXPECT_FALSE(start.Login());
}

} // namespace
} // namespace tarvik
