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

class kivCDlgProg;

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
    static std::unique_ptr<TestHook> FromEnvironment();

    explicit TestHook(const std::string& settings);

    // Main thread.
    void DialogShown(QDialog& dialog);
    void WindowCreated(QWidget& window, bool bShown);
    // After the dialog has shown step `step`; may click Cancel.
    void StepShown(kivCDlgProg& dialog, std::size_t step);
    // Reports the box and makes it answer itself with OK as soon as it runs.
    void AnswerMessageBox(QMessageBox& box);
    void LoopEnded();
    void SignalReceived();

    // Extractor thread, after step `step` was sent.
    void AfterStep(std::size_t step);

private:
    void Report(const QString& event);
    void Shoot(QWidget& widget, const QString& name);

    QString m_reportPath;
    QString m_shotFolder;
    std::optional<std::size_t> m_cancelAt;
    std::optional<std::size_t> m_pauseAt;

    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_bReleased = false;
};

} // namespace setup::gui
