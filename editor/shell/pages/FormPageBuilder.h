#pragma once

#include "editor/form/FieldDef.h"

#include <string>
#include <string_view>
#include <vector>

class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;

namespace tarvik {

// The widgets of the form's pages as built from the field table, before any binding.
struct FormPageWidgets {
    std::vector<QWidget*> fields;   // by index in FieldTable(); every field has one
    std::vector<QWidget*> pages;    // in the order of FormTabs()
    std::vector<QGroupBox*> groups; // in the order of FormGroups()
    QPushButton* butRead = nullptr;
    QPushButton* butWrite = nullptr;
    QPushButton* butSendSms = nullptr; // under the remote-programming text
    QLabel* devicePicture = nullptr;
};

// Adds a page to tabs for each page of the form, lays out its group boxes on the page's
// grid and the fields in their groups, and creates every other field (CBDevice) as a child
// of tabs, for the main window to place in its tool bar. Every widget carries its control
// name.
FormPageWidgets BuildFormPageWidgets(QTabWidget& tabs);

// The control name of a group box: "GB" and the words of its caption run together, each
// beginning with a capital ("SIM program" gives "GBSIMProgram").
std::string GroupBoxName(std::string_view caption);

// The control name of a page ("TSMain", ..., "TSRamp" for the barrier page).
std::string PageName(Tab tab);

} // namespace tarvik
