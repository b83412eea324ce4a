#pragma once

// One run of the editor for the main window's tests: the real windows over a test folder's
// settings, with scripted prompts.

#include "editor/shell/app/Application.h"
#include "editor/shell/mainwindow/MainWindow.h"
#include "editor/shell/testing/GuiTestSupport.h"
#include "editor/shell/testing/ScriptedPrompts.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace tarvik::testing {

// The factory user's login: the password is filled in, Enter logs in.
inline void PressEnter(QDialog& dialog) {
    QTest::keyClick(dialog.findChild<QLineEdit*>(QStringLiteral("EdPsw")), Qt::Key_Return);
}

// One run of the editor over the files of a test folder.
class Editor {
public:
    explicit Editor(const TestFolder& folder, QStringList programDirs = {})
        : settings_(folder.OpenSettings()),
          app_(*settings_, prompts,
               ResourceFolders(programDirs.isEmpty() ? QStringList{folder.path()} : programDirs)) {
        app_.CreateWindows();
    }
    ~Editor() { EXPECT_TRUE(prompts.AllAnswersUsed()); }

    // Shows the window with the factory user's login.
    void Start() {
        prompts.QueueExec(PressEnter);
        window().show();
        ASSERT_TRUE(window().LoggedIn());
    }

    MainWindow& window() { return *app_.mainWindow(); }
    Application& app() { return app_; }
    Settings& settings() { return *settings_; }
    ProgramDocument& doc() { return window().document(); }

    template <typename T = QWidget>
    T& find(const char* name) {
        T* found = window().findChild<T*>(QString::fromLatin1(name));
        if (!found) {
            ADD_FAILURE() << "no " << name;
            throw std::runtime_error(name);
        }
        return *found;
    }
    QAction& item(const char* name) { return find<QAction>(name); }
    // Shows the page that holds widget and gives it the keyboard focus.
    void focus(QWidget& widget) {
        auto& tabs = find<QTabWidget>("PageControl1");
        for (QWidget* up = &widget; up; up = up->parentWidget()) {
            if (const int index = tabs.indexOf(up); index >= 0) {
                tabs.setCurrentIndex(index);
            }
        }
        widget.setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
    }
    void click(const char* button) { find<QToolButton>(button).click(); }

    ScriptedPrompts prompts;

private:
    std::unique_ptr<Settings> settings_;
    Application app_;
};

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace tarvik::testing
