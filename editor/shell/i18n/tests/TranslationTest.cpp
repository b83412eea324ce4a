// Translation of windows and messages through language files.

#include "editor/shell/i18n/Hints.h"
#include "editor/shell/i18n/QtTranslations.h"
#include "editor/shell/i18n/WindowTranslator.h"
#include "editor/shell/testing/GuiTestSupport.h"
#include "editor/shell/widgets/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace tarvik {
namespace {

using testing::TestFolder;

// A window with one of each kind of thing a language file may translate.
class SampleWindow : public QMainWindow {
public:
    SampleWindow() {
        setWindowTitle("Tarvik3");
        QMenu* file = menuBar()->addMenu("File");
        file->addAction("New");
        QMenu* language = file->addMenu("Language");
        language->addAction("English");
        exit = file->addAction("Exit");
        SetHint(*exit, "Exit|Exit application");
        QMenu* help = menuBar()->addMenu("Help");
        help->addAction("Guide");

        QToolBar* bar = addToolBar("tools");
        saveAction = bar->addAction("Save");
        SetHint(*saveAction, "Save");

        auto* central = new QWidget(this);
        auto* layout = new QVBoxLayout(central);
        tabs = new QTabWidget(central);
        layout->addWidget(tabs);
        auto* page = new QWidget;
        tabs->addTab(page, "Main");
        tabs->addTab(new QWidget, "T1");
        auto* pageLayout = new QVBoxLayout(page);
        auto add = [&](auto* widget, const char* name) {
            widget->setObjectName(name);
            pageLayout->addWidget(widget);
            return widget;
        };
        readButton = add(new QPushButton("Read SIM"), "ButRead");
        codeEdit = add(new QLineEdit("0123"), "EDCode");
        codeLabel = add(new QLabel("0123"), "LabCode");
        shortEdit = add(new QLineEdit("T1"), "EDShort");
        wordEdit = add(new QLineEdit("Read SIM"), "EDWord");
        secret = add(new QLineEdit("Read SIM"), "EDSecret");
        secret->setEchoMode(QLineEdit::Password);
        oneLetter = add(new QCheckBox("X"), "CBOne");
        longCheck = add(new QCheckBox(QString(63, u'L')), "CBLong");
        SetHint(*longCheck, "Exit|Exit application");
        group = add(new QGroupBox("Input (IP)"), "GBInput");
        combo = add(new QComboBox, "CBDevice");
        combo->addItems({"Output 1", "Mode", "0123"});
        list = add(new QListWidget, "LBList");
        list->addItems({"Output 1", "other"});
        spin = add(new QSpinBox, "EDSpin");
        spin->setSpecialValueText("Off");
        twoLines = add(new QLabel("Two lines"), "LabTwo");
        setCentralWidget(central);
    }

    QAction* exit;
    QAction* saveAction;
    QTabWidget* tabs;
    QPushButton* readButton;
    QLineEdit* codeEdit;
    QLabel* codeLabel;
    QLineEdit* shortEdit;
    QLineEdit* wordEdit;
    QLineEdit* secret;
    QCheckBox* oneLetter;
    QCheckBox* longCheck;
    QGroupBox* group;
    QComboBox* combo;
    QListWidget* list;
    QSpinBox* spin;
    QLabel* twoLines;
};

LanguageTable TableOf(const QByteArray& bytes) {
    LanguageTable table;
    table.loadBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return table;
}

const QByteArray kItalian = "[Italiano]\r\n"
                            "Tarvik3=Tarvik3 italiano\r\n"
                            "File=Archivio\r\n"
                            "New=Nuovo\r\n"
                            "Language=Lingua\r\n"
                            "Exit|Exit application=Esci|Esci dal programma\r\n"
                            "Save=Salva\r\n"
                            "Main=Principale\r\n"
                            "T1=xx\r\n"
                            "Read SIM=Leggi SIM\r\n"
                            "0123=x\r\n"
                            "X=ics\r\n"
                            "Input (IP)=Ingressi (IP)\r\n"
                            "Output 1=Uscita 1\r\n"
                            "Mode=Modo\r\n"
                            "Two lines=Due^prighe\r\n"
                            "Guide=\r\n"
                            "Off=Spento\r\n";

TEST(TranslationTest, ALanguageFileNamesItsLocaleInItsOwnLanguageOrInEnglish) {
    const struct {
        const char* name;
        QLocale::Language language;
    } cases[] = {
        {"Italiano", QLocale::Italian}, {"deutsch", QLocale::German},
        {"Français", QLocale::French},  {"GERMAN", QLocale::German},
        {"English", QLocale::English},  {"Klingonisch", QLocale::AnyLanguage},
        {"", QLocale::AnyLanguage},     {"C", QLocale::AnyLanguage},
    };
    for (const auto& c : cases) {
        const std::optional<QLocale> locale = LocaleOfLanguage(QString::fromUtf8(c.name));
        EXPECT_EQ(locale ? locale->language() : QLocale::AnyLanguage, c.language) << c.name;
    }
}

TEST(TranslationTest, TranslatesCaptionsMenusHintsTextsAndItems) {
    SampleWindow window;
    const LanguageTable table = TableOf(kItalian);
    WindowTranslator translator(window, table);
    translator.Translate();

    EXPECT_EQ(window.windowTitle(), "Tarvik3 italiano");
    const QList<QAction*> menus = window.menuBar()->actions();
    EXPECT_EQ(menus[0]->text(), "Archivio");
    const QList<QAction*> fileItems = menus[0]->menu()->actions();
    EXPECT_EQ(fileItems[0]->text(), "Nuovo");
    EXPECT_EQ(fileItems[1]->text(), "Lingua");
    EXPECT_EQ(fileItems[1]->menu()->actions()[0]->text(), "English");
    // A hint with a short and a long part is translated as one text.
    EXPECT_EQ(window.exit->toolTip(), "Esci");
    EXPECT_EQ(window.exit->statusTip(), "Esci dal programma");
    EXPECT_EQ(window.saveAction->text(), "Salva");
    EXPECT_EQ(window.tabs->tabText(0), "Principale");
    EXPECT_EQ(window.readButton->text(), "Leggi SIM");
    EXPECT_EQ(window.wordEdit->text(), "Leggi SIM");
    EXPECT_EQ(window.group->title(), "Ingressi (IP)");
    EXPECT_EQ(window.combo->itemText(0), "Uscita 1");
    EXPECT_EQ(window.combo->itemText(1), "Modo");
    EXPECT_EQ(window.list->item(0)->text(), "Uscita 1");
    // "^p" breaks the line.
    EXPECT_EQ(window.twoLines->text(), "Due\nrighe");
    // A translation that is empty leaves the caption of a control, not of a menu item.
    EXPECT_EQ(menus[1]->menu()->actions()[0]->text(), "");
    // The hint of a control translates even where its text does not.
    EXPECT_EQ(window.longCheck->toolTip(), "Esci");
}

TEST(TranslationTest, CodesNumbersAndPasswordsStayAsTheyAre) {
    SampleWindow window;
    const LanguageTable table = TableOf(kItalian);
    WindowTranslator translator(window, table);
    translator.Translate();

    // An edit box's 0123 stays; a label with the same caption is translated.
    EXPECT_EQ(window.codeEdit->text(), "0123");
    EXPECT_EQ(window.codeLabel->text(), "x");
    // Second character a digit, one character, more than 62 characters.
    EXPECT_EQ(window.shortEdit->text(), "T1");
    EXPECT_EQ(window.tabs->tabText(1), "T1");
    EXPECT_EQ(window.oneLetter->text(), "X");
    EXPECT_EQ(window.longCheck->text(), QString(63, u'L'));
    EXPECT_EQ(window.secret->text(), "Read SIM");
    // The edit inside a spin box shows the spin box's value, which is no caption.
    EXPECT_EQ(window.spin->findChild<QLineEdit*>()->text(), "Off");
    // Items are translated whatever their form.
    EXPECT_EQ(window.combo->itemText(2), "x");
}

TEST(TranslationTest, ListsTheTextsALanguageFileMayTranslate) {
    SampleWindow window;
    const QStringList texts = TranslatableTexts(window);
    for (const char* text : {"Tarvik3", "File", "Exit|Exit application", "Save", "Main", "Read SIM",
                             "0123", "Input (IP)", "Output 1", "Two lines"}) {
        EXPECT_TRUE(texts.contains(text)) << text;
    }
    for (const char* text : {"T1", "X", "Off"}) {
        EXPECT_FALSE(texts.contains(text)) << text;
    }
    EXPECT_EQ(texts.count("Read SIM"), 1) << "each text once";
    // Listing changes nothing.
    EXPECT_EQ(window.readButton->text(), "Read SIM");
}

// Texts that are data, such as a reader's name, are neither looked up nor listed, even when
// they read like a word the language file translates.
TEST(TranslationTest, ControlsKeptUntranslatedAreLeftAlone) {
    QWidget window;
    auto* data = new QLabel(QStringLiteral("Mode"), &window);
    auto* caption = new QLabel(QStringLiteral("Save"), &window);
    KeepUntranslated(*data);

    EXPECT_EQ(TranslatableTexts(window), QStringList{QStringLiteral("Save")});
    const LanguageTable table = TableOf(kItalian);
    WindowTranslator(window, table).Translate();
    EXPECT_EQ(data->text(), "Mode");
    EXPECT_EQ(caption->text(), "Salva");
}

TEST(TranslationTest, TableOfOneLineTranslatesNoWindowButStillTranslatesMessages) {
    SampleWindow window;
    const LanguageTable table = TableOf("Read SIM=SIM lesen\r\n");
    WindowTranslator translator(window, table);
    translator.Translate();
    EXPECT_EQ(window.readButton->text(), "Read SIM");
    EXPECT_EQ(Translated(table, std::string_view("Read SIM")), "SIM lesen");

    const LanguageTable two = TableOf(";header\r\nRead SIM=SIM lesen\r\n");
    WindowTranslator lang2(window, two);
    lang2.Translate();
    EXPECT_EQ(window.readButton->text(), "SIM lesen");
}

TEST(TranslationTest, UnknownComponentsAreReported) {
    SampleWindow window;
    auto* timer = new QTimer(&window);
    timer->setObjectName("TimerBlink");
    const LanguageTable table = TableOf(kItalian);
    WindowTranslator translator(window, table);
    QStringList reported;
    translator.OnUnknownComponent = [&](QObject& component) {
        reported.push_back(component.objectName());
    };
    translator.Translate();
    EXPECT_TRUE(reported.contains("TimerBlink"));
}

TEST(TranslationTest, TextsOutsideWindows1252AndEightBitKeysTranslate) {
    // Language files are Windows-1252: E4 is "ä", 80 is the euro sign.
    const LanguageTable table = TableOf("Confirm=Best\xE4tigen\r\nPrice \x80=Preis \x80\r\n");
    EXPECT_EQ(Translated(table, QStringLiteral("Confirm")), QStringLiteral("Best\u00e4tigen"));
    EXPECT_EQ(Translated(table, QStringLiteral("Price \u20ac")), QStringLiteral("Preis \u20ac"));
    EXPECT_EQ(Translated(table, QStringLiteral("\u0101")), QStringLiteral("\u0101"));
}

TEST(TranslationTest, OddLanguageFilesLoadWithoutHarm) {
    TestFolder folder;
    LanguageTable table;
    table.load({"Keep=kept", "second"});

    // A missing file leaves the table as it was.
    table.loadFile(QFile::encodeName(folder.file("LAN_None.ini")).toStdString());
    EXPECT_EQ(Translated(table, std::string_view("Keep")), "kept");
    // So does a folder.
    table.loadFile(QFile::encodeName(folder.path()).toStdString());
    EXPECT_EQ(table.size(), 2u);
    // And a file far too large to be a language file.
    QByteArray huge(5 * 1024 * 1024, 'x');
    huge.prepend("Keep=huge\n");
    table.loadFile(QFile::encodeName(folder.Write("LAN_Huge.ini", huge)).toStdString());
    EXPECT_EQ(Translated(table, std::string_view("Keep")), "kept");

    QByteArray odd = "no equals sign\n"
                     "=empty key\n"
                     "Confirm\n"
                     "Long=" +
                     QByteArray(300, 'y') +
                     "\n"
                     "Two^plines=A^pB\n"
                     "^p=break\n";
    odd.append("Bin\0\x01\xff=junk\n", 12);
    odd.append("Caf\xe9=coffee\rLast=ok");
    odd.append("\0\xff\xfe\0binary", 11);
    table.loadFile(QFile::encodeName(folder.Write("LAN_Odd.ini", odd)).toStdString());
    EXPECT_EQ(Translated(table, std::string_view("Keep")), "Keep");
    EXPECT_EQ(Translated(table, std::string_view("Confirm")), "Confirm");
    EXPECT_EQ(Translated(table, std::string_view("Long")), QString(100, u'y'));
    EXPECT_EQ(Translated(table, QStringLiteral("Two\r\nlines")), "A\r\nB");
    EXPECT_EQ(Translated(table, QStringLiteral("Caf\u00e9")), "coffee");
    EXPECT_EQ(Translated(table, std::string_view("")), "");

    // Windows built from whatever such a file holds still come up.
    SampleWindow window;
    WindowTranslator translator(window, table);
    translator.Translate();
    EXPECT_EQ(window.readButton->text(), "Read SIM");
}

} // namespace
} // namespace tarvik
