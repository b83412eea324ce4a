// tarvik-screenshots FILES_DIR OUT_DIR [LANGUAGE]: starts the editor with the program's files
// of FILES_DIR in the given language (English when none), and renders the main window with
// each of its pages, its menus (File > Recent files too), and every dialog to PNG files in
// OUT_DIR, and the configuration sheet of a sample program to OUT_DIR/sheet.pdf.

#include "editor/form/ConfigSheet.h"
#include "editor/form/FormModel.h"
#include "editor/sheet/SheetPdf.h"
#include "editor/shell/app/Application.h"
#include "editor/shell/app/Settings.h"
#include "editor/shell/dialogs/AboutDialog.h"
#include "editor/shell/dialogs/BatchDialog.h"
#include "editor/shell/dialogs/CardInfoDialog.h"
#include "editor/shell/dialogs/NewPasswordDialog.h"
#include "editor/shell/dialogs/PasswordDialog.h"
#include "editor/shell/dialogs/PinDialog.h"
#include "editor/shell/dialogs/RestoreDialog.h"
#include "editor/shell/dialogs/WriteDialog.h"
#include "editor/shell/mainwindow/MainWindow.h"
#include "editor/shell/pages/FormPages.h"
#include "editor/shell/testing/AcceptingPrompts.h"
#include "editor/shell/widgets/QtText.h"
#include "editor/sim/BackupStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

namespace {

class Camera {
public:
    explicit Camera(QString folder) : folder_(std::move(folder)) {}

    void Take(QWidget& widget, const QString& name) {
        QCoreApplication::processEvents();
        const QString path = QDir(folder_).filePath(name + QStringLiteral(".png"));
        if (!widget.grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            failed_ = true;
        }
    }

    // Shows a dialog as the program would (translated, laid out), takes it, and hides it.
    void TakeDialog(QDialog& dialog, const QString& name) {
        dialog.show();
        Take(dialog, name);
        dialog.hide();
    }

    bool failed() const { return failed_; }

private:
    QString folder_;
    bool failed_ = false;
};

// A file name from a page's caption: letters and digits, the rest as "-".
QString FileNamePart(const QString& text) {
    QString name;
    for (const QChar c : text) {
        name += c.isLetterOrNumber() ? c : QChar(u'-');
    }
    return name;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication qt(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: tarvik-screenshots FILES_DIR OUT_DIR [LANGUAGE]\n");
        return 2;
    }
    const QString language = args.size() > 3 ? args[3] : QString();
    QDir().mkpath(args[2]);

    QTemporaryDir home;
    auto settings = tarvik::Settings::OpenFile(home.filePath(QStringLiteral("settings.ini")));
    if (!language.isEmpty()) {
        settings->SetLanguage(language);
    }
    // Recent files: two that exist and one that has gone, which shows greyed.
    const QStringList recent = {home.filePath(QStringLiteral("alarm-rossi.sim")),
                                home.filePath(QStringLiteral("gate-bianchi.sim")),
                                home.filePath(QStringLiteral("old/removed.sim"))};
    for (int i = 0; i < recent.size(); ++i) {
        if (i < 2) {
            QFile(recent[i]).open(QIODevice::WriteOnly);
        }
        settings->WriteText(QStringLiteral("Recent%1").arg(i + 1), recent[i]);
    }
    tarvik::testing::AcceptingPrompts prompts;
    tarvik::Application app(*settings, prompts, tarvik::ResourceFolders({args[1]}));
    app.CreateWindows();
    tarvik::MainWindow& window = *app.mainWindow();
    window.show();
    if (!window.LoggedIn()) {
        std::fprintf(stderr, "the login failed\n");
        return 1;
    }

    Camera camera(args[2]);
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    for (int i = 0; tabs && i < tabs->count(); ++i) {
        if (!tabs->isTabVisible(i)) {
            continue;
        }
        tabs->setCurrentIndex(i);
        camera.Take(window,
                    QStringLiteral("main-%1-%2").arg(i).arg(FileNamePart(tabs->tabText(i))));
    }
    if (tabs) {
        tabs->setCurrentIndex(0);
    }
    // A change to take back, so that Edit > Undo names it.
    window.pages().MemoSim().setPlainText(QStringLiteral("TL1=0039123"));
    QCoreApplication::processEvents();
    int menuNumber = 0;
    for (QAction* top : window.menuBar()->actions()) {
        if (QMenu* menu = top->menu()) {
            menu->adjustSize();
            camera.Take(*menu, QStringLiteral("menu-%1-%2")
                                   .arg(++menuNumber)
                                   .arg(FileNamePart(top->text().remove(u'&'))));
        }
    }

    if (auto* recentMenu = window.findChild<QMenu*>(QStringLiteral("RecentFilesMenu"))) {
        recentMenu->adjustSize();
        camera.Take(*recentMenu, QStringLiteral("menu-recent-files"));
    }

    // The sheet of a sample program.
    tarvik::FormModel& form = window.form();
    form.document().program.text().assign({"TL1=0039123456", "TL2=0039654321", "TO1:2=3471234567",
                                           "TK0=1234", "RED=3", "OP1=5",
                                           "RR3331234567:9=3331234567", "TR001=3339876543"});
    form.document().notes = {"Rossi family, via Roma 1", "Gate and alarm"};
    form.decodeProgram();
    form.document().program.buildRemoteText();
    std::string sheetError;
    if (!tarvik::WriteSheetPdf(
            tarvik::BuildConfigSheet(form, app.languageTable(), "alarm-rossi.sim", "2026-12-08"),
            QFile::encodeName(QDir(args[2]).filePath(QStringLiteral("sheet.pdf"))).toStdString(),
            sheetError)) {
        std::fprintf(stderr, "cannot write the sheet: %s\n", sheetError.c_str());
        return 1;
    }

    camera.TakeDialog(app.passwordDialog(), QStringLiteral("dialog-login"));
    camera.TakeDialog(app.newPasswordDialog(), QStringLiteral("dialog-change-password"));
    camera.TakeDialog(app.writeDialog(), QStringLiteral("dialog-write"));
    // The write dialog after a preview of a card holding an older program and two contacts.
    std::vector<tarvik::SimItem> card(100);
    card[0] = {u"TL1", u"3331234567"};
    card[1] = {u"TL2", u"3330000000"};
    card[2] = {u"OP1", u"5"};
    card[5] = {u"Home", u"0612345678"};
    card[6] = {u"Anna", u"3471234567"};
    app.writeDialog().SetProgram({"TL1=3331234567", "TL2=3337654321", "RED=3", "RFT=24"});
    app.writeDialog().ShowPreview(std::move(card));
    camera.TakeDialog(app.writeDialog(), QStringLiteral("dialog-write-preview"));
    app.writeDialog().SetProgram({});
    {
        // Two backups of one card, the newer chosen with its entries listed, then the
        // preview of restoring it over a card that has changed since.
        const tarvik::BackupStore store(QFile::encodeName(home.filePath("backups")).toStdString());
        const auto record = [](std::string_view name, std::initializer_list<int> number) {
            tarvik::RecordBytes bytes(name.begin(), name.end());
            bytes.resize(14, 0xFF);
            bytes.insert(bytes.end(), number.begin(), number.end());
            bytes.resize(28, 0xFF);
            return bytes;
        };
        tarvik::SimBackup backup;
        backup.iccid = "8949000000000000017";
        backup.adnRecordLength = 28;
        backup.adn.assign(100, tarvik::RecordBytes(28, 0xFF));
        backup.saved = 1738242000;
        store.save(backup);
        backup.adn[0] = record("TL1", {0x06, 0x81, 0x33, 0x13, 0x32, 0x54, 0x76});
        backup.adn[1] = record("TL2", {0x06, 0x81, 0x33, 0x03, 0x00, 0x00, 0x00});
        backup.adn[2] = record("OP1", {0x02, 0x81, 0xF5});
        backup.adn[5] = record("Home", {0x06, 0x81, 0x60, 0x21, 0x43, 0x65, 0x87});
        backup.saved = 1738328709;
        store.save(backup);
        app.restoreDialog().SetBackups(store.list().backups);
        camera.TakeDialog(app.restoreDialog(), QStringLiteral("dialog-restore"));
        app.restoreDialog().SetReadCard([]() -> std::optional<std::vector<tarvik::SimItem>> {
            std::vector<tarvik::SimItem> card(100);
            card[0] = {u"TL1", u"3331234567"};
            card[1] = {u"TL2", u"3337654321"};
            card[2] = {u"RED", u"3"};
            return card;
        });
        app.restoreDialog().ButPreview().click();
        camera.TakeDialog(app.restoreDialog(), QStringLiteral("dialog-restore-preview"));
        app.restoreDialog().SetReadCard({});
    }
    {
        tarvik::BatchDialog batch(app.languageTable(), prompts);
        batch.setProgram({}, {"TL1=3331234567", "RFT=24"}, "alarm.sim");
        batch.edSites().setText(QStringLiteral("sites.csv"));
        batch.setReaders({"Virtual PCD 00 00", "Virtual PCD 00 01"});
        batch.showReaderPhase(0, tarvik::ReaderPhase::Writing);
        batch.showReaderPhase(1, tarvik::ReaderPhase::WaitingForCard);
        camera.TakeDialog(batch, QStringLiteral("dialog-batch"));
    }
    {
        // A UICC-only card with the global phonebook, and a local one the device may read.
        tarvik::CardReport report;
        report.card = {"Virtual SIM 1 00 00",
                       {0x3B, 0x9F, 0x96, 0x80, 0x1F, 0xC7, 0x80, 0x31, 0xE0, 0x73},
                       tarvik::CardKind::UiccOnly,
                       tarvik::PhonebookPlace::Global,
                       0x4F3A,
                       0x4F4A,
                       true};
        report.iccid = "8949000000000000017";
        report.phonebook = tarvik::PhonebookGeometry{250, 28, 10};
        report.pin = tarvik::PinFacts{true, 3, 10};
        report.shortMessages = true;
        tarvik::CardInfoDialog info;
        info.SetReport(tarvik::CardReportLines(report));
        camera.TakeDialog(info, QStringLiteral("dialog-card-info"));
    }
    // As a card with two attempts left shows it.
    app.pinDialog().SetPinRemaining([] { return 2; });
    camera.TakeDialog(app.pinDialog(), QStringLiteral("dialog-pin"));
    camera.TakeDialog(app.aboutDialog(), QStringLiteral("dialog-about"));

    const tarvik::LanguageTable& table = app.languageTable();
    QMessageBox question(QMessageBox::Question,
                         tarvik::Translated(table, std::string_view("Confirm")),
                         tarvik::Translated(table, std::string_view("Save changes to disk?")),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    camera.TakeDialog(question, QStringLiteral("box-save-changes"));
    QMessageBox error(
        QMessageBox::Critical, tarvik::Translated(table, std::string_view(tarvik::kErrorCaption)),
        tarvik::Translated(table, std::string_view("SIM not found")), QMessageBox::Ok);
    camera.TakeDialog(error, QStringLiteral("box-error"));
    return camera.failed() ? 1 : 0;
}
