#include "editor/shell/app/MessagePrompts.h"

#include "editor/shell/app/Platform.h"
#include "editor/shell/widgets/QtText.h"
#include "program/LanguageTable.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

namespace tarvik {
namespace {

QWidget* BoxOwner() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    return QApplication::activeWindow();
}

QMessageBox::StandardButton ShowBox(QMessageBox::Icon icon, const QString& caption,
                                    const QString& text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton escape) {
    // Texts break their lines with CR LF, as language files' "^p" does.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(icon, caption, shown, buttons, BoxOwner());
    box.setEscapeButton(escape);
    box.setDefaultButton(buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Yes);
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, icon != QMessageBox::Question);
    const int pressed = box.exec();
    // A box closed without a button (Escape, the close box) gives the escape button.
    return box.clickedButton() ? static_cast<QMessageBox::StandardButton>(pressed) : escape;
}

// The two filters every program file dialog offers.
QStringList ProgramFileFilters() {
    return {QStringLiteral("*.sim (*.sim)"), QStringLiteral("*.* (*)")};
}

std::optional<QString> RunFileDialog(QFileDialog::AcceptMode mode, const QString& folder) {
    QFileDialog dialog(BoxOwner(), QString(), folder);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilters(ProgramFileFilters());
    dialog.setDefaultSuffix(QStringLiteral("sim"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

} // namespace

QString MessagePrompts::Caption(const char* english) const {
    return language_ ? Translated(*language_, std::string_view(english))
                     : QString::fromLatin1(english);
}

void MessagePrompts::ShowInfo(const QString& text) {
    ShowBox(QMessageBox::Warning, Caption(kInfoCaption), text, QMessageBox::Ok, QMessageBox::Ok);
}

void MessagePrompts::ShowError(const QString& text) {
    ShowBox(QMessageBox::Critical, Caption(kErrorCaption), text, QMessageBox::Ok, QMessageBox::Ok);
}

bool MessagePrompts::ShowErrorOfferingFolder(const QString& text, const QString& openFolder) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Critical, Caption(kErrorCaption), shown, QMessageBox::Ok,
                    BoxOwner());
    QPushButton* folder = box.addButton(openFolder, QMessageBox::ActionRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
    return box.clickedButton() == folder;
}

bool MessagePrompts::AskOkCancel(const QString& caption, const QString& text) {
    return ShowBox(QMessageBox::Question, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                   QMessageBox::Cancel) == QMessageBox::Ok;
}

Prompts::Answer MessagePrompts::AskYesNoCancel(const QString& caption, const QString& text) {
    switch (ShowBox(QMessageBox::Question, caption, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

std::optional<QString> MessagePrompts::OpenFileName(const QString& folder) {
    return RunFileDialog(QFileDialog::AcceptOpen, folder);
}

std::optional<QString> MessagePrompts::SaveFileName(const QString& folder) {
    return RunFileDialog(QFileDialog::AcceptSave, folder);
}

std::optional<QString> MessagePrompts::OpenSitesFileName(const QString& folder) {
    QFileDialog dialog(BoxOwner(), QString(), folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("*.csv (*.csv)"), QStringLiteral("*.* (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

std::optional<QString> MessagePrompts::SavePdfName(const QString& suggested) {
    QFileDialog dialog(BoxOwner(), QString(), suggested);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("*.pdf (*.pdf)")});
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

bool MessagePrompts::ChoosePrinter(QPrinter& printer) {
    QPrintDialog dialog(&printer, BoxOwner());
    return dialog.exec() == QDialog::Accepted;
}

int MessagePrompts::Exec(QDialog& dialog) {
    return dialog.exec();
}

bool MessagePrompts::OpenDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool MessagePrompts::openText(const QString& path) {
    return OpenInTextEditor(path);
}

void MessagePrompts::Beep() {
    QApplication::beep();
}

void MessagePrompts::Pause(std::chrono::milliseconds duration) {
    // Events keep flowing so the windows repaint, but clicks and keys wait for the end.
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace tarvik
