#pragma once

#include <QString>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class QDialog;
class QMessageBox;
class QWidget;

namespace setup::gui {

class QtProgressDialog;

// What the tests of the setup program can ask of a real run through the environment variable
// SETUP_TEST_HOOK, since they cannot reach its windows themselves. Without that variable there
// is no hook and nothing here runs. The value is a list of settings separated by ";":
//   report=FILE    every event of the run is appended to FILE, one a line
//   shots=FOLDER   the dialog, the start-bitmap window and message boxes are saved as PNGs
//   cancel-at=N    Cancel is clicked when the progress bar reaches step N
//   pause-at=N     after step N the extractor waits until the message loop has ended or the
//                  signal SIGUSR1 has come (30 s at most), so that a test can send the signal
//                  while the package is being extracted
// Message boxes are always answered with OK, after they have been reported.
class TestHook {
public:
    // The hook the environment asks for, or none.
    static std::unique_ptr<TestHook> fromEnvironment();

    explicit TestHook(const std::string& settings);

    // Main thread.
    void dialogShown(QDialog& dialog);
    void windowCreated(QWidget& window, bool shown);
    // After the dialog has shown step `step`; may click Cancel.
    void stepShown(QtProgressDialog& dialog, std::size_t step);
    // Reports the box and makes it answer itself with OK as soon as it runs.
    void answerMessageBox(QMessageBox& box);
    void loopEnded();
    void signalReceived();

    // Extractor thread, after step `step` was sent.
    void afterStep(std::size_t step);

private:
    void report(const QString& event);
    void shoot(QWidget& widget, const QString& name);

    QString reportPath_;
    QString shotFolder_;
    std::optional<std::size_t> cancelAt_;
    std::optional<std::size_t> pauseAt_;

    std::mutex mutex_;
    std::condition_variable releaseChanged_;
    bool released_ = false;
};

} // namespace setup::gui
