#pragma once

#include <cstddef>
#include <string_view>

namespace setup {

// The two windows of a run (the progress dialog and the start-bitmap window) and the main
// thread's message loop, as the run drives them. The program implements them with Qt widgets;
// tests implement them with a script.
class SetupWindows {
public:
    virtual ~SetupWindows() = default;

    // Main thread.

    // A message box with an OK button and no owner.
    virtual void showMessage(std::string_view text, std::string_view caption) = 0;
    // Creates the progress dialog, hidden; false when it cannot be made.
    virtual bool createProgressDialog() = 0;
    // Creates the start-bitmap window, which first picks the configuration and the bitmap out
    // of the package; false when the run must end.
    virtual bool createStartBitmapWindow() = 0;
    virtual void moveDialogToCorner() = 0;
    virtual void showDialog() = 0;
    // Runs the message loop until its first quit message. From then on the extractor thread's
    // requests below no longer wait for the main thread.
    virtual void runMessageLoop() = 0;
    // Hides and destroys the start-bitmap window and deletes what it extracted.
    virtual void destroyStartBitmapWindow() = 0;
    virtual void destroyProgressDialog() = 0;

    // Extractor thread. Each request is carried out on the main thread while its message loop
    // runs, and the caller waits for it, unless the loop has ended.
    virtual void setRange(std::size_t count) = 0;
    virtual void stepIt() = 0;
    virtual bool isCancelRequested() = 0;
    virtual void closeProgressDialog() = 0;
};

} // namespace setup
