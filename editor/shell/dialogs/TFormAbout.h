#pragma once

#include "editor/shell/dialogs/ShellDialog.h"

namespace tarvik {

// The About box: the program's picture, its name with the version, and OK.
class TFormAbout : public ShellDialog {
public:
    TFormAbout();
};

} // namespace tarvik
