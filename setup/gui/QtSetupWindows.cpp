#include "setup/gui/QtSetupWindows.h"

#include "setup/gui/SetupMessageBox.h"
#include "setup/gui/TestHook.h"
#include "setup/gui/WizardSignal.h"

#include <QApplication>
#include <QDialog>
#include <QMetaObject>
#include <functional>
#include <utility>

namespace setup::gui {

namespace {

void PostToMainThread(std::function<void()> call) {
    QMetaObject::invokeMethod(qApp, std::move(call), Qt::QueuedConnection);
}

} // namespace

QtSetupWindows::QtSetupWindows(SetupLog& log, SetupPlatform& platform, WizardSignal& wizardSignal,
                               TestHook* hook)
    : m_log(log), m_platform(platform), m_wizardSignal(wizardSignal), m_pHook(hook),
      m_channel(PostToMainThread) {
    // Only the start-bitmap window receives the wizard's message; without it (in silent mode,
    // or once it is gone) the signal is dropped.
    m_wizardSignal.SetHandler([this] {
        if (m_pHook != nullptr) {
            m_pHook->SignalReceived();
        }
        if (m_pMainWnd && m_pMainWnd->Window() != nullptr) {
            m_pMainWnd->OnWizardWindowClosed();
        }
    });
}

QtSetupWindows::~QtSetupWindows() {
    m_wizardSignal.SetHandler(nullptr);
}

void QtSetupWindows::ShowMessage(std::string_view text, std::string_view caption) {
    ShowSetupMessageBox(
        nullptr, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
        QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())), m_pHook);
}

bool QtSetupWindows::CreateProgressDialog() {
    m_pDialog = std::make_unique<kivCDlgProg>(m_log);
    return m_pDialog->Create();
}

bool QtSetupWindows::CreateMainWindow() {
    m_pMainWnd = std::make_unique<CMainWindow>(m_log, m_platform, m_pHook);
    return m_pMainWnd->Create();
}

void QtSetupWindows::MoveDialogToCorner() {
    m_pDialog->MoveWindowToCorner();
}

void QtSetupWindows::ShowDialog() {
    m_pDialog->Show(true);
    if (m_pHook != nullptr && m_pDialog->Window() != nullptr) {
        m_pHook->DialogShown(*m_pDialog->Window());
    }
}

void QtSetupWindows::RunMessageLoop() {
    QApplication::exec();
    m_channel.LoopEnded();
    if (m_pHook != nullptr) {
        m_pHook->LoopEnded();
    }
}

void QtSetupWindows::DestroyMainWindow() {
    if (m_pMainWnd) {
        m_pMainWnd->Destroy();
        m_pMainWnd->ClearStartBitmap();
        m_pMainWnd.reset();
    }
}

void QtSetupWindows::DestroyProgressDialog() {
    m_pDialog.reset();
}

void QtSetupWindows::SetRange(std::size_t count) {
    m_channel.Send([this, count] { m_pDialog->SetRange(count); });
}

void QtSetupWindows::StepIt() {
    const std::size_t step = ++m_steps;
    m_channel.Send([this, step] {
        m_pDialog->StepIt();
        if (m_pHook != nullptr) {
            m_pHook->StepShown(*m_pDialog, step);
        }
    });
    if (m_pHook != nullptr) {
        m_pHook->AfterStep(step);
    }
}

bool QtSetupWindows::IsCancelRequested() {
    return m_pDialog->IsCancelRequested();
}

void QtSetupWindows::CloseProgressDialog() {
    m_channel.Send([this] { m_pDialog->Close(); });
}

} // namespace setup::gui
