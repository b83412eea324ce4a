#pragma once

class QMenuBar;

namespace tarvik {

// Gives every item of the menu bar and of its menus an accelerator letter ("&File"): per
// menu, the first letter or digit of the caption that no earlier item of that menu uses
// yet. Items that already have one keep it. Runs after translation, so the letters fit
// the language shown.
void AssignMenuAccelerators(QMenuBar& bar);

} // namespace tarvik
