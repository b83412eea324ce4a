#include "editor/shell/mainwindow/MainWindow.h"

#include "editor/core/LanguageFiles.h"
#include "editor/core/NotepadText.h"
#include "editor/form/ConfigSheet.h"
#include "editor/form/DeviceModels.h"
#include "editor/form/FormModel.h"
#include "editor/sheet/SheetPainter.h"
#include "editor/sheet/SheetPdf.h"
#include "editor/shell/app/Application.h"
#include "editor/shell/app/Login.h"
#include "editor/shell/app/Prompts.h"
#include "editor/shell/app/Settings.h"
#include "editor/shell/dialogs/AboutDialog.h"
#include "editor/shell/dialogs/NewPasswordDialog.h"
#include "editor/shell/dialogs/SendSmsDialog.h"
#include "editor/shell/i18n/Hints.h"
#include "editor/shell/i18n/QtTranslations.h"
#include "editor/shell/i18n/WindowTranslator.h"
#include "editor/shell/mainwindow/EditHistory.h"
#include "editor/shell/mainwindow/FileCommands.h"
#include "editor/shell/mainwindow/FileDrop.h"
#include "editor/shell/mainwindow/Guide.h"
#include "editor/shell/mainwindow/LanguageMenu.h"
#include "editor/shell/mainwindow/MenuAccelerators.h"
#include "editor/shell/mainwindow/NotepadExport.h"
#include "editor/shell/mainwindow/RecentFilesMenu.h"
#include "editor/shell/mainwindow/SimCommands.h"
#include "editor/shell/pages/FormPages.h"
#include "editor/shell/widgets/Pictures.h"
#include "editor/shell/widgets/QtText.h"
#include "modem/MessageSplit.h"
#include "modem/ModemScan.h"
#include "program/WindowCaption.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace tarvik {
namespace {

constexpr QSize kMinimumWindowSize(480, 360);

QString Text(const char* text) {
    return QString::fromLatin1(text);
}

// A text for the 8-bit export: characters the code page cannot hold become "?".
std::string ExportBytes(const QString& text) {
    if (auto bytes = ToWindows1252(text)) {
        return std::move(*bytes);
    }
    std::string bytes;
    for (const QChar c : text) {
        bytes += ToWindows1252(QString(c)).value_or("?");
    }
    return bytes;
}

// The text of lines as a memo shows it.
std::string JoinedText(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            text += "\r\n";
        }
        text += lines[i];
    }
    return text;
}

} // namespace

MainWindow::MainWindow(Application& app)
    : app_(app), services_(app.services()), doc_(kDefaultModelIndex) {
    buildWindow();
}

MainWindow::~MainWindow() {
    releaseResources();
    delete tabs_;
}

// ---- Lifecycle ----------------------------------------------------------------------------

void MainWindow::buildWindow() {
    setObjectName(Text("FormMain"));
    // The form selects the third model, applies it and decodes the empty program.
    form_ = std::make_unique<FormModel>(doc_, services_.languageTable);
    programDir_ = services_.folders.programDir();
    manualName_ = FromWindows1252(kEnglishManual);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(Text("PageControl1"));
    setCentralWidget(tabs_);
    pages_ = &FormPages::Build(*tabs_, *form_, [this] { services_.prompts.Beep(); });

    history_ =
        new EditHistory(*this, *form_, services_.languageTable, [this] { DocumentChanged(); });
    BuildMenus();
    BuildToolBar();
    statusBar()->setObjectName(Text("StatusBar1"));

    files_ = std::make_unique<FileCommands>(FileCommands::Parts{
        services_.prompts, services_.languageTable, services_.settings, *form_,
        [this] { DocumentChanged(); }, [this] { recentMenu_->listFiles(files_->RecentFiles()); }});
    recentMenu_->listFiles(files_->RecentFiles());
    new FileDrop(*this, [this](const QString& path) { openDroppedFile(path); });
    notepad_ = std::make_unique<NotepadExport>(programDir_);

    modelWatch_ = form_->connectModelApplied([this] { ShowDeviceModel(); });
    // The document marks itself modified first, having watched the text since it was made.
    textWatch_ =
        doc_.program.text().connectChanged([this] { setWindowModified(HasUnsavedChanges()); });
    beepWatch_ = form_->connectBeep([this] { services_.prompts.Beep(); });
    ShowDeviceModel();
    connect(&pages_->ButRead(), &QPushButton::clicked, this, &MainWindow::readSimIntoProgram);
    connect(&pages_->ButWrite(), &QPushButton::clicked, this, &MainWindow::writeProgramToSim);
    connect(&pages_->ButSendSms(), &QPushButton::clicked, this, &MainWindow::sendBySms);

    translator_ = new WindowTranslator(*this, services_.languageTable);

    doc_.fileName.clear();
    updateCaption();
    doc_.modified = false;
}

void MainWindow::setVisible(bool visible) {
    if (visible && !shown_) {
        shown_ = true;
        prepareFirstShow();
        if (!loggedIn_) {
            return;
        }
    }
    QMainWindow::setVisible(visible);
}

void MainWindow::prepareFirstShow() {
    // Every window exists now: the card commands, with their progress bar in the status bar.
    Sim();
    LoadDevicePicture();
    PlaceOnScreen();
    SetUpLanguage();

    loggedIn_ = RunLogin(app_.passwordDialog(), services_.settings, services_.prompts,
                         services_.languageTable);
    if (!loggedIn_) {
        // Nothing is unsaved yet, so this asks nothing; the program then ends.
        close();
    }

    form_->decodeProgram();
    form_->fields().setItemIndex(FormModel::fieldIndex("CBDevice"), kDefaultModelIndex);
    if (germanLayout_) {
        ApplyGermanLayout();
    }
    form_->translateGridHeaders();
    pages_->refresh();
    history_->Start();
    if (loggedIn_ && !startFile_.isEmpty()) {
        // After the window has appeared, so that its messages have a window to belong to.
        QTimer::singleShot(0, this, [this] { OpenProgram(startFile_); });
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (mayClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

bool MainWindow::mayClose() {
    return MayDiscardProgram();
}

bool MainWindow::HasUnsavedChanges() const {
    // An emptied program with no notes has nothing worth keeping.
    return doc_.modified && !(doc_.program.text().text() + JoinedText(doc_.notes)).empty();
}

bool MainWindow::MayDiscardProgram() {
    if (!HasUnsavedChanges()) {
        return true;
    }
    const auto answer = services_.prompts.AskYesNoCancel(
        Translated(services_.languageTable, std::string_view("Confirm")),
        Translated(services_.languageTable, std::string_view("Save changes to disk?")));
    switch (answer) {
    case Prompts::Answer::Cancel:
        return false;
    case Prompts::Answer::No:
        return true;
    case Prompts::Answer::Yes:
        // Only a completed save lets the changes go: a cancelled save dialog or a failed
        // write keeps the window (and the program) as it was.
        return SaveProgram(/*askName=*/false);
    }
    return true;
}

void MainWindow::releaseResources() {
    if (sim_) {
        sim_->Disconnect();
    }
    // The export file goes with the program.
    notepad_.reset();
}

// ---- Building the window ------------------------------------------------------------------

QAction* MainWindow::AddItem(QMenu& menu, const char* name, const char* caption,
                             void (MainWindow::*handler)()) {
    QAction* item = menu.addAction(Text(caption));
    item->setObjectName(Text(name));
    if (handler) {
        connect(item, &QAction::triggered, this, handler);
    }
    return item;
}

void MainWindow::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(Text("MainMenu1"));

    QMenu* file = bar->addMenu(Text("File"));
    file->setObjectName(Text("File1"));
    AddItem(*file, "FileNewItem", "New", &MainWindow::newProgram)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    AddItem(*file, "FileOpen1", "Open", &MainWindow::openFile)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    recentMenu_ = new RecentFilesMenu(*this, [this](const QString& path) { openRecentFile(path); });
    file->addMenu(recentMenu_);
    AddItem(*file, "FileSave1", "Save", &MainWindow::saveFile)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    AddItem(*file, "FileSaveAs1", "Save As...", &MainWindow::saveFileAs)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    file->addSeparator();
    AddItem(*file, "FilePrint1", "Print...", &MainWindow::printSheet)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    AddItem(*file, "FileExportPdf1", "Export PDF...", &MainWindow::exportPdf);
    file->addSeparator();
    languageMenu_ = file->addMenu(Text("Language"));
    languageMenu_->setObjectName(Text("Language1"));
    languageMenu_->menuAction()->setObjectName(Text("Language1Item"));
    QAction* exit = AddItem(*file, "FileExit1", "Exit", &MainWindow::exitProgram);
    SetHint(*exit, Text("Exit|Exit application"));

    QMenu* edit = bar->addMenu(Text("Edit"));
    edit->setObjectName(Text("Edit1"));
    QAction* undo = AddItem(*edit, "Undo1", "Undo", nullptr);
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redo = AddItem(*edit, "Redo1", "Redo", nullptr);
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    history_->Bind(*undo, *redo);

    QMenu* device = bar->addMenu(Text("Device"));
    device->setObjectName(Text("Device1"));
    AddItem(*device, "ReadSIM1", "Read SIM", &MainWindow::readSim);
    AddItem(*device, "WriteSIM1", "Write SIM", &MainWindow::writeSim);
    AddItem(*device, "RestoreSIM1", "Restore SIM...", &MainWindow::restoreSim);
    AddItem(*device, "BatchSIM1", "Program cards in a row...", &MainWindow::writeBatch);
    AddItem(*device, "CardInfo1", "Card information...", &MainWindow::showCardInfo);
    device->addSeparator();
    QMenu* model = device->addMenu(Text("Model"));
    model->setObjectName(Text("Model1"));
    modelItems_ = new QActionGroup(model);
    modelItems_->setExclusive(true);
    const auto models = DeviceModels();
    for (std::size_t i = 0; i < models.size(); ++i) {
        QAction* item = model->addAction(FromWindows1252(models[i].name));
        item->setObjectName(FromWindows1252(models[i].menuItem));
        item->setCheckable(true);
        modelItems_->addAction(item);
        connect(item, &QAction::triggered, this, [this, i] {
            form_->chooseDeviceMenuItem(static_cast<int>(i));
            pages_->refresh();
        });
    }
    AddItem(*device, "Change1", "Change password", &MainWindow::changePassword);

    QMenu* help = bar->addMenu(Text("Help"));
    help->setObjectName(Text("Help1"));
    AddItem(*help, "Guide1", "Guide", &MainWindow::openGuide);
    help->addSeparator();
    AddItem(*help, "HelpAbout1", "About Tarvik", &MainWindow::showAbout);
}

QToolButton* MainWindow::AddToolButton(const char* name, const char* hint,
                                       QStyle::StandardPixmap icon, void (MainWindow::*handler)()) {
    auto* button = new QToolButton(toolBar_);
    button->setObjectName(Text(name));
    button->setAutoRaise(true);
    SetHint(*button, Text(hint));
    button->setIcon(style()->standardIcon(icon));
    connect(button, &QToolButton::clicked, this, handler);
    toolBar_->addWidget(button);
    return button;
}

void MainWindow::BuildToolBar() {
    toolBar_ = addToolBar(Text("Tools"));
    toolBar_->setObjectName(Text("ToolBar1"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    AddToolButton("ButNew", "New", QStyle::SP_FileIcon, &MainWindow::newProgram);
    AddToolButton("ButOpen", "Open", QStyle::SP_DirOpenIcon, &MainWindow::openFile);
    AddToolButton("ButSave", "Save", QStyle::SP_DialogSaveButton, &MainWindow::saveFile);
    toolBar_->addSeparator();
    AddToolButton("ButNotepad", "Send to Notepad", QStyle::SP_FileDialogContentsView,
                  &MainWindow::sendToNotepad);
    toolBar_->addSeparator();

    deviceLabel_ = new QLabel(Text("Device"), toolBar_);
    deviceLabel_->setObjectName(Text("LabDevice"));
    deviceLabel_->setContentsMargins(6, 0, 6, 0);
    toolBar_->addWidget(deviceLabel_);
    QComboBox& selector = pages_->CBDevice();
    selector.setSizeAdjustPolicy(QComboBox::AdjustToContents);
    toolBar_->addWidget(&selector);
}

void MainWindow::ShowDeviceModel() {
    const int checked = form_->checkedDeviceMenuItem();
    const QList<QAction*> items = modelItems_->actions();
    for (int i = 0; i < items.size(); ++i) {
        items[i]->setChecked(i == checked);
    }
}

void MainWindow::LoadDevicePicture() {
    const auto path = services_.folders.Find(Text("tarvik3.dat"));
    if (!path) {
        return;
    }
    // Anything that is not a picture leaves the built-in one.
    if (const auto picture = LoadPicture(*path)) {
        pages_->devicePicture().setPixmap(QPixmap::fromImage(*picture));
    }
}

void MainWindow::PlaceOnScreen() {
    if (layout()) {
        layout()->activate();
    }
    adjustSize();
    const QScreen* screen = this->screen();
    if (!screen) {
        return;
    }
    const QRect area = screen->availableGeometry();
    // Every page whole where the screen has room (adjustSize stops at two thirds of it);
    // else the pages scroll.
    resize(sizeHint().expandedTo(size()).boundedTo(area.size()));
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    // The pages scroll in a smaller window, so it may be made small; not so small that a
    // page shows too little of itself to be used.
    setMinimumSize(kMinimumWindowSize.boundedTo(area.size()));
}

void MainWindow::SetUpLanguage() {
    const QString stored = services_.settings.Language();
    germanLayout_ = ToWindows1252(stored).has_value() &&
                    SameLanguage(*ToWindows1252(stored), std::string_view("DEUTSCH"));

    const auto chosen = BuildLanguageMenu(
        *languageMenu_, services_.folders.LanguageFiles(), stored, [this](QAction& item) {
            ChooseLanguage(item, services_.prompts, services_.settings, services_.languageTable);
        });
    if (!languageMenu_->actions().isEmpty()) {
        languageMenu_->actions().front()->setObjectName(Text("English1"));
    }
    if (chosen) {
        manualName_ = QStringLiteral("Man_") + chosen->name + QStringLiteral(".pdf");
        services_.languageTable.loadFile(QFile::encodeName(chosen->file).toStdString());
        // Qt's own buttons (Yes, No, Cancel in the boxes and file dialogs) in the same language.
        qtTexts_ = std::make_unique<QtTranslations>();
        qtTexts_->Load(chosen->name, {QFileInfo(chosen->file).absolutePath()});
    }
    translator_->Translate();
    AssignMenuAccelerators(*menuBar());
}

void MainWindow::ApplyGermanLayout() {
    // The width the layout gives the button, which its own width() does not tell before
    // the window first appears.
    for (QPushButton* button : {&pages_->ButRead(), &pages_->ButWrite()}) {
        button->setMinimumWidth(button->sizeHint().width() * 5 / 3);
    }
    QLabel& picture = pages_->devicePicture();
    const QMargins margins = picture.contentsMargins();
    picture.setContentsMargins(margins.left() + 20, margins.top(), margins.right(),
                               margins.bottom());
}

// ---- Commands -----------------------------------------------------------------------------

void MainWindow::updateCaption() {
    caption_ = QFile::decodeName(QByteArray::fromStdString(WindowCaption(doc_.fileName)));
    // Qt shows "[*]" as a mark while the window is modified, and as nothing otherwise.
    setWindowTitle(caption_ + QStringLiteral("[*]"));
    setWindowModified(HasUnsavedChanges());
}

void MainWindow::DocumentChanged() {
    updateCaption();
    pages_->refresh();
}

void MainWindow::newProgram() {
    history_->Begin(kNewStep);
    files_->newProgram();
    history_->End();
}

void MainWindow::openFile() {
    if (const auto path = services_.prompts.OpenFileName(files_->StartFolder())) {
        OpenProgram(*path);
    }
}

void MainWindow::OpenProgram(const QString& path) {
    history_->Begin({});
    if (files_->OpenFile(path)) {
        history_->Clear();
    }
    history_->End();
}

void MainWindow::openRecentFile(const QString& path) {
    OpenProgram(path);
}

void MainWindow::openDroppedFile(const QString& path) {
    if (MayDiscardProgram()) {
        OpenProgram(path);
    }
}

void MainWindow::saveFile() {
    SaveProgram(/*askName=*/false);
}

void MainWindow::saveFileAs() {
    SaveProgram(/*askName=*/true);
}

bool MainWindow::SaveProgram(bool askName) {
    const auto outcome = files_->saveFile(askName);
    if (outcome != FileCommands::SaveOutcome::Saved) {
        return false;
    }
    history_->MarkSaved();
    return true;
}

ConfigSheet MainWindow::Sheet() {
    // Typing not yet taken by the form is part of the program too.
    form_->leaveProgramMemo();
    const QString path = QFile::decodeName(QByteArray::fromStdString(doc_.fileName));
    const auto name = ToWindows1252(QFileInfo(path).fileName());
    return BuildConfigSheet(*form_, services_.languageTable, name.value_or(std::string()),
                            QDate::currentDate().toString(Qt::ISODate).toStdString());
}

void MainWindow::printSheet() {
    const ConfigSheet sheet = Sheet();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(caption_);
    if (!services_.prompts.ChoosePrinter(printer)) {
        return;
    }
    if (!PaintSheet(sheet, printer)) {
        services_.prompts.ShowError(
            Translated(services_.languageTable,
                       std::string_view("The configuration sheet cannot be written:")));
    }
}

void MainWindow::exportPdf() {
    const ConfigSheet sheet = Sheet();
    // Beside the program file, named after it; else in the folder last used.
    QString suggested = files_->StartFolder();
    if (!doc_.fileName.empty()) {
        const QFileInfo program(QFile::decodeName(QByteArray::fromStdString(doc_.fileName)));
        suggested = program.dir().filePath(program.completeBaseName() + QStringLiteral(".pdf"));
    }
    const auto path = services_.prompts.SavePdfName(suggested);
    if (!path) {
        return;
    }
    std::string error;
    if (!WriteSheetPdf(sheet, QFile::encodeName(*path).toStdString(), error)) {
        services_.prompts.ShowError(
            Translated(services_.languageTable,
                       std::string_view("The configuration sheet cannot be written:")) +
            QStringLiteral("\r\n") + *path + QStringLiteral(": ") + QString::fromStdString(error));
    }
}

void MainWindow::exitProgram() {
    close();
}

SimCommands& MainWindow::Sim() {
    if (!sim_) {
        sim_ = std::make_unique<SimCommands>(SimCommands::Parts{
            *this, services_.prompts, services_.languageTable, app_.writeDialog(), app_.pinDialog(),
            app_.restoreDialog(), *form_, &services_.settings});
    }
    return *sim_;
}

void MainWindow::readSim() {
    pages_->ButRead().click();
}

void MainWindow::writeSim() {
    pages_->ButWrite().click();
}

void MainWindow::restoreSim() {
    Sim().restoreSim();
}

void MainWindow::writeBatch() {
    Sim().writeBatch();
}

void MainWindow::showCardInfo() {
    Sim().showCardInfo();
}

void MainWindow::readSimIntoProgram() {
    history_->Begin(kReadStep);
    Sim().readSimIntoProgram();
    history_->End();
    pages_->refresh();
}

void MainWindow::writeProgramToSim() {
    Sim().writeProgramToSim();
}

void MainWindow::sendBySms() {
    const modem::MessagePlan plan = modem::PlanMessages(doc_.program.remoteText());
    const LanguageTable& table = services_.languageTable;
    if (!plan.error.empty()) {
        services_.prompts.ShowError(
            Translated(table, std::string_view("This program cannot be sent by SMS:")) +
            QLatin1Char('\n') + QString::fromStdString(plan.error));
        return;
    }
    if (plan.messages.empty()) {
        services_.prompts.ShowInfo(
            Translated(table, std::string_view("There is nothing to send by SMS")));
        return;
    }
    if (!sendSmsDialog_) {
        sendSmsDialog_ = std::make_unique<SendSmsDialog>(table, services_.settings);
    }
    sendSmsDialog_->SetProgram(plan.messages,
                               QFile::decodeName(QByteArray::fromStdString(doc_.fileName)),
                               modem::CandidatePorts());
    services_.prompts.Exec(*sendSmsDialog_);
}

void MainWindow::changePassword() {
    services_.prompts.Exec(app_.newPasswordDialog());
}

void MainWindow::openGuide() {
    const auto manual = ToWindows1252(manualName_);
    OpenGuide(services_.folders, form_->deviceIndex(),
              manual ? std::string_view(*manual) : kEnglishManual, services_.prompts,
              services_.languageTable);
}

void MainWindow::showAbout() {
    services_.prompts.Exec(app_.aboutDialog());
}

void MainWindow::sendToNotepad() {
    const QString date =
        QLocale::system().toString(QDateTime::currentDateTime(), Text("yyyy/MMM/dd, hh:mm"));
    const std::string text =
        NotepadText(ExportBytes(caption_),
                    ExportBytes(pages_->CBDevice().currentText() + QStringLiteral(", ") + date),
                    doc_.notes, doc_.program.text().lines());
    const auto path = notepad_->Write(text);
    if (!path) {
        services_.prompts.ShowError(Text("Cannot create temporarily file"));
        return;
    }
    // The file stays until the program ends, so the window never waits for the editor;
    // without one, the message names the file for the user to open.
    if (!services_.prompts.openText(*path)) {
        ShowNotOpened(*path, "The text cannot be shown:", "No text editor was found",
                      services_.prompts, services_.languageTable);
    }
}

} // namespace tarvik
