#include "editor/shell/mainwindow/TFormMain.h"

#include "editor/core/LanguageFiles.h"
#include "editor/core/NotepadText.h"
#include "editor/form/DeviceModels.h"
#include "editor/form/FormModel.h"
#include "editor/shell/app/Application.h"
#include "editor/shell/app/Login.h"
#include "editor/shell/app/Prompts.h"
#include "editor/shell/app/Settings.h"
#include "editor/shell/dialogs/TFormAbout.h"
#include "editor/shell/dialogs/TFormNewPsw.h"
#include "editor/shell/dialogs/TFormSendSms.h"
#include "editor/shell/i18n/Hints.h"
#include "editor/shell/i18n/QtTranslations.h"
#include "editor/shell/i18n/TFCLang.h"
#include "editor/shell/mainwindow/FileCommands.h"
#include "editor/shell/mainwindow/Guide.h"
#include "editor/shell/mainwindow/LanguageMenu.h"
#include "editor/shell/mainwindow/MenuAccelerators.h"
#include "editor/shell/mainwindow/NotepadExport.h"
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
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

namespace tarvik {
namespace {

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

TFormMain::TFormMain(Application& app)
    : app_(app), services_(app.services()), doc_(kDefaultModelIndex) {
    FormCreate();
}

TFormMain::~TFormMain() {
    FormDestroy();
    delete tabs_;
}

// ---- Lifecycle ----------------------------------------------------------------------------

void TFormMain::FormCreate() {
    setObjectName(Text("FormMain"));
    // The form selects the third model, applies it and decodes the empty program.
    form_ = std::make_unique<FormModel>(doc_, services_.languageTable);
    programDir_ = services_.folders.programDir();
    manualName_ = FromWindows1252(kEnglishManual);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(Text("PageControl1"));
    setCentralWidget(tabs_);
    pages_ = &FormPages::Build(*tabs_, *form_, [this] { services_.prompts.Beep(); });

    BuildMenus();
    BuildToolBar();
    statusBar()->setObjectName(Text("StatusBar1"));

    files_ = std::make_unique<FileCommands>(
        FileCommands::Parts{services_.prompts, services_.languageTable, services_.settings, *form_,
                            [this] { DocumentChanged(); }});
    notepad_ = std::make_unique<NotepadExport>(programDir_);

    modelWatch_ = form_->connectModelApplied([this] { ShowDeviceModel(); });
    beepWatch_ = form_->connectBeep([this] { services_.prompts.Beep(); });
    ShowDeviceModel();
    connect(&pages_->ButRead(), &QPushButton::clicked, this, &TFormMain::ButReadClick);
    connect(&pages_->ButWrite(), &QPushButton::clicked, this, &TFormMain::ButWriteClick);
    connect(&pages_->ButSendSms(), &QPushButton::clicked, this, &TFormMain::ButSendSmsClick);

    lang_ = new TFCLang(*this, services_.languageTable);

    doc_.FileName.clear();
    UpdateCaption();
    doc_.Modified = false;
}

void TFormMain::setVisible(bool visible) {
    if (visible && !shown_) {
        shown_ = true;
        FormShow();
        if (!loggedIn_) {
            return;
        }
    }
    QMainWindow::setVisible(visible);
}

void TFormMain::FormShow() {
    // Every window exists now: the card commands, with their progress bar in the status bar.
    Sim();
    LoadDevicePicture();
    PlaceOnScreen();
    SetUpLanguage();

    loggedIn_ = RunLogin(app_.FormPsw(), services_.settings, services_.prompts);
    if (!loggedIn_) {
        // Nothing is unsaved yet, so this asks nothing; the program then ends.
        close();
    }

    form_->DecodeProgram();
    form_->fields().setItemIndex(FormModel::Field("CBDevice"), kDefaultModelIndex);
    if (germanLayout_) {
        ApplyGermanLayout();
    }
    form_->TranslateGridHeaders();
    pages_->refresh();
}

void TFormMain::closeEvent(QCloseEvent* event) {
    if (FormClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

bool TFormMain::FormClose() {
    const std::string text = doc_.program.text().text() + JoinedText(doc_.notes);
    if (!doc_.Modified || text.empty()) {
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
        // The window closes even when the save dialog was cancelled, but not when the
        // changes could not be written: closing then would lose them.
        return files_->FileSave1Execute(/*askName=*/true) != FileCommands::SaveOutcome::Failed;
    }
    return true;
}

void TFormMain::FormDestroy() {
    if (sim_) {
        sim_->Disconnect();
    }
    // The export file goes with the program.
    notepad_.reset();
}

// ---- Building the window ------------------------------------------------------------------

QAction* TFormMain::AddItem(QMenu& menu, const char* name, const char* caption,
                            void (TFormMain::*handler)()) {
    QAction* item = menu.addAction(Text(caption));
    item->setObjectName(Text(name));
    if (handler) {
        connect(item, &QAction::triggered, this, handler);
    }
    return item;
}

void TFormMain::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(Text("MainMenu1"));

    QMenu* file = bar->addMenu(Text("File"));
    file->setObjectName(Text("File1"));
    AddItem(*file, "FileNewItem", "New", &TFormMain::FileNewItemClick)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    AddItem(*file, "FileOpen1", "Open", &TFormMain::FileOpen1Execute)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    AddItem(*file, "FileSave1", "Save", &TFormMain::FileSave1Execute)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    file->addSeparator();
    languageMenu_ = file->addMenu(Text("Language"));
    languageMenu_->setObjectName(Text("Language1"));
    languageMenu_->menuAction()->setObjectName(Text("Language1Item"));
    QAction* exit = AddItem(*file, "FileExit1", "Exit", &TFormMain::FileExit1Execute);
    SetHint(*exit, Text("Exit|Exit application"));

    QMenu* device = bar->addMenu(Text("Device"));
    device->setObjectName(Text("Device1"));
    AddItem(*device, "ReadSIM1", "Read SIM", &TFormMain::ReadSIM1Click);
    AddItem(*device, "WriteSIM1", "Write SIM", &TFormMain::WriteSIM1Click);
    AddItem(*device, "RestoreSIM1", "Restore SIM...", &TFormMain::RestoreSIM1Click);
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
            form_->Dev1Click(static_cast<int>(i));
            pages_->refresh();
        });
    }
    AddItem(*device, "Change1", "Change password", &TFormMain::Change1Click);

    QMenu* help = bar->addMenu(Text("Help"));
    help->setObjectName(Text("Help1"));
    AddItem(*help, "Guide1", "Guide", &TFormMain::Guide1Click);
    help->addSeparator();
    AddItem(*help, "HelpAbout1", "About Tarvik", &TFormMain::HelpAbout1Execute);
}

QToolButton* TFormMain::AddToolButton(const char* name, const char* hint,
                                      QStyle::StandardPixmap icon, void (TFormMain::*handler)()) {
    auto* button = new QToolButton(toolBar_);
    button->setObjectName(Text(name));
    button->setAutoRaise(true);
    SetHint(*button, Text(hint));
    button->setIcon(style()->standardIcon(icon));
    connect(button, &QToolButton::clicked, this, handler);
    toolBar_->addWidget(button);
    return button;
}

void TFormMain::BuildToolBar() {
    toolBar_ = addToolBar(Text("Tools"));
    toolBar_->setObjectName(Text("ToolBar1"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    AddToolButton("ButNew", "New", QStyle::SP_FileIcon, &TFormMain::FileNewItemClick);
    AddToolButton("ButOpen", "Open", QStyle::SP_DirOpenIcon, &TFormMain::FileOpen1Execute);
    AddToolButton("ButSave", "Save", QStyle::SP_DialogSaveButton, &TFormMain::FileSave1Execute);
    toolBar_->addSeparator();
    AddToolButton("ButNotepad", "Send to Notepad", QStyle::SP_FileDialogContentsView,
                  &TFormMain::ButNotepadClick);
    toolBar_->addSeparator();

    deviceLabel_ = new QLabel(Text("Device"), toolBar_);
    deviceLabel_->setObjectName(Text("LabDevice"));
    deviceLabel_->setContentsMargins(6, 0, 6, 0);
    toolBar_->addWidget(deviceLabel_);
    QComboBox& selector = pages_->CBDevice();
    selector.setSizeAdjustPolicy(QComboBox::AdjustToContents);
    toolBar_->addWidget(&selector);
}

void TFormMain::ShowDeviceModel() {
    const int checked = form_->checkedDeviceMenuItem();
    const QList<QAction*> items = modelItems_->actions();
    for (int i = 0; i < items.size(); ++i) {
        items[i]->setChecked(i == checked);
    }
}

void TFormMain::LoadDevicePicture() {
    const auto path = services_.folders.Find(Text("tarvik3.dat"));
    if (!path) {
        return;
    }
    // Anything that is not a picture leaves the built-in one.
    if (const auto picture = LoadPicture(*path)) {
        pages_->devicePicture().setPixmap(QPixmap::fromImage(*picture));
    }
}

void TFormMain::PlaceOnScreen() {
    if (layout()) {
        layout()->activate();
    }
    adjustSize();
    const QScreen* screen = this->screen();
    if (!screen) {
        return;
    }
    const QRect area = screen->availableGeometry();
    resize(size().boundedTo(area.size()));
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    setMinimumSize(size());
}

void TFormMain::SetUpLanguage() {
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
        LoadLanguage(services_.languageTable, chosen->file);
        // Qt's own buttons (Yes, No, Cancel in the boxes and file dialogs) in the same language.
        qtTexts_ = std::make_unique<QtTranslations>();
        qtTexts_->Load(chosen->name, {QFileInfo(chosen->file).absolutePath()});
    }
    lang_->Translate();
    AssignMenuAccelerators(*menuBar());
}

void TFormMain::ApplyGermanLayout() {
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

void TFormMain::UpdateCaption() {
    setWindowTitle(QFile::decodeName(QByteArray::fromStdString(WindowCaption(doc_.FileName))));
}

void TFormMain::DocumentChanged() {
    UpdateCaption();
    pages_->refresh();
}

void TFormMain::FileNewItemClick() {
    files_->FileNewItemClick();
}

void TFormMain::FileOpen1Execute() {
    files_->FileOpen1Execute();
}

void TFormMain::FileSave1Execute() {
    files_->FileSave1Execute(/*askName=*/true);
}

void TFormMain::FileExit1Execute() {
    close();
}

SimCommands& TFormMain::Sim() {
    if (!sim_) {
        sim_ = std::make_unique<SimCommands>(
            SimCommands::Parts{*this, services_.prompts, services_.languageTable, app_.FormWrite(),
                               app_.FormPin(), app_.FormRestore(), *form_});
    }
    return *sim_;
}

void TFormMain::ReadSIM1Click() {
    pages_->ButRead().click();
}

void TFormMain::WriteSIM1Click() {
    pages_->ButWrite().click();
}

void TFormMain::RestoreSIM1Click() {
    Sim().RestoreSimClick();
}

void TFormMain::ButReadClick() {
    Sim().ButReadClick();
    pages_->refresh();
}

void TFormMain::ButWriteClick() {
    Sim().ButWriteClick();
}

void TFormMain::ButSendSmsClick() {
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
    if (!formSendSms_) {
        formSendSms_ = std::make_unique<TFormSendSms>(table, services_.settings);
    }
    formSendSms_->SetProgram(plan.messages,
                             QFile::decodeName(QByteArray::fromStdString(doc_.FileName)),
                             modem::CandidatePorts());
    services_.prompts.Exec(*formSendSms_);
}

void TFormMain::Change1Click() {
    services_.prompts.Exec(app_.FormNewPsw());
}

void TFormMain::Guide1Click() {
    const auto manual = ToWindows1252(manualName_);
    OpenGuide(services_.folders, form_->deviceIndex(),
              manual ? std::string_view(*manual) : kEnglishManual, services_.prompts);
}

void TFormMain::HelpAbout1Execute() {
    services_.prompts.Exec(app_.FormAbout());
}

void TFormMain::ButNotepadClick() {
    const QString date =
        QLocale::system().toString(QDateTime::currentDateTime(), Text("yyyy/MMM/dd, hh:mm"));
    const std::string text =
        NotepadText(ExportBytes(windowTitle()),
                    ExportBytes(pages_->CBDevice().currentText() + QStringLiteral(", ") + date),
                    doc_.notes, doc_.program.text().lines());
    const auto path = notepad_->Write(text);
    if (!path) {
        services_.prompts.ShowError(Text("Cannot create temporarily file"));
        return;
    }
    // The file stays until the program ends, so the window never waits for the editor.
    if (!services_.prompts.OpenDocument(*path)) {
        services_.prompts.ShowError(Text("Notepad not found"));
    }
}

} // namespace tarvik
