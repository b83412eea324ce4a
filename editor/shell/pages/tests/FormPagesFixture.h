#pragma once

#include "editor/form/DeviceModels.h"
#include "editor/form/FormModel.h"
#include "editor/shell/pages/FormPages.h"

#include <QApplication>
#include <QComboBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace tarvik::testing {

// The form's pages in a window of their own, as the main window holds them: the tabs in
// the window and the device selector above them.
struct FormPagesWindow {
    ~FormPagesWindow() { delete tabs; }

    explicit FormPagesWindow(const LanguageTable& table = LanguageTable())
        : language(table), form(doc, language) {
        auto* layout = new QVBoxLayout(&window);
        tabs = new QTabWidget;
        tabs->setObjectName(QStringLiteral("PGSim"));
        pages = &FormPages::Build(*tabs, form, [this] { ++beeps; });
        layout->addWidget(&pages->CBDevice());
        beepWatch = form.connectBeep([this] { ++beeps; });
        layout->addWidget(tabs);
        window.resize(window.sizeHint());
        window.show();
        QApplication::setActiveWindow(&window);
    }

    // The control named name, found in the window as a test finds it.
    template <typename T = QWidget>
    T& get(const char* name) {
        T* widget = window.findChild<T*>(QString::fromLatin1(name));
        if (!widget) {
            ADD_FAILURE() << "no control " << name;
            throw std::runtime_error(name);
        }
        return *widget;
    }

    // Shows the page that holds widget and gives it the keyboard focus.
    void focus(QWidget& widget) {
        for (QWidget* up = &widget; up; up = up->parentWidget()) {
            if (const int index = tabs->indexOf(up); index >= 0) {
                tabs->setCurrentIndex(index);
            }
        }
        widget.setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
    }

    std::string program() const { return doc.program.text().text(); }

    ProgramDocument doc{kDefaultModelIndex};
    LanguageTable language;
    FormModel form;
    QWidget window;
    QTabWidget* tabs = nullptr;
    FormPages* pages = nullptr; // goes with tabs
    int beeps = 0;              // of the pages and of the form
    Connection beepWatch;
};

} // namespace tarvik::testing
